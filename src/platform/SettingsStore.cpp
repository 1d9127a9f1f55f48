#include "SettingsStore.h"
#include "Error.h"
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <memory>

QString DefaultWinRarPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Program Files\\WinRAR\\WinRAR.exe");
#else
    for (const QString& name : {QStringLiteral("rar"), QStringLiteral("winrar")}) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return QStringLiteral("/usr/bin/rar");
#endif
}

// QSettings reads its file as it is made: a FIFO or device there would block the program's start
// for ever. (A folder only fails to read; its write then reports the value.)
static void RefuseSpecialFile(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir())
        throw ZelvakonError(QStringLiteral("Soubor s nastavením %1 nelze otevřít: není to obyčejný soubor")
                                .arg(QDir::toNativeSeparators(path)));
}

static std::unique_ptr<QSettings> OpenStore(const QString& iniPath)
{
    if (!iniPath.isEmpty()) {
        RefuseSpecialFile(iniPath);
        return std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
    }
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Zelvakon"), QSettings::NativeFormat);
#else
    // Where QSettings keeps the user's ini of an organisation without an application name.
    RefuseSpecialFile(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                      + QStringLiteral("/Zelvakon.ini"));
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Zelvakon"));
#endif
}

static void WriteValue(QSettings& store, const QString& value)
{
    store.setValue(QStringLiteral("WinRARexe"), value);
    store.sync();
    if (store.status() != QSettings::NoError)
        throw ZelvakonError(QStringLiteral("Hodnotu WinRARexe nelze uložit do %1").arg(store.fileName()));
}

QString QtSettingsStore::LoadWinRarPath()
{
    auto store = OpenStore(IniPath);
    const QVariant value = store->value(QStringLiteral("WinRARexe"));
    if (value.isValid() && value.typeId() != QMetaType::QString && value.typeId() != QMetaType::QByteArray)
        throw ZelvakonError(QStringLiteral("Hodnotu WinRARexe nelze přečíst: není to text"));
    QString path = value.toString();
    if (path.isEmpty()) {
        path = DefaultWinRarPath();
        WriteValue(*store, path);
    }
    return path;
}

void QtSettingsStore::StoreWinRarPath(const QString& path)
{
    auto store = OpenStore(IniPath);
    // Every close stores the field, and it nearly always holds what is stored already: rewriting the
    // file under its lock file cost more than the rest of closing the program.
    const QVariant stored = store->value(QStringLiteral("WinRARexe"));
    if (store->status() == QSettings::NoError && stored.typeId() == QMetaType::QString && stored.toString() == path)
        return;
    WriteValue(*store, path);
}
