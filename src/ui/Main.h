#pragma once
#include "AppServices.h"
#include "ClickArea.h"
#include "Dialogs.h"
#include "Project.h"
#include "RegistryTree.h"
#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class MusicPlayer;
struct BitmapSize;
class TDirForm;
class TKeyForm;
class TValueForm;
class TAreaForm;
class TPrevForm;
class TProgressForm;
class TAboutDlg;
class TSetForm;

// A window made on its first use and then kept, owned by the main window. Most sessions open few
// of them, and making all of them at start-up took as long as making the main window itself.
// Copies share the one window.
template <typename T>
class FormSlot {
public:
    FormSlot() = default;
    explicit FormSlot(std::function<T*()> make) : State(std::make_shared<Slot>(Slot{std::move(make), nullptr})) {}
    T* get() const
    {
        if (State && !State->Form)
            State->Form = State->Make();
        return State ? State->Form : nullptr;
    }
    T* IfCreated() const { return State ? State->Form : nullptr; }  // never makes the window
    operator T*() const { return get(); }
    T* operator->() const { return get(); }

private:
    struct Slot {
        std::function<T*()> Make;
        T* Form;
    };
    std::shared_ptr<Slot> State;
};

class TMainForm;

// A control of the pages behind the first one. Those pages are filled just after the main window's
// first paint, so that building their controls does not delay it; whoever reaches one of their
// controls before then has the pages filled at once and finds the control there.
template <typename T>
class PageControl {
public:
    explicit PageControl(TMainForm* owner) : Owner(owner) {}
    PageControl(const PageControl&) = delete;  // a copy made before the pages are filled would stay empty
    PageControl& operator=(const PageControl&) = delete;
    PageControl& operator=(T* control)
    {
        Control = control;
        return *this;
    }
    T* get() const;
    operator T*() const { return get(); }
    T* operator->() const { return get(); }

private:
    TMainForm* Owner;
    T* Control = nullptr;
};

// The other windows of the program.
struct Forms {
    FormSlot<TDirForm> DirForm;
    FormSlot<TKeyForm> KeyForm;
    FormSlot<TValueForm> ValueForm;
    FormSlot<TAreaForm> AreaForm;
    FormSlot<TPrevForm> PrevForm;
    FormSlot<TProgressForm> ProgressForm;
    FormSlot<TAboutDlg> AboutDlg;
    FormSlot<TSetForm> SetForm;
};

// The main window. It owns the one open project: most fields are the texts and check marks of its
// controls, the rest are its members. Handlers are grouped by page in Main*.cpp.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(const AppServices& services, QWidget* parent = nullptr);
    ~TMainForm() override;

    void AttachForms(const Forms& forms);

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
    RegistryTree Registry;
    std::unique_ptr<QByteArray> RegIniStream;
    std::unique_ptr<QByteArray> ReadmeStream;
    bool ActivatePending = true;  // FormActivate runs at the first appearance and after the wait window

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
    PageControl<QPlainTextEdit> ReadMemo{this};
    PageControl<QPushButton> LoadBtn{this};
    PageControl<QPushButton> ClearBtn{this};
    // page "Hudba a obrázek"
    PageControl<QLineEdit> BkMusicEdit{this};
    PageControl<QToolButton> BkMusicBtn{this};
    PageControl<QPushButton> TestBtn{this};
    PageControl<QPushButton> StopBtn{this};
    MusicPlayer* MusicPlayer_ = nullptr;
    PageControl<QLineEdit> SkinEdit{this};
    PageControl<QToolButton> SkinBtn{this};
    PageControl<QPushButton> SetBtn{this};
    PageControl<QPushButton> PrevBtn{this};
    // page "Registry"
    PageControl<QTreeWidget> RegView{this};
    PageControl<QListWidget> ValueView{this};
    PageControl<QPushButton> AddKeyBtn{this};
    PageControl<QPushButton> EditKeyBtn{this};
    PageControl<QPushButton> DelKeyBtn{this};
    PageControl<QPushButton> AddBtn{this};
    PageControl<QPushButton> EditBtn{this};
    PageControl<QPushButton> DelBtn{this};
    PageControl<QPushButton> OpenBtn{this};
    // page "Spustit po extrakci"
    PageControl<QCheckBox> RunChBox{this};
    PageControl<QLabel> ProgNameLabel{this};
    PageControl<QLineEdit> ProgNameEdit{this};
    PageControl<QLabel> CmLineLabel{this};
    PageControl<QLineEdit> CmLineEdit{this};
    PageControl<QCheckBox> AskChBox{this};
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
    bool FormClose();
    void ExitPrActExecute();
    void OpenHelpTopic(const QString& topic);
    void ShowHelpActExecute();
    void AboutActExecute();
    void NewPrActExecute();
    void ResetProject();
    void OpenPrActExecute();
    void ReadProjectFile(const QString& path);
    void SavePrActExecute();
    void SavePrAsActExecute();
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
    void ResetRegistryView();  // tree back to its six root keys, values list emptied
    void FillPages();          // builds the controls of the pages behind the first one, once
    bool PagesFilled() const { return PagesFilled_; }

    // --- build (MainBuild.cpp)
    void SetupBuild();
    void BuildPrActExecute();
    void StartBuild();
    void PrepareReadme();

    // --- registry page (MainRegistry.cpp)
    void SetupRegistryPage();
    void SaveRegIni(const QString& path);
    void LoadRegIni(const QString& path);
    void RegViewChange();
    void ValueViewChange();
    void AddKeyBtnClick();
    void EditKeyBtnClick();
    void DelKeyBtnClick();
    void AddBtnClick();
    void EditBtnClick();
    void DelBtnClick();
    void OpenBtnClick();

    // --- folders and settings (MainFolders.cpp)
    void SetupFolders();
    void Dir2AddEditChange();
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

signals:
    void Activated();  // after each FormActivate

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* NfoPage = nullptr;
    QWidget* MediaPage = nullptr;
    QWidget* RegistryPage = nullptr;
    QWidget* RunPage = nullptr;
    bool PagesFilled_ = false;
    bool FillQueued = false;
};

template <typename T>
T* PageControl<T>::get() const
{
    if (!Control && !Owner->PagesFilled())
        Owner->FillPages();
    return Control;
}
