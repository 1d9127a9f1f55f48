#pragma once
#include "ProgramFolders.h"
#include <QString>
#include <QStringList>

class Dialogs;
class SettingsStore;
class HelpViewer;
class MusicPlayer;

// What the windows need of the platform; main.cpp wires the Qt implementations, tests the fakes.
struct AppServices {
    Dialogs* dialogs = nullptr;
    SettingsStore* settings = nullptr;
    HelpViewer* help = nullptr;
    MusicPlayer* player = nullptr;  // the hidden media player of the music test
    QString programFolder;  // folder of the running executable, without a trailing separator
    // Set by main.cpp from ProgramFolders; left empty, everything is in programFolder. When the
    // executable's folder cannot be written, programFolder is the per-user folder instead.
    QString executableFolder;  // the help file
    QStringList partsFolders;  // where Unrar.dll and Vorvanex.exe are looked for, in order

    QString HelpFolder() const { return executableFolder.isEmpty() ? programFolder : executableFolder; }
    // The folder to take Unrar.dll or Vorvanex.exe from.
    QString PartsFolderFor(const QString& fileName) const
    {
        return FolderHolding(partsFolders.isEmpty() ? QStringList{programFolder} : partsFolders, fileName);
    }
};
