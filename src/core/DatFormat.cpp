#include "DatFormat.h"
#include <QIODevice>
#include <QtEndian>
#include <cstring>
#include <numeric>
#include <utility>

namespace {

// Every integer of the header in the order of the file, from behind the magic on. An area is written
// left, right, top, bottom: not the order a ClickArea holds them in.
template <class Header, class Visit>
void ForEachField(Header& h, Visit visit)
{
    for (auto& size : h.PartSizes)
        visit(size);
    for (auto& length : h.TextLengths)
        visit(length);
    visit(h.AskFlag);
    for (auto* area : {&h.Rozbal, &h.Readme, &h.Konec})
        for (auto side : {&ClickArea::Levy, &ClickArea::Pravy, &ClickArea::Horni, &ClickArea::Dolni})
            visit(area->*side);
}

DatCheck Refuse(const QString& error) { return {false, error, {}}; }

}  // namespace

qint64 DatHeader::TextsSize() const
{
    return std::accumulate(TextLengths.begin(), TextLengths.end(), qint64(0));
}

qint64 DatHeader::PartsSize() const
{
    return std::accumulate(PartSizes.begin(), PartSizes.end(), qint64(0));
}

QByteArray DatHeader::Serialise() const
{
    QByteArray bytes(DatFormat::HeaderSize, '\0');
    char* p = bytes.data();
    memcpy(p, DatFormat::Magic, DatFormat::MagicSize);
    p += DatFormat::MagicSize;
    ForEachField(*this, [&p](qint32 value) {
        qToLittleEndian<qint32>(value, p);
        p += 4;
    });
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
    p += MagicSize;
    ForEachField(h, [&p](qint32& value) {
        value = qFromLittleEndian<qint32>(p);
        p += 4;
    });

    static const char* const partNames[PartCount] = {"archivu", "obrázku", "hudby", "textu Readme", "textu Reg.ini"};
    static const char* const textNames[TextCount] = {"názvu",          "místa na disku", "cílového adresáře",
                                                     "jména hudby",    "názvu programu", "příkazové řádky"};
    for (size_t i = 0; i < PartCount; ++i)
        if (h.PartSizes[i] < 0)
            return Refuse(QString::asprintf("Velikost %s v hlavičce je záporná (%d).", partNames[i], h.PartSizes[i]));
    for (size_t i = 0; i < TextCount; ++i)
        if (h.TextLengths[i] < 0)
            return Refuse(QString::asprintf("Délka %s v hlavičce je záporná (%d).", textNames[i], h.TextLengths[i]));

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
    for (size_t i = 0; i < TextCount; ++i)
        layout.TextOffsets[i] = std::exchange(at, at + h.TextLengths[i]);
    for (size_t i = 0; i < PartCount; ++i)
        layout.PartOffsets[i] = std::exchange(at, at + h.PartSizes[i]);
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
