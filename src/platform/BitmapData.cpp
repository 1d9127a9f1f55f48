#include "BitmapData.h"
#include <QIODevice>
#include <QtEndian>

QString BitmapDataFault(QIODevice& file, qint64 fileSize)
{
    char h[54] = {};
    if (!file.seek(0))
        return QStringLiteral("soubor nelze číst");
    const qint64 got = file.read(h, sizeof h);
    if (got < 18 || h[0] != 'B' || h[1] != 'M')
        return QStringLiteral("nezačíná hlavičkou bitmapy (BM)");
    const quint32 offBits = qFromLittleEndian<quint32>(h + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(h + 14);
    qint64 width, height;
    quint32 bitCount, compression = 0, sizeImage = 0;
    if (infoSize == 12 && got >= 26) {  // the old core header: 16-bit sizes
        width = qFromLittleEndian<quint16>(h + 18);
        height = qFromLittleEndian<quint16>(h + 20);
        bitCount = qFromLittleEndian<quint16>(h + 24);
    } else if (infoSize >= 40 && got >= 54) {
        width = qFromLittleEndian<qint32>(h + 18);
        height = qFromLittleEndian<qint32>(h + 22);
        bitCount = qFromLittleEndian<quint16>(h + 28);
        compression = qFromLittleEndian<quint32>(h + 30);
        sizeImage = qFromLittleEndian<quint32>(h + 34);
    } else {
        return QStringLiteral("hlavička bitmapy je neúplná");
    }
    if (qint64(offBits) < 14 + qint64(infoSize) || offBits > fileSize)
        return QStringLiteral("obrazová data mají začínat na bajtu %1 mimo soubor").arg(offBits);
    if (width <= 0 || height == 0)
        return QStringLiteral("bitmapa nemá žádné body");
    quint64 needed;
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (uncompressed) {
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
            return QStringLiteral("nepodporovaná barevná hloubka %1 bitů").arg(bitCount);
        // Rows are padded to whole 32-bit words; an unsigned 64-bit product holds any of these fields.
        needed = quint64((width * bitCount + 31) / 32 * 4) * quint64(qAbs(height));
    } else {
        // Compressed data has no size of its own but the header's.
        if (sizeImage == 0)
            return QStringLiteral("komprimovaná bitmapa neudává velikost obrazových dat");
        needed = sizeImage;
    }
    if (needed > quint64(fileSize - offBits))
        return QStringLiteral("obsahuje jen %1 z %2 bajtů obrazových dat, které udává hlavička")
            .arg(fileSize - offBits)
            .arg(needed);
    return QString();
}
