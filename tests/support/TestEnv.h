#pragma once
#include "FakeDialogs.h"
#include "HelpViewer.h"
#include "Main.h"
#include "Pages.h"
#include "ProgramPage.h"
#include "SettingsStore.h"
#include <QByteArray>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
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

// The controls of the main window's pages, found by their object names.
struct PageControls {
    QLineEdit* TitleEdit;
    QLineEdit* SpaceEdit;
    QLineEdit* Dir2AddEdit;
    QToolButton* Dir2AddBtn;
    QLineEdit* TarDirEdit;
    QToolButton* TarDirBtn;
    QLineEdit* RAREdit;
    QToolButton* SpeedButton3;
    QPlainTextEdit* ReadMemo;
    QPushButton* LoadBtn;
    QPushButton* ClearBtn;
    QLineEdit* BkMusicEdit;
    QToolButton* BkMusicBtn;
    QPushButton* TestBtn;
    QPushButton* StopBtn;
    QLineEdit* SkinEdit;
    QToolButton* SkinBtn;
    QPushButton* SetBtn;
    QPushButton* PrevBtn;
    QCheckBox* RunChBox;
    QLabel* ProgNameLabel;
    QLineEdit* ProgNameEdit;
    QLabel* CmLineLabel;
    QLineEdit* CmLineEdit;
    QCheckBox* AskChBox;
};
// Aborts the test when a control is missing or of another kind, rather than crash on it later.
PageControls Ui(const QWidget* main);
PageControls Ui(const std::unique_ptr<TMainForm>& main);

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
