#include "DatFormat.h"
#include <QIODevice>
#include <QtEndian>
#include <cstring>

namespace {

void PutInt(char* at, qint32 value) { qToLittleEndian<qint32>(value, at); }
qint32 GetInt(const char* at) { return qFromLittleEndian<qint32>(at); }

// Written left, right, top, bottom: not the order a ClickArea holds them in.
void PutArea(char* at, const ClickArea& area)
{
    PutInt(at, area.Levy);
    PutInt(at + 4, area.Pravy);
    PutInt(at + 8, area.Horni);
    PutInt(at + 12, area.Dolni);
}

ClickArea GetArea(const char* at)
{
    ClickArea area;
    area.Levy = GetInt(at);
    area.Pravy = GetInt(at + 4);
    area.Horni = GetInt(at + 8);
    area.Dolni = GetInt(at + 12);
    return area;
}

DatCheck Refuse(const QString& error)
{
    DatCheck check;
    check.Error = error;
    return check;
}

}  // namespace

std::array<qint32, DatFormat::PartCount> DatHeader::PartSizes() const
{
    return {ArchiveSize, PictureSize, MusicSize, ReadmeSize, RegistrySize};
}

std::array<qint32, DatFormat::TextCount> DatHeader::TextLengths() const
{
    return {TitleLength, SpaceLength, TargetLength, MusicNameLength, ProgNameLength, CmdLineLength};
}

qint64 DatHeader::TextsSize() const
{
    qint64 sum = 0;
    for (qint32 length : TextLengths())
        sum += length;
    return sum;
}

qint64 DatHeader::PartsSize() const
{
    qint64 sum = 0;
    for (qint32 size : PartSizes())
        sum += size;
    return sum;
}

QByteArray DatHeader::Serialise() const
{
    using namespace DatFormat;
    QByteArray bytes(HeaderSize, '\0');
    char* p = bytes.data();
    memcpy(p, Magic, MagicSize);
    PutInt(p + ArchiveSizeOffset, ArchiveSize);
    PutInt(p + PictureSizeOffset, PictureSize);
    PutInt(p + MusicSizeOffset, MusicSize);
    PutInt(p + ReadmeSizeOffset, ReadmeSize);
    PutInt(p + RegistrySizeOffset, RegistrySize);
    PutInt(p + TitleLengthOffset, TitleLength);
    PutInt(p + SpaceLengthOffset, SpaceLength);
    PutInt(p + TargetLengthOffset, TargetLength);
    PutInt(p + MusicNameLengthOffset, MusicNameLength);
    PutInt(p + ProgNameLengthOffset, ProgNameLength);
    PutInt(p + CmdLineLengthOffset, CmdLineLength);
    PutInt(p + AskFlagOffset, AskFlag);
    PutArea(p + RozbalOffset, Rozbal);
    PutArea(p + ReadmeAreaOffset, Readme);
    PutArea(p + KonecOffset, Konec);
    return bytes;
}

DatCheck VerifyDatHeader(const QByteArray& bytes, qint64 fileSize)
{
    using namespace DatFormat;
    if (fileSize < HeaderSize || bytes.size() < HeaderSize)
        return Refuse(QStringLiteral("Soubor je kratší než hlavička datového souboru (%1 bajtů).").arg(HeaderSize));
    const char* p = bytes.constData();
    if (memcmp(p, Magic, MagicSize) != 0)
        return Refuse(QStringLiteral("Soubor nezačíná textem „%1“, nejde o datový soubor.").arg(QLatin1String(Magic)));

    DatHeader h;
    h.ArchiveSize = GetInt(p + ArchiveSizeOffset);
    h.PictureSize = GetInt(p + PictureSizeOffset);
    h.MusicSize = GetInt(p + MusicSizeOffset);
    h.ReadmeSize = GetInt(p + ReadmeSizeOffset);
    h.RegistrySize = GetInt(p + RegistrySizeOffset);
    h.TitleLength = GetInt(p + TitleLengthOffset);
    h.SpaceLength = GetInt(p + SpaceLengthOffset);
    h.TargetLength = GetInt(p + TargetLengthOffset);
    h.MusicNameLength = GetInt(p + MusicNameLengthOffset);
    h.ProgNameLength = GetInt(p + ProgNameLengthOffset);
    h.CmdLineLength = GetInt(p + CmdLineLengthOffset);
    h.AskFlag = GetInt(p + AskFlagOffset);
    h.Rozbal = GetArea(p + RozbalOffset);
    h.Readme = GetArea(p + ReadmeAreaOffset);
    h.Konec = GetArea(p + KonecOffset);

    static const char* const partNames[PartCount] = {"archivu", "obrázku", "hudby", "textu Readme", "textu Reg.ini"};
    static const char* const textNames[TextCount] = {"názvu",          "místa na disku", "cílového adresáře",
                                                     "jména hudby",    "názvu programu", "příkazové řádky"};
    const auto sizes = h.PartSizes();
    for (int i = 0; i < PartCount; ++i)
        if (sizes[size_t(i)] < 0)
            return Refuse(QStringLiteral("Velikost %1 v hlavičce je záporná (%2).")
                              .arg(QString::fromUtf8(partNames[i]))
                              .arg(sizes[size_t(i)]));
    const auto lengths = h.TextLengths();
    for (int i = 0; i < TextCount; ++i)
        if (lengths[size_t(i)] < 0)
            return Refuse(QStringLiteral("Délka %1 v hlavičce je záporná (%2).")
                              .arg(QString::fromUtf8(textNames[i]))
                              .arg(lengths[size_t(i)]));

    // Eleven non-negative 32-bit values cannot overflow a 64-bit sum.
    const qint64 needed = HeaderSize + h.TextsSize() + h.PartsSize();
    if (needed > fileSize)
        return Refuse(QStringLiteral("Hlavička, texty a části potřebují %1 bajtů, soubor má jen %2.")
                          .arg(needed)
                          .arg(fileSize));

    DatCheck check;
    check.Ok = true;
    DatLayout& layout = check.Layout;
    layout.Header = h;
    layout.FileSize = fileSize;
    qint64 at = HeaderSize;
    for (int i = 0; i < TextCount; ++i) {
        layout.TextOffsets[size_t(i)] = at;
        at += lengths[size_t(i)];
    }
    for (int i = 0; i < PartCount; ++i) {
        layout.PartOffsets[size_t(i)] = at;
        at += sizes[size_t(i)];
    }
    layout.UnrarOffset = at;
    layout.UnrarSize = fileSize - at;
    return check;
}

DatCheck VerifyDatHeader(QIODevice& device, qint64 fileSize)
{
    if (!device.isReadable())
        return Refuse(QStringLiteral("Soubor nelze číst."));
    if (!device.isSequential() && !device.seek(0))
        return Refuse(QStringLiteral("Soubor nelze číst od začátku."));
    const QByteArray bytes = device.read(DatFormat::HeaderSize);
    if (bytes.size() < DatFormat::HeaderSize && fileSize >= DatFormat::HeaderSize)
        return Refuse(QStringLiteral("Hlavičku datového souboru nelze přečíst celou."));
    return VerifyDatHeader(bytes, fileSize);
}
