#include "Files.h"
#include "Error.h"
#include "RegularFile.h"
#include <QFile>
#include <QtEndian>

static void OpenPicture(QFile& file, const QString& path)
{
    if (const QString reason = OpenRegularFile(file, path); !reason.isEmpty())
        throw ZelvakonError(QStringLiteral("Soubor s obrázkem %1 nelze otevřít: %2").arg(path, reason));
}

BitmapSize GetBitmapSize(const QString& path)
{
    QFile file;
    OpenPicture(file, path);
    return GetBitmapSize(file, path);
}

BitmapSize GetBitmapSize(QIODevice& file, const QString& name)
{
    char header[8];
    if (!file.seek(18) || file.read(header, 8) != 8)
        throw ZelvakonError(QStringLiteral("Soubor s obrázkem %1 je příliš krátký, nejde o bitmapu").arg(name));
    return {qFromLittleEndian<qint32>(header), qFromLittleEndian<qint32>(header + 4)};
}

void CheckBitmapData(const QString& path)
{
    QFile file;
    OpenPicture(file, path);
    if (const QString fault = BitmapDataFault(file, file.size()); !fault.isEmpty())
        throw ZelvakonError(QStringLiteral("Soubor s obrázkem %1 není celá bitmapa: %2").arg(path, fault));
}
