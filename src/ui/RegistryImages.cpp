#include "RegistryImages.h"
#include <QString>
#include <iterator>

QPixmap RegistryImage(int index)
{
    static const char* const names[] = {"key",    "key-selected", "boolean", "currency", "date",
                                        "datetime", "float",       "integer", "string",   "time"};
    if (index < 0 || index >= int(std::size(names)))
        return QPixmap();
    return QPixmap(QStringLiteral(":/registry/%1.png").arg(QLatin1String(names[index])));
}

QIcon RegistryIcon(int normal, int selected)
{
    QIcon icon;
    icon.addPixmap(RegistryImage(normal), QIcon::Normal);
    // Without a pixmap of its own a selected row would show the image tinted.
    icon.addPixmap(RegistryImage(selected), QIcon::Selected);
    return icon;
}
