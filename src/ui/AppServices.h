#pragma once
#include <QString>

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
};
