#pragma once
#include "AppServices.h"
#include "Forms.h"
#include "Guarded.h"
#include "Project.h"
#include <QMainWindow>

class QAction;
class QPushButton;
class QTabWidget;
class ProgramPage;
class ReadmePage;
class MediaPage;
class RegistryPage;
class RunPage;

// The main window. It owns the one open project: its pages hold most fields in their controls, the
// rest are its members. It keeps the commands, the project round trip and the build.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(const AppServices& services, QWidget* parent = nullptr);

    template <typename Handler>
    auto Guarded(Handler handler)
    {
        return ::Guarded(this, Services.Dlg, handler);
    }

    ProgramPage* Program() const { return ProgramTab; }
    ReadmePage* Nfo() const { return NfoTab; }
    MediaPage* Media() const { return MediaTab; }

    // The project round trip between the controls and a plain value, in one place.
    Project CollectProject() const;
    void ApplyProject(const Project& project);  // fixed order, through the change handlers

    // --- state beside the controls
    AppServices Services;
    Forms Windows;
    QString ProjectPath;
    QString ProjectFolder;
    QString HelpFile;
    bool Modified = false;
    QString Vystup;
    QString JmenoInst;
    QString JmenoDat;
    bool ActivatePending = true;  // FormActivate runs at the first appearance and after the wait window
    bool WinRarLoaded = false;  // the first FormActivate has filled RAREdit from the settings

    // --- controls
    QTabWidget* TabPages = nullptr;
    RegistryPage* Registry = nullptr;  // page "Registry"
    // below the pages
    QPushButton* BuildBtn = nullptr;
    QPushButton* ExitBtn = nullptr;
    // commands
    QAction* NewPrAct = nullptr;
    QAction* OpenPrAct = nullptr;
    QAction* SavePrAct = nullptr;
    QAction* SavePrAsAct = nullptr;
    QAction* ExitPrAct = nullptr;
    QAction* BuildPrAct = nullptr;
    QAction* SetAct = nullptr;
    QAction* ShowHelpAct = nullptr;
    QAction* AboutAct = nullptr;

    // --- commands and handlers
    void FormCreate();
    void FormActivate();
    bool FormCloseQuery();
    void FormClose();
    void ExitPrActExecute();
    void OpenHelpTopic(const QString& topic);
    void ShowHelpActExecute();
    void AboutActExecute();
    void SetActExecute();
    void NewPrActExecute();
    void OpenPrActExecute();
    void ReadProjectFile(const QString& path);
    bool SavePrActExecute();  // false when a Save As dialog was cancelled or refused
    bool SavePrAsActExecute();
    void WriteProjectFile(const QString& path);
    void SetProjectPath(const QString& path);
    bool SaveChangesFirst();  // the save-changes question as New and Open use it
    QString SaveDialogFileName = QStringLiteral("Bezejmena.zpf");
    void BuildPrActExecute();
    void OpenProjectFile(const QString& path);  // Open without its dialog: a start argument, a drop
    void RunActivation();  // FormActivate once it is due, then Activated

signals:
    void Activated();  // after each FormActivate

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    ProgramPage* ProgramTab = nullptr;
    ReadmePage* NfoTab = nullptr;
    MediaPage* MediaTab = nullptr;
    RunPage* RunTab = nullptr;
};
