#pragma once
#include <QString>
#include <QStringList>

class Dialogs;
class SettingsStore;
class HelpViewer;
class MusicPlayer;

// What the windows need of the platform; main.cpp wires the Qt implementations, tests the fakes.
struct AppServices {
    Dialogs* Dlg = nullptr;
    SettingsStore* Settings = nullptr;
    HelpViewer* Help = nullptr;
    MusicPlayer* Player = nullptr;  // the hidden media player of the music test
    QString ProgramFolder;  // folder of the running executable, without a trailing separator
    // Set by main.cpp from ProgramFolders; left empty, everything is in ProgramFolder. When the
    // executable's folder cannot be written, ProgramFolder is the per-user folder instead.
    QString ExecutableFolder;  // the help file
    QStringList PartsFolders;  // where Unrar.dll and Vorvanex.exe are looked for, in order

    QString HelpFolder() const { return ExecutableFolder.isEmpty() ? ProgramFolder : ExecutableFolder; }
    QStringList PartsFolderList() const { return PartsFolders.isEmpty() ? QStringList{ProgramFolder} : PartsFolders; }
};
