#include "Main.h"
#include "About.h"
#include "Areadlg.h"
#include "Controls.h"
#include "Dir.h"
#include "Error.h"
#include "HelpViewer.h"
#include "KeyFilter.h"
#include "Mnemonics.h"
#include "Pages.h"
#include "Paths.h"
#include "ProfileFile.h"
#include "ProgramPage.h"
#include "Progress.h"
#include "RegistryForms.h"
#include "RegistryPage.h"
#include "Settings.h"
#include "SettingsStore.h"
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QMenuBar>
#include <QMimeData>
#include <QTabWidget>
#include <QUrl>

namespace {

// The one project file among what is dragged, as a native path; empty when there is not exactly one.
QString DraggedProject(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return QString();
    const QString path = data->urls().first().toLocalFile();
    return path.endsWith(QLatin1String(".zpf"), Qt::CaseInsensitive) ? QDir::toNativeSeparators(path) : QString();
}

}  // namespace

TMainForm::TMainForm(const AppServices& services, QWidget* parent) : QMainWindow(parent), Services(services)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    // Commands shared by the menu and the buttons.
    auto action
        = [this](const char* name, const QString& caption, const QString& hint, const QKeySequence& key, auto handler) {
              auto* act = new QAction(caption, this);
              act->setObjectName(QLatin1String(name));
              act->setStatusTip(hint);
              act->setShortcut(key);
              act->setShortcutContext(Qt::ApplicationShortcut);
              connect(act, &QAction::triggered, this, Guarded(handler));
              return act;
          };
    NewPrAct = action("NewPrAct", QStringLiteral("&Nový projekt..."), QStringLiteral("Vytvoří nový projekt"),
                      QKeySequence(Qt::CTRL | Qt::Key_N), &TMainForm::NewPrActExecute);
    OpenPrAct = action("OpenPrAct", QStringLiteral("&Otevřít projekt... "),
                       QStringLiteral("Otevře projekt ze souboru na disku"), QKeySequence(Qt::CTRL | Qt::Key_O),
                       &TMainForm::OpenPrActExecute);
    SavePrAct = action("SavePrAct", QStringLiteral("&Uložit projekt..."),
                       QStringLiteral("Uloží současný projekt do souboru na disk"), QKeySequence(Qt::CTRL | Qt::Key_S),
                       &TMainForm::SavePrActExecute);
    SavePrAsAct = action("SavePrAsAct", QStringLiteral("Uložit projekt &jako..."),
                         QStringLiteral("Uloží současný projekt na disk pod zvoleným jménem"), QKeySequence(),
                         &TMainForm::SavePrAsActExecute);
    ExitPrAct = action("ExitPrAct", QStringLiteral("&Konec"), QStringLiteral("Ukončí Zelvakon"),
                       QKeySequence(Qt::CTRL | Qt::Key_X), &TMainForm::ExitPrActExecute);
    BuildPrAct = action("BuildPrAct", QStringLiteral("&Sestavit..."),
                        QStringLiteral("Sestaví současný projekt a vygeneruje datový soubor pro Vorvanex"),
                        QKeySequence(Qt::Key_F9), &TMainForm::BuildPrActExecute);
    SetAct = action("SetAct", QStringLiteral("&Nastavení"), QString(), QKeySequence(), &TMainForm::SetActExecute);
    ShowHelpAct
        = action("ShowHelpAct", QStringLiteral("&Zobrazit nápovědu"), QStringLiteral("Zobrazí nápovědu k programu"),
                 QKeySequence(Qt::Key_F1), &TMainForm::ShowHelpActExecute);
    AboutAct = action("AboutAct", QStringLiteral("O &programu"), QStringLiteral("Zobrazí informace o programu"),
                      QKeySequence(), &TMainForm::AboutActExecute);

    // A null action stands for a separator.
    auto menu = [this](const char* name, const QString& caption, std::initializer_list<QAction*> actions) {
        QMenu* made = menuBar()->addMenu(caption);
        made->setObjectName(QLatin1String(name));
        for (QAction* act : actions) {
            if (act)
                made->addAction(act);
            else
                made->addSeparator();
        }
    };
    menu("SouborMenu", QStringLiteral("&Soubor"), {NewPrAct, OpenPrAct, SavePrAct, SavePrAsAct, nullptr, ExitPrAct});
    menu("ProjektMenu", QStringLiteral("&Projekt"), {BuildPrAct, nullptr, SetAct});
    menu("NapovedaMenu", QStringLiteral("&Nápověda"), {ShowHelpAct, nullptr, AboutAct});

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(client);
    client->setFixedSize(538, 299);
    Make<QFrame>(client, "Bevel1", 0, 0, 538, 2)->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    TabPages = Make<QTabWidget>(client, "TabPages", 0, 4, 537, 241);
    ProgramTab = new ProgramPage(Services, Windows);
    TabPages->addTab(ProgramTab, QStringLiteral("Program"));
    NfoTab = new ReadmePage(Services);
    TabPages->addTab(NfoTab, QStringLiteral("Nfo soubor"));
    MediaTab = new MediaPage(Services, Windows);
    TabPages->addTab(MediaTab, QStringLiteral("Hudba a obrázek"));
    Registry = new RegistryPage(Services, Windows);
    TabPages->addTab(Registry, QStringLiteral("Registry"));
    RunTab = new RunPage(Services.Dlg);
    TabPages->addTab(RunTab, QStringLiteral("Spustit po extrakci"));

    BuildBtn = Button(client, "BuildBtn", QStringLiteral("Sestavit..."), BuildPrAct->statusTip(), 8, 262, 97, 29);
    ExitBtn = Button(client, "ExitBtn", QStringLiteral("&Konec"), ExitPrAct->statusTip(), 433, 262, 97, 29);

    connect(BuildBtn, &QPushButton::clicked, BuildPrAct, &QAction::trigger);
    connect(ExitBtn, &QPushButton::clicked, ExitPrAct, &QAction::trigger);
    connect(BuildPrAct, &QAction::enabledChanged, BuildBtn, &QPushButton::setEnabled);
    BuildPrAct->setEnabled(false);  // and so the button
    for (ProjectPage* page : std::initializer_list<ProjectPage*>{ProgramTab, NfoTab, MediaTab, Registry, RunTab})
        connect(page, &ProjectPage::Changed, this, [this] { Modified = true; });
    connect(ProgramTab, &ProgramPage::BuildFieldsChanged, this,
            [this] { BuildPrAct->setEnabled(ProgramTab->CanBuild()); });
    connect(ProgramTab, &ProgramPage::FolderMeasured, this, [this] {
        // The wait window never takes the focus (typing goes on in the field), so the window system
        // has no activation to deliver: run it here, at the moment the wait window is gone.
        ActivatePending = true;
        if (isVisible())
            RunActivation();
    });
    new ControlMnemonics(this);
    setAcceptDrops(true);

    FormCreate();

    setFixedSize(sizeHint());
    CentreOnScreen(this, true);
}

void CreateForms(TMainForm* mainForm)
{
    Forms& forms = mainForm->Windows;
    Dialogs* dialogs = mainForm->Services.Dlg;
    forms.DirForm = new TDirForm(dialogs, mainForm);
    forms.KeyForm = new TKeyForm(dialogs, mainForm);
    forms.ValueForm = new TValueForm(dialogs, mainForm);
    forms.AreaForm = new TAreaForm(
        dialogs, [mainForm] { mainForm->OpenHelpTopic(QStringLiteral("NastKlikPloch")); }, mainForm);
    forms.PrevForm = new TPrevForm(dialogs, mainForm);
    forms.ProgressForm = new TProgressForm(mainForm);
    forms.ArchiveForm = new TArchiveForm(mainForm);
    forms.AboutDlg = new TAboutDlg(mainForm);
    forms.SetForm = new TSetForm(dialogs, forms.DirForm, mainForm);
}

void TMainForm::FormCreate()
{
    for (const char* name : {"Projekty", "Vystup", "Obrazky", "Hudba"}) {
        const QString folder = Paths::Join(Services.ProgramFolder, QLatin1String(name));
        if (!QFileInfo(folder).isDir())
            QDir().mkdir(folder);  // one level; a failure shows later, where the folder is used
    }
    SetProjectPath(Paths::Join(Paths::Join(Services.ProgramFolder, QStringLiteral("Projekty")), UntitledName));
    Vystup = Paths::Join(Services.ProgramFolder, QStringLiteral("Vystup"));
    // "Instal" at start-up but "Install" after New: the program has always differed here.
    JmenoInst = QStringLiteral("Instal");
    JmenoDat = QStringLiteral("Instal");
    HelpFile = Paths::Join(Services.HelpFolder(), QStringLiteral("Zelvakon.hlp"));  // installed with the program
    Modified = false;
    setWindowTitle(QStringLiteral("Zelvakon - ") + UntitledName);
}

bool TMainForm::event(QEvent* e)
{
    const bool handled = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate && ActivatePending)
        RunActivation();
    return handled;
}

void TMainForm::RunActivation()
{
    ActivatePending = false;
    Guarded(&TMainForm::FormActivate)();
    emit Activated();
}

void TMainForm::FormActivate()
{
    // The stored path is where a session starts from. Later activations (the folder measurement's
    // wait window going away) must not replace what the user typed or the opened project holds.
    if (!WinRarLoaded) {
        ProgramTab->SetWinRarPath(Services.Settings->LoadWinRarPath());
        WinRarLoaded = true;
    }
    TabPages->setCurrentIndex(0);
    Modified = false;
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    e->setAccepted(FormCloseQuery());
    if (e->isAccepted())
        FormClose();
}

bool TMainForm::FormCloseQuery()
{
    try {
        // A cancelled Save As cancels the close too: the edits are still nowhere but here.
        if (!SaveChangesFirst())
            return false;
    } catch (const ZelvakonError& error) {
        // The save went wrong and the user has not seen the project saved: stay open.
        Services.Dlg->ShowError(error.Message());
        return false;
    }
    // A build whose window was closed by its frame still writes its data file; quitting would throw
    // it away, so the user decides. Asked last, as stopping it cannot be taken back.
    TProgressForm* progress = Windows.ProgressForm;
    if (!progress || !progress->WorkerRunning())
        return true;
    if (Ask(*Services.Dlg, QStringLiteral("Sestavování ještě probíhá. Přerušit ho?")) != MsgAnswer::Yes)
        return false;
    progress->StopWorker();  // as its Zrušit does: the partial data file goes
    return true;
}

void TMainForm::FormClose()
{
    try {
        Services.Settings->StoreWinRarPath(ProgramTab->WinRarPath());
    } catch (const ZelvakonError& error) {
        // Shown once, and the program still ends: while the store cannot be written, refusing to
        // close would leave no way out.
        Services.Dlg->ShowError(error.Message());
    }
}

void TMainForm::ExitPrActExecute() { close(); }

void TMainForm::OpenHelpTopic(const QString& topic)
{
    if (Services.Help)
        Services.Help->OpenHelpTopic(HelpFile, topic);
}

void TMainForm::ShowHelpActExecute() { OpenHelpTopic(QStringLiteral("HlavniStrana")); }

void TMainForm::AboutActExecute() { Services.Dlg->RunModal(Windows.AboutDlg); }

void TMainForm::SetProjectPath(const QString& path)
{
    ProjectPath = path;
    ProjectFolder = Paths::FolderOf(path);
    ProgramTab->ProjectFolder = ProjectFolder;
}

void TMainForm::NewPrActExecute()
{
    if (!SaveChangesFirst())
        return;
    const Project blank;
    ProgramTab->Reset(Services.Settings->LoadWinRarPath());
    for (ProjectPage* page : std::initializer_list<ProjectPage*>{NfoTab, MediaTab, Registry, RunTab})
        page->Apply(blank);
    Vystup = Paths::Join(Services.ProgramFolder, QStringLiteral("Vystup"));
    JmenoDat = QStringLiteral("Install");  // not FormCreate's "Instal": both are the program's own
    JmenoInst = QStringLiteral("Install");
    TabPages->setCurrentIndex(0);
    setWindowTitle(QStringLiteral("Zelvakon - ") + UntitledName);
    SetProjectPath(Paths::Join(Paths::Join(Services.ProgramFolder, QStringLiteral("Projekty")), UntitledName));
    Modified = false;
}

bool TMainForm::SaveChangesFirst()
{
    ProgramTab->SettleFolderMeasurement();
    if (!Modified)
        return true;
    switch (Ask(*Services.Dlg,
                QStringLiteral("Projekt %1 byl změněn. Uložit změny?").arg(Paths::FileNameOf(ProjectPath)))) {
    case MsgAnswer::Cancel:
        return false;
    case MsgAnswer::Yes:
        // A failed save throws and so stops the command, and so does a cancelled Save As: going on
        // would drop the unsaved project.
        return SavePrActExecute();
    default:
        return true;
    }
}

void TMainForm::OpenPrActExecute()
{
    if (!SaveChangesFirst())
        return;
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít projekt...");
    options.Filter = QStringLiteral("Projektové soubory (*.zpf)|*.ZPF");
    options.InitialFolder = Paths::Join(Services.ProgramFolder, QStringLiteral("Projekty"));
    const std::optional<QString> path = Services.Dlg->OpenFile(options);
    if (!path || !AcceptPath(*Services.Dlg, *path))
        return;
    ReadProjectFile(*path);
}

void TMainForm::ReadProjectFile(const QString& path)
{
    // Every file is read before anything changes: a project that cannot be read whole is refused and
    // the open one stays as it was, so that no later save writes into the refused file or deletes the
    // side file that failed to load.
    Project project = ::ReadProjectFile(path);
    const QString folder = Paths::FolderOf(path);
    const QString regIni = Paths::Join(folder, RegIniName);
    std::optional<QByteArray> regIniBytes;
    if (QFileInfo(regIni).isFile())
        regIniBytes = ProfileFile::ReadFile(regIni);
    const QString readme = Paths::Join(folder, ReadmeNfoName);
    if (QFileInfo(readme).isFile())
        project.ReadmeText = LoadReadmeText(readme);

    SetProjectPath(path);
    setWindowTitle(QStringLiteral("Zelvakon - ") + Paths::FileNameOf(path));
    ApplyProject(project);
    if (regIniBytes)
        Registry->LoadRegIni(*regIniBytes, regIni);
    TabPages->setCurrentIndex(0);
    Modified = false;
}

bool TMainForm::SavePrActExecute()
{
    if (Paths::FileNameOf(ProjectPath).toLower() == QStringLiteral("bezejmena.zpf"))
        return SavePrAsActExecute();
    WriteProjectFile(ProjectPath);
    return true;
}

bool TMainForm::SavePrAsActExecute()
{
    FileDialogOptions options;
    options.Title = QStringLiteral("Uložit projekt jako");
    options.Filter = QStringLiteral("Zelvakon Project File (*.zpf)|*.ZPF");
    options.InitialFolder = Paths::Join(Services.ProgramFolder, QStringLiteral("Projekty"));
    options.FileName = SaveDialogFileName;
    options.MustExist = false;
    options.ConfirmOverwrite = true;
    // Added by the dialog itself, so that its overwrite question sees the name that is written.
    options.DefaultSuffix = QStringLiteral("zpf");
    const std::optional<QString> path = Services.Dlg->SaveFile(options);
    if (!path || !AcceptPath(*Services.Dlg, *path))
        return false;
    const QString name = Paths::FileNameOf(*path);
    if (name.compare(RegIniName, Qt::CaseInsensitive) == 0 || name.compare(ReadmeNfoName, Qt::CaseInsensitive) == 0) {
        // The save of the side file of that name would replace or delete the project file just written.
        Refuse(*Services.Dlg,
               QStringLiteral("Jméno %1 patří souboru, který se ukládá vedle projektu.\nZvolte prosím jiné jméno.")
                   .arg(name));
        return false;
    }
    SaveDialogFileName = name;
    WriteProjectFile(*path);
    return true;
}

void TMainForm::WriteProjectFile(const QString& path)
{
    ProgramTab->SettleFolderMeasurement();  // the size of a folder typed just now goes into the file
    SetProjectPath(path);
    const Project project = CollectProject();
    ::WriteProjectFile(path, project);
    const QString regIni = Paths::Join(ProjectFolder, RegIniName);
    if (project.Registry.HasKeysBelowRoots())
        Registry->SaveRegIni(regIni);
    else if (QFileInfo::exists(regIni))
        QFile::remove(regIni);
    const QString readme = Paths::Join(ProjectFolder, ReadmeNfoName);
    if (ReadmeLineCount(project.ReadmeText) > 0)
        SaveReadmeText(readme, project.ReadmeText);
    else if (QFileInfo::exists(readme))
        QFile::remove(readme);
    setWindowTitle(QStringLiteral("Zelvakon - ") + Paths::FileNameOf(path));
    Modified = false;
}

Project TMainForm::CollectProject() const
{
    Project p;
    for (ProjectPage* page : std::initializer_list<ProjectPage*>{ProgramTab, MediaTab, RunTab, Registry, NfoTab})
        page->Collect(p);
    p.Vystup = Vystup;
    p.JmenoInst = JmenoInst;
    p.JmenoDat = JmenoDat;
    return p;
}

void TMainForm::ApplyProject(const Project& p)
{
    // The order matters: ArchAdr measures the folder, and the stored DiskMisto then replaces that size.
    for (ProjectPage* page : std::initializer_list<ProjectPage*>{ProgramTab, MediaTab, RunTab, NfoTab, Registry})
        page->Apply(p);
    Vystup = p.Vystup;
    JmenoInst = p.JmenoInst;
    JmenoDat = p.JmenoDat;
}

void TMainForm::SetActExecute()
{
    const std::optional<OutputNames> names = Windows.SetForm->Execute({JmenoInst, JmenoDat, Vystup});
    if (!names)
        return;
    // Not a change that asks to be saved: these fields go out with the next save of the project.
    Vystup = Paths::StripTrailingBackslash(names->Folder);
    JmenoInst = names->Installer;
    JmenoDat = names->DataFile;
}

void TMainForm::OpenProjectFile(const QString& path)
{
    try {
        if (!SaveChangesFirst() || !AcceptPath(*Services.Dlg, path))
            return;
        // The open dialog lets only existing files through; a path from outside is checked here, and
        // only a regular file is read (a FIFO would block the window).
        const QFileInfo info(path);
        if (!info.exists())
            throw ZelvakonError(QStringLiteral("Soubor %1 neexistuje").arg(path));
        if (!info.isFile())
            throw ZelvakonError(QStringLiteral("%1 není soubor").arg(path));
        ReadProjectFile(path);
    } catch (const ZelvakonError& error) {
        Services.Dlg->ShowError(error.Message());
    }
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DraggedProject(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QString path = DraggedProject(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Not while the drag source waits for the drop to finish: the save question may come first.
    QMetaObject::invokeMethod(
        this, [this, path] { OpenProjectFile(path); }, Qt::QueuedConnection);
}
