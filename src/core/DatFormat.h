#pragma once
#include "ClickArea.h"
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>

class QIODevice;

// The layout of the data file that Vorvanex reads on the target machine. The writer and every reader
// use this header only; nothing else in the program knows an offset.
//
// All integers are signed 32-bit little-endian, without alignment or padding. The texts follow the
// fixed header without terminators or prefixes, then the parts: archive, picture, music, readme text,
// Reg.ini text, and Unrar.dll running to the end of the file (no size field records it).
namespace DatFormat {

inline constexpr char Magic[] = "Datovy soubor Zelvakon";
inline constexpr int MagicSize = 22;
static_assert(sizeof(Magic) - 1 == MagicSize);

inline constexpr int HeaderSize = 118;  // the texts start here

inline constexpr int PartCount = 5;      // archive, picture, music, readme, registry
inline constexpr int TextCount = 6;      // title, disk space, target folder, music name, program, command line

// Parts are appended in chunks of this many bytes, one progress report each.
inline constexpr int ChunkSize = 40196;

// The largest part a size field can record.
inline constexpr qint64 MaxPartSize = 0x7FFFFFFF;

}  // namespace DatFormat

// The fixed 118 bytes at the start of the data file.
struct DatHeader {
    // Sizes of the parts in the order they follow the texts.
    std::array<qint32, DatFormat::PartCount> PartSizes{};
    // Lengths of the six texts in the order they follow the header.
    std::array<qint32, DatFormat::TextCount> TextLengths{};
    qint32 AskFlag = 0;
    ClickArea Rozbal;
    ClickArea Readme;
    ClickArea Konec;

    qint64 TextsSize() const;   // sum of the six lengths
    qint64 PartsSize() const;   // sum of the five sizes

    // Exactly DatFormat::HeaderSize bytes.
    QByteArray Serialise() const;

    friend bool operator==(const DatHeader&, const DatHeader&) = default;
};

// Where everything lies in a data file whose header was found sound.
struct DatLayout {
    DatHeader Header;
    qint64 FileSize = 0;
    std::array<qint64, DatFormat::TextCount> TextOffsets{};
    std::array<qint64, DatFormat::PartCount> PartOffsets{};
    qint64 UnrarOffset = 0;   // Unrar.dll runs from here to the end of the file
    qint64 UnrarSize = 0;
};

struct DatCheck {
    bool Ok = false;
    QString Error;    // why the file is not a sound data file, when !Ok
    DatLayout Layout;
};

// Reads the fixed header from the start of the device (or the bytes) and checks it against a file of
// fileSize bytes: the magic, no negative size or length, and the header, texts and parts within the
// file. Any bytes at all give an answer; nothing beyond the fixed header is read.
DatCheck VerifyDatHeader(QIODevice& device, qint64 fileSize);
DatCheck VerifyDatHeader(const QByteArray& bytes, qint64 fileSize);
