#include "SkinPicture.h"
#include "Paths.h"

bool HasBmpExtension(const QString& path)
{
    const QString name = Paths::FileNameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    QString extension = name.mid(dot);
    // Only a-z are upper-cased, as the program always compared it.
    for (QChar& c : extension)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return extension == QLatin1String(".BMP");
}

SkinPictureFault CheckSkinPictureSize(const BitmapSize& size)
{
    if (size.Width > 600 || size.Height > 400)
        return SkinPictureFault::TooLarge;
    if (size.Width < 100 || size.Height < 100)
        return SkinPictureFault::TooSmall;
    return SkinPictureFault::None;
}

SkinPictureFault CheckSkinPictureFile(const QString& path, BitmapSize& size)
{
    if (!HasBmpExtension(path))
        return SkinPictureFault::Extension;
    size = GetBitmapSize(path);
    const SkinPictureFault fault = CheckSkinPictureSize(size);
    if (fault == SkinPictureFault::None)
        CheckBitmapData(path);  // a file cut short would show leftover memory
    return fault;
}
