#pragma once
#include "FakeDialogs.h"
#include "HelpViewer.h"
#include "Main.h"
#include "SettingsStore.h"
#include <QByteArray>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QWidget;
class TArchiveForm;

// Help requests are recorded instead of shown.
class FakeHelp : public HelpViewer {
public:
    void OpenHelpTopic(const QString& helpFile, const QString& topic) override { Calls << helpFile + QLatin1Char('#') + topic; }
    QStringList Calls;
};

// A settings store in memory that can be told to fail.
class FakeSettings : public SettingsStore {
public:
    QString LoadWinRarPath() override;
    void StoreWinRarPath(const QString& path) override;
    QString Stored;       // empty: absent
    bool FailWrites = false;
    int Writes = 0;
};

// A private program folder, the fakes and a main window with its forms, as the program starts.
struct TestEnv {
    TestEnv();
    ~TestEnv();
    QTemporaryDir Dir;
    QString ProgramFolder;
    FakeDialogs Dlg;
    FakeSettings Settings;
    FakeHelp Help;
    AppServices Services;
    std::unique_ptr<TMainForm> Main;

    TMainForm* Start();  // creates the main window and its forms, shows it and runs FormActivate
    QString Path(const QString& relative) const;  // below the program folder
};

// Runs the archiver's window as the program's modal run does: shown, left to close itself once the
// archiver has ended. whileRunning acts on it meanwhile, as a user would.
int RunArchiveWindow(QObject* window, const std::function<void(TArchiveForm*)>& whileRunning = {});

// Types text as a user would, one key event per character (Czech characters included).
void TypeText(QWidget* widget, const QString& text);
QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);
// Bytes that differ from part to part and from place to place, so that a misplaced copy shows.
QByteArray Pattern(int size, char seed);
// A whole bitmap file of one bit per point with these size fields, its pixel data a pattern, at least
// size bytes long (padded behind the pixel data).
QByteArray BitmapBytes(qint32 width, qint32 height, int size = 0);
