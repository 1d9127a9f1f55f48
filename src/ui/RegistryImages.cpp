#include "RegistryImages.h"
#include <QCoreApplication>
#include <QString>
#include <array>

namespace {

// The icons, made once and shared by every item: a large tree holds one per key. Dropped with the
// application object, which the pictures must not outlive.
struct Icons {
    QIcon Root;
    QIcon Key;
    std::array<QIcon, 10> Values;
};

Icons* Cache = nullptr;

const Icons& SharedIcons()
{
    if (!Cache) {
        Cache = new Icons;
        Cache->Root.addPixmap(RegistryImage(0), QIcon::Normal);
        // Without a pixmap of its own a selected root would show a tinted key rather than image 0.
        Cache->Root.addPixmap(RegistryImage(0), QIcon::Selected);
        Cache->Key.addPixmap(RegistryImage(0), QIcon::Normal);
        Cache->Key.addPixmap(RegistryImage(1), QIcon::Selected);
        for (int code = 2; code <= 9; ++code) {
            Cache->Values[size_t(code)].addPixmap(RegistryImage(code), QIcon::Normal);
            Cache->Values[size_t(code)].addPixmap(RegistryImage(code), QIcon::Selected);
        }
        qAddPostRoutine([] {
            delete Cache;
            Cache = nullptr;
        });
    }
    return *Cache;
}

}  // namespace

QPixmap RegistryImage(int index)
{
    static const char* const names[] = {"key",    "key-selected", "boolean", "currency", "date",
                                        "datetime", "float",       "integer", "string",   "time"};
    if (index < 0 || index >= int(std::size(names)))
        return QPixmap();
    return QPixmap(QStringLiteral(":/registry/%1.png").arg(QLatin1String(names[index])));
}

QIcon KeyIcon(bool belowRoot) { return belowRoot ? SharedIcons().Key : SharedIcons().Root; }

QIcon ValueIcon(int code) { return code >= 2 && code <= 9 ? SharedIcons().Values[size_t(code)] : QIcon(); }
