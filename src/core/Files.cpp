#include "Files.h"
#include "Error.h"
#include <QFile>
#include <QtEndian>

qint64 FileSizeOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.size();
}

BitmapSize GetBitmapSize(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ZelvakonError(QStringLiteral("Soubor s obrázkem %1 nelze otevřít: %2").arg(path, file.errorString()));
    return GetBitmapSize(file, path);
}

BitmapSize GetBitmapSize(QIODevice& file, const QString& name)
{
    char header[8];
    if (!file.seek(18) || file.read(header, 8) != 8)
        throw ZelvakonError(QStringLiteral("Soubor s obrázkem %1 je příliš krátký, nejde o bitmapu").arg(name));
    return {qFromLittleEndian<qint32>(header), qFromLittleEndian<qint32>(header + 4)};
}
