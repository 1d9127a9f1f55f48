#pragma once
#include "AppServices.h"
#include "ClickArea.h"
#include "Dialogs.h"
#include "DirSize.h"
#include "Error.h"
#include "Guarded.h"
#include "Project.h"
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QThread;
class QTimer;
class QToolButton;
class MusicPlayer;
class ProfileFile;
class RegistryPage;
struct BitmapSize;
class TDirForm;
class TKeyForm;
class TValueForm;
class TAreaForm;
class TPrevForm;
class TProgressForm;
class TArchiveForm;
class TAboutDlg;
class TSetForm;

// The other windows of the program.
struct Forms {
    TDirForm* DirForm = nullptr;
    TKeyForm* KeyForm = nullptr;
    TValueForm* ValueForm = nullptr;
    TAreaForm* AreaForm = nullptr;
    TPrevForm* PrevForm = nullptr;
    TProgressForm* ProgressForm = nullptr;
    TArchiveForm* ArchiveForm = nullptr;
    TAboutDlg* AboutDlg = nullptr;
    TSetForm* SetForm = nullptr;
};

// The main window. It owns the one open project: most fields are the texts and check marks of its
// controls, the rest are its members. Handlers are grouped by page in Main*.cpp.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(const AppServices& services, QWidget* parent = nullptr);
    ~TMainForm() override;

    void AttachForms(const Forms& forms);

    template <typename Handler>
    auto Guarded(Handler handler)
    {
        return ::Guarded(this, Services.Dlg, handler);
    }

    // The project round trip between the controls and a plain value, in one place.
    Project CollectProject() const;
    void ApplyProject(const Project& project);  // fixed order, through the change handlers

    // --- state beside the controls
    AppServices Services;
    Forms Windows;
    QString ProgramFolder;
    QString ProjectPath;
    QString ProjectFolder;
    QString HelpFile;
    bool Modified = false;
    QString Vystup;
    QString JmenoInst;
    QString JmenoDat;
    ClickArea Rozbal;
    ClickArea Readme;
    ClickArea Konec;
    bool ActivatePending = true;  // FormActivate runs at the first appearance and after the wait window
    bool WinRarLoaded = false;    // the first FormActivate has filled RAREdit from the settings

    // --- controls: page "Program"
    QTabWidget* TabPages = nullptr;
    QLineEdit* TitleEdit = nullptr;
    QLineEdit* SpaceEdit = nullptr;
    QLineEdit* Dir2AddEdit = nullptr;
    QToolButton* Dir2AddBtn = nullptr;
    QLineEdit* TarDirEdit = nullptr;
    QToolButton* TarDirBtn = nullptr;
    QLineEdit* RAREdit = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    // page "Nfo soubor"
    QPlainTextEdit* ReadMemo = nullptr;
    QPushButton* LoadBtn = nullptr;
    QPushButton* ClearBtn = nullptr;
    // page "Hudba a obrázek"
    QLineEdit* BkMusicEdit = nullptr;
    QToolButton* BkMusicBtn = nullptr;
    QPushButton* TestBtn = nullptr;
    QPushButton* StopBtn = nullptr;
    QLineEdit* SkinEdit = nullptr;
    QToolButton* SkinBtn = nullptr;
    QPushButton* SetBtn = nullptr;
    QPushButton* PrevBtn = nullptr;
    RegistryPage* Registry = nullptr;  // page "Registry"
    // page "Spustit po extrakci"
    QCheckBox* RunChBox = nullptr;
    QLabel* ProgNameLabel = nullptr;
    QLineEdit* ProgNameEdit = nullptr;
    QLabel* CmLineLabel = nullptr;
    QLineEdit* CmLineEdit = nullptr;
    QCheckBox* AskChBox = nullptr;
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

    // --- shell and project (Main.cpp)
    void FormCreate();
    void FormActivate();
    bool FormCloseQuery();
    void FormClose();
    void ExitPrActExecute();
    void OpenHelpTopic(const QString& topic);
    void ShowHelpActExecute();
    void AboutActExecute();
    void NewPrActExecute();
    void ResetProject();
    void OpenPrActExecute();
    void ReadProjectFile(const QString& path);
    bool SavePrActExecute();    // false when a Save As dialog was cancelled or refused
    bool SavePrAsActExecute();
    void WriteProjectFile(const QString& path);
    MsgAnswer AskToSaveChanges();
    void UpdateBuildEnabled();
    void TitleEditChange();
    void CmLineEditChange();
    void AskChBoxClick();
    void RunChBoxClick();
    void SetProjectPath(const QString& path);
    bool SaveChangesFirst();                 // the save-changes question as New and Open use it
    bool AcceptPath(const QString& path);    // refuses a chosen path that Windows-1250 cannot hold
    QString ReadmeText() const;              // the memo's text with CR LF line breaks
    static QString ReadmeForMemo(const QString& text);
    QString SaveDialogFileName = QStringLiteral("Bezejmena.zpf");

    // --- build (MainBuild.cpp)
    void BuildPrActExecute();

    // --- folders and settings (MainFolders.cpp)
    void SetupFolders();
    void Dir2AddEditChange();
    void Dir2AddTimerTimer();        // the typing has paused
    void MeasureDir2Add();           // the field's folder into SpaceEdit, behind the wait window
    void SettleFolderMeasurement();  // a measurement still waiting for the typing to pause runs now
    // Measures on another thread while the wait window shows; nothing when it was stopped.
    std::optional<qint64> MeasureFolder(const QString& folder);
    DirSizeProbe FolderProbe;  // passed to every walk (tests slow it down)
    void Dir2AddBtnClick();
    void TarDirBtnClick();
    void SetActExecute();
    void SpeedButton3Click();

    // --- presentation (MainPresentation.cpp)
    void SetupPresentation();
    void SkinEditChange();
    void SkinBtnClick();
    bool CheckSkinPicture(const QString& path, BitmapSize& size);  // shows its message on failure
    void PrevBtnClick();
    void SetBtnClick();
    void BkMusicBtnClick();
    void BkMusicEditChange();
    void TestBtnClick();
    void StopBtnClick();
    void MusicPlayerNotify();
    void LoadBtnClick();
    void ReadMemoChange();
    void ClearBtnClick();

    // --- from the desktop (MainDesktop.cpp)
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
    void MakeOtherPages();
    struct FolderMeasurement;
    struct RunningWalk {
        QPointer<QThread> Thread;  // deletes itself when it ends
        std::shared_ptr<DirSizeWalk> Walk;
    };
    void StopFolderWalks();
    QTimer* Dir2AddTimer = nullptr;  // typing measures once it pauses
    bool Dir2AddTyped = false;       // the change under way comes from the user's editing
    FolderMeasurement* Measuring = nullptr;
    std::vector<RunningWalk> Walks;
};
