#include "DatFormat.h"
#include <QIODevice>
#include <QtEndian>
#include <cstring>
#include <numeric>

namespace {

// Where the fields lie, in the order of the file: twelve integers, then the three areas.
constexpr std::pair<int, qint32 DatHeader::*> IntFields[] = {
    {22, &DatHeader::ArchiveSize},    {26, &DatHeader::PictureSize},     {30, &DatHeader::MusicSize},
    {34, &DatHeader::ReadmeSize},     {38, &DatHeader::RegistrySize},    {42, &DatHeader::TitleLength},
    {46, &DatHeader::SpaceLength},    {50, &DatHeader::TargetLength},    {54, &DatHeader::MusicNameLength},
    {58, &DatHeader::ProgNameLength}, {62, &DatHeader::CmdLineLength},   {66, &DatHeader::AskFlag}};
constexpr std::pair<int, ClickArea DatHeader::*> AreaFields[] = {
    {70, &DatHeader::Rozbal}, {86, &DatHeader::Readme}, {102, &DatHeader::Konec}};
// An area is written left, right, top, bottom: not the order a ClickArea holds them in.
constexpr qint32 ClickArea::*AreaSides[] = {&ClickArea::Levy, &ClickArea::Pravy, &ClickArea::Horni, &ClickArea::Dolni};

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
    const auto lengths = TextLengths();
    return std::accumulate(lengths.begin(), lengths.end(), qint64(0));
}

qint64 DatHeader::PartsSize() const
{
    const auto sizes = PartSizes();
    return std::accumulate(sizes.begin(), sizes.end(), qint64(0));
}

QByteArray DatHeader::Serialise() const
{
    QByteArray bytes(DatFormat::HeaderSize, '\0');
    char* p = bytes.data();
    memcpy(p, DatFormat::Magic, DatFormat::MagicSize);
    for (const auto& [offset, field] : IntFields)
        qToLittleEndian<qint32>(this->*field, p + offset);
    for (const auto& [offset, field] : AreaFields)
        for (int side = 0; side < 4; ++side)
            qToLittleEndian<qint32>(this->*field.*AreaSides[side], p + offset + 4 * side);
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
    for (const auto& [offset, field] : IntFields)
        h.*field = qFromLittleEndian<qint32>(p + offset);
    for (const auto& [offset, field] : AreaFields)
        for (int side = 0; side < 4; ++side)
            h.*field.*AreaSides[side] = qFromLittleEndian<qint32>(p + offset + 4 * side);

    static const char* const partNames[PartCount] = {"archivu", "obrázku", "hudby", "textu Readme", "textu Reg.ini"};
    static const char* const textNames[TextCount] = {"názvu",          "místa na disku", "cílového adresáře",
                                                     "jména hudby",    "názvu programu", "příkazové řádky"};
    const auto sizes = h.PartSizes();
    for (int i = 0; i < PartCount; ++i)
        if (sizes[size_t(i)] < 0)
            return Refuse(QString::asprintf("Velikost %s v hlavičce je záporná (%d).", partNames[i], sizes[size_t(i)]));
    const auto lengths = h.TextLengths();
    for (int i = 0; i < TextCount; ++i)
        if (lengths[size_t(i)] < 0)
            return Refuse(QString::asprintf("Délka %s v hlavičce je záporná (%d).", textNames[i], lengths[size_t(i)]));

    // Eleven non-negative 32-bit values cannot overflow a 64-bit sum.
    const qint64 needed = HeaderSize + h.TextsSize() + h.PartsSize();
    if (needed > fileSize)
        return Refuse(QString::asprintf("Hlavička, texty a části potřebují %lld bajtů, soubor má jen %lld.", needed,
                                        fileSize));

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
