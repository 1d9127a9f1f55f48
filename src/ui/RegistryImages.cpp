#include "RegistryImages.h"
#include <QString>

QPixmap RegistryImage(int index)
{
    static const char* const names[] = {"key",    "key-selected", "boolean", "currency", "date",
                                        "datetime", "float",       "integer", "string",   "time"};
    if (index < 0 || index >= int(std::size(names)))
        return QPixmap();
    return QPixmap(QStringLiteral(":/registry/%1.png").arg(QLatin1String(names[index])));
}

QIcon KeyIcon(bool belowRoot)
{
    QIcon icon;
    icon.addPixmap(RegistryImage(0), QIcon::Normal);
    // Without a pixmap of its own a selected root would show a tinted key rather than image 0.
    icon.addPixmap(RegistryImage(belowRoot ? 1 : 0), QIcon::Selected);
    return icon;
}

QIcon ValueIcon(int code)
{
    QIcon icon;
    icon.addPixmap(RegistryImage(code), QIcon::Normal);
    icon.addPixmap(RegistryImage(code), QIcon::Selected);
    return icon;
}
