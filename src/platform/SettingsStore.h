#pragma once
#include <QString>

// The per-user WinRAR path: key "Zelvakon", value "WinRARexe". On Windows the registry below
// HKEY_CURRENT_USER, elsewhere the per-user ini of QSettings. A write failure throws ZelvakonError.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString LoadWinRarPath() = 0;
    virtual void StoreWinRarPath(const QString& path) = 0;
};

class QtSettingsStore : public SettingsStore {
public:
    // iniPath empty: the platform's per-user store; otherwise that ini file (tests).
    explicit QtSettingsStore(QString iniPath = {}) : IniPath(std::move(iniPath)) {}
    QString LoadWinRarPath() override;
    void StoreWinRarPath(const QString& path) override;

private:
    QString IniPath;
};

// The archiver a new settings store starts with. Windows: C:\Program Files\WinRAR\WinRAR.exe; elsewhere
// the rar (or else winrar) found on PATH, else /usr/bin/rar, where Debian's rar package puts it.
QString DefaultWinRarPath();
