#include "Main.h"
#include "About.h"
#include "Codec.h"
#include "Controls.h"
#include "Error.h"
#include "HelpViewer.h"
#include "KeyFilter.h"
#include "Mnemonics.h"
#include "MusicPlayer.h"
#include "Paths.h"
#include "ProfileFile.h"
#include "RegistryPage.h"
#include "Progress.h"
#include "SettingsStore.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>

TMainForm::TMainForm(const AppServices& services, QWidget* parent) : QMainWindow(parent), Services(services)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    // Commands shared by the menu and the buttons.
    auto action = [this](const char* name, const QString& caption, const QString& hint, const QKeySequence& key) {
        auto* act = new QAction(caption, this);
        act->setObjectName(QLatin1String(name));
        act->setStatusTip(hint);
        act->setShortcut(key);
        act->setShortcutContext(Qt::ApplicationShortcut);
        return act;
    };
    NewPrAct = action("NewPrAct", QStringLiteral("&Nový projekt..."), QStringLiteral("Vytvoří nový projekt"),
                      QKeySequence(Qt::CTRL | Qt::Key_N));
    OpenPrAct = action("OpenPrAct", QStringLiteral("&Otevřít projekt... "),
                       QStringLiteral("Otevře projekt ze souboru na disku"), QKeySequence(Qt::CTRL | Qt::Key_O));
    SavePrAct = action("SavePrAct", QStringLiteral("&Uložit projekt..."),
                       QStringLiteral("Uloží současný projekt do souboru na disk"), QKeySequence(Qt::CTRL | Qt::Key_S));
    SavePrAsAct = action("SavePrAsAct", QStringLiteral("Uložit projekt &jako..."),
                         QStringLiteral("Uloží současný projekt na disk pod zvoleným jménem"), QKeySequence());
    ExitPrAct = action("ExitPrAct", QStringLiteral("&Konec"), QStringLiteral("Ukončí Zelvakon"),
                       QKeySequence(Qt::CTRL | Qt::Key_X));
    BuildPrAct = action("BuildPrAct", QStringLiteral("&Sestavit..."),
                        QStringLiteral("Sestaví současný projekt a vygeneruje datový soubor pro Vorvanex"),
                        QKeySequence(Qt::Key_F9));
    SetAct = action("SetAct", QStringLiteral("&Nastavení"), QString(), QKeySequence());
    ShowHelpAct = action("ShowHelpAct", QStringLiteral("&Zobrazit nápovědu"),
                         QStringLiteral("Zobrazí nápovědu k programu"), QKeySequence(Qt::Key_F1));
    AboutAct = action("AboutAct", QStringLiteral("O &programu"), QStringLiteral("Zobrazí informace o programu"),
                      QKeySequence());
    BuildPrAct->setEnabled(false);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&Soubor"));
    file->setObjectName(QStringLiteral("SouborMenu"));
    file->addAction(NewPrAct);
    file->addAction(OpenPrAct);
    file->addAction(SavePrAct);
    file->addAction(SavePrAsAct);
    file->addSeparator();
    file->addAction(ExitPrAct);
    QMenu* proj = menuBar()->addMenu(QStringLiteral("&Projekt"));
    proj->setObjectName(QStringLiteral("ProjektMenu"));
    proj->addAction(BuildPrAct);
    proj->addSeparator();
    proj->addAction(SetAct);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Nápověda"));
    help->setObjectName(QStringLiteral("NapovedaMenu"));
    help->addAction(ShowHelpAct);
    help->addSeparator();
    help->addAction(AboutAct);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(client);
    client->setFixedSize(538, 299);
    auto* line = Make<QFrame>(client, "Bevel1", 0, 0, 538, 2);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    TabPages = Make<QTabWidget>(client, "TabPages", 0, 4, 537, 241);

    // Page "Program"
    auto* program = new QWidget;
    program->setObjectName(QStringLiteral("ProgramPage"));
    TabPages->addTab(program, QStringLiteral("Program"));
    auto* archGroup = Make<QGroupBox>(program, "GroupBox1", 4, 2, 523, 140);
    archGroup->setTitle(QStringLiteral("Archivovaný program:"));
    Label(archGroup, QStringLiteral("Název:"), 12, 24, "Label1");
    TitleEdit = Make<QLineEdit>(archGroup, "TitleEdit", 190, 20, 321, 22);
    Label(archGroup, QStringLiteral("Místo na disku:"), 12, 52, "Label2");
    SpaceEdit = Make<QLineEdit>(archGroup, "SpaceEdit", 190, 48, 97, 22);
    Label(archGroup, QStringLiteral("KB"), 292, 52, "Label3");
    Label(archGroup, QStringLiteral("Adresář k archivaci:"), 12, 80, "Label4");
    Dir2AddEdit = Make<QLineEdit>(archGroup, "Dir2AddEdit", 190, 76, 294, 22);
    Dir2AddBtn = BrowseButton(archGroup, "Dir2AddBtn", 488, 76);
    Label(archGroup, QStringLiteral("Cílový adresář pro extrakci:"), 12, 108, "Label5");
    TarDirEdit = Make<QLineEdit>(archGroup, "TarDirEdit", 190, 104, 294, 22);
    TarDirBtn = BrowseButton(archGroup, "TarDirBtn", 488, 104);
    auto* rarGroup = Make<QGroupBox>(program, "GroupBox2", 4, 146, 523, 60);
    rarGroup->setTitle(QStringLiteral("Cesta ke spouštěcímu souboru WinRARa:"));
    Label(rarGroup, QStringLiteral("Spouštěcí soubor:"), 12, 28, "Label6");
    RAREdit = Make<QLineEdit>(rarGroup, "RAREdit", 190, 24, 294, 22);
    SpeedButton3 = BrowseButton(rarGroup, "SpeedButton3", 488, 24);

    MakeOtherPages();

    BuildBtn = Button(client, "BuildBtn", QStringLiteral("Sestavit..."), BuildPrAct->statusTip(), 8, 262, 97, 29);
    ExitBtn = Button(client, "ExitBtn", QStringLiteral("&Konec"), ExitPrAct->statusTip(), 433, 262, 97, 29);
    BuildBtn->setEnabled(false);

    // Every one-line field refuses what Windows-1250 cannot hold; the disk space takes digits only.
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        new KeyFilter(edit, Services.Dlg, edit == SpaceEdit ? std::function<bool(QChar)>([](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        }) : std::function<bool(QChar)>());

    connect(NewPrAct, &QAction::triggered, this, Guarded(&TMainForm::NewPrActExecute));
    connect(OpenPrAct, &QAction::triggered, this, Guarded(&TMainForm::OpenPrActExecute));
    connect(SavePrAct, &QAction::triggered, this, Guarded(&TMainForm::SavePrActExecute));
    connect(SavePrAsAct, &QAction::triggered, this, Guarded(&TMainForm::SavePrAsActExecute));
    connect(ExitPrAct, &QAction::triggered, this, Guarded(&TMainForm::ExitPrActExecute));
    connect(BuildPrAct, &QAction::triggered, this, Guarded(&TMainForm::BuildPrActExecute));
    connect(SetAct, &QAction::triggered, this, Guarded(&TMainForm::SetActExecute));
    connect(ShowHelpAct, &QAction::triggered, this, Guarded(&TMainForm::ShowHelpActExecute));
    connect(AboutAct, &QAction::triggered, this, Guarded(&TMainForm::AboutActExecute));
    connect(BuildBtn, &QPushButton::clicked, BuildPrAct, &QAction::trigger);
    connect(ExitBtn, &QPushButton::clicked, ExitPrAct, &QAction::trigger);
    connect(BuildPrAct, &QAction::enabledChanged, BuildBtn, &QPushButton::setEnabled);
    for (QLineEdit* edit : {TitleEdit, SpaceEdit, TarDirEdit, RAREdit})
        connect(edit, &QLineEdit::textChanged, this, Guarded(&TMainForm::TitleEditChange));
    if (Services.Player)
        connect(Services.Player, &MusicPlayer::Notify, this, Guarded(&TMainForm::MusicPlayerNotify));

    SetupFolders();
    new ControlMnemonics(this);
    setAcceptDrops(true);

    FormCreate();

    // A fixed-size window, centred on the screen.
    setFixedSize(sizeHint());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TMainForm::~TMainForm() { StopFolderWalks(); }

void TMainForm::AttachForms(const Forms& forms)
{
    Windows = forms;
    Registry->AttachForms(forms.KeyForm, forms.ValueForm);
}

void TMainForm::FormCreate()
{
    ProgramFolder = Services.ProgramFolder;
    for (const char* name : {"Projekty", "Vystup", "Obrazky", "Hudba"}) {
        const QString folder = Paths::Join(ProgramFolder, QLatin1String(name));
        if (!QFileInfo(folder).isDir())
            QDir().mkdir(folder);  // one level; a failure shows later, where the folder is used
    }
    SetProjectPath(Paths::Join(Paths::Join(ProgramFolder, QStringLiteral("Projekty")), UntitledName));
    Vystup = Paths::Join(ProgramFolder, QStringLiteral("Vystup"));
    // "Instal" at start-up but "Install" after New: the program has always differed here.
    JmenoInst = QStringLiteral("Instal");
    JmenoDat = QStringLiteral("Instal");
    HelpFile = Paths::Join(Services.HelpFolder(), QStringLiteral("Zelvakon.hlp"));  // installed with the program
    Rozbal = Readme = Konec = ClickArea();
    Modified = false;
    setWindowTitle(QStringLiteral("Zelvakon - ") + UntitledName);
}

void TMainForm::MakeOtherPages()
{
    auto page = [this](const char* name, const QString& caption) {
        auto* widget = new QWidget;
        widget->setObjectName(QLatin1String(name));
        TabPages->addTab(widget, caption);
        return widget;
    };
    QWidget* nfoPage = page("NfoPage", QStringLiteral("Nfo soubor"));
    QWidget* mediaPage = page("MediaPage", QStringLiteral("Hudba a obrázek"));
    QWidget* runPage = page("RunPage", QStringLiteral("Spustit po extrakci"));

    // Page "Nfo soubor"
    auto* nfoGroup = Make<QGroupBox>(nfoPage, "GroupBox3", 4, 2, 420, 204);
    nfoGroup->setTitle(QStringLiteral("Soubor Readme.nfo:"));
    ReadMemo = Make<QPlainTextEdit>(nfoGroup, "ReadMemo", 8, 20, 404, 176);
    LoadBtn = Button(nfoPage, "LoadBtn", QStringLiteral("&Otevřít"), QStringLiteral("Otevře soubor Readme.nfo uložený na disku"),
                     432, 22, 95, 25);
    ClearBtn = Button(nfoPage, "ClearBtn", QStringLiteral("&Smazat řádky"), QStringLiteral("Smaže všechny napsané řádky"),
                      432, 54, 95, 25);
    ClearBtn->setEnabled(false);

    // Page "Hudba a obrázek"
    auto* musicGroup = Make<QGroupBox>(mediaPage, "GroupBox4", 4, 2, 523, 92);
    musicGroup->setTitle(QStringLiteral("Hudba na pozadí:"));
    Label(musicGroup, QStringLiteral("Jméno souboru:"), 12, 28, "Label8");
    BkMusicEdit = Make<QLineEdit>(musicGroup, "BkMusicEdit", 190, 24, 294, 22);
    BkMusicBtn = BrowseButton(musicGroup, "BkMusicBtn", 488, 24);
    TestBtn = Button(musicGroup, "TestBtn", QStringLiteral("&Test"), QStringLiteral("Začne přehrávat zvolený soubor s hudbou"),
                     190, 56, 75, 25);
    StopBtn = Button(musicGroup, "StopBtn", QStringLiteral("&Stop"), QStringLiteral("Ukončí přehrávání souboru s hudbou"),
                     272, 56, 75, 25);
    TestBtn->setEnabled(false);
    StopBtn->setEnabled(false);
    auto* skinGroup = Make<QGroupBox>(mediaPage, "GroupBox5", 4, 98, 523, 108);
    skinGroup->setTitle(QStringLiteral("Obrázek:"));
    Label(skinGroup, QStringLiteral("Jméno souboru s obrázkem:"), 12, 28, "Label9");
    SkinEdit = Make<QLineEdit>(skinGroup, "SkinEdit", 190, 24, 294, 22);
    SkinBtn = BrowseButton(skinGroup, "SkinBtn", 488, 24);
    SetBtn = Button(skinGroup, "SetBtn", QStringLiteral("&Nastavit klikací plochy"),
                    QStringLiteral("Nastaví plochy reagující na kliknutí myši na titulním obrázku"), 190, 60, 170, 25);
    PrevBtn = Button(skinGroup, "PrevBtn", QStringLiteral("Ná&hled"), QStringLiteral("Zobrazí hlavní obrázek"), 368, 60,
                     75, 25);
    SetBtn->setEnabled(false);
    PrevBtn->setEnabled(false);

    // Page "Registry", in its place among the others, also in the order of the Tab key.
    Registry = new RegistryPage(Services);
    TabPages->insertTab(3, Registry, QStringLiteral("Registry"));
    connect(Registry, &RegistryPage::Changed, this, [this] { Modified = true; });

    // Page "Spustit po extrakci"
    auto* runGroup = Make<QGroupBox>(runPage, "GroupBox6", 4, 2, 523, 150);
    runGroup->setTitle(QStringLiteral("Spuštění jiného programu po rozbalení:"));
    RunChBox = Make<QCheckBox>(runGroup, "RunChBox", 12, 22, 400, 20);
    RunChBox->setText(QStringLiteral("Po rozbalení spustit definovaný program"));
    ProgNameLabel = Label(runGroup, QStringLiteral("Název programu:"), 12, 56, "ProgNameLabel");
    ProgNameEdit = Make<QLineEdit>(runGroup, "ProgNameEdit", 130, 52, 381, 22);
    CmLineLabel = Label(runGroup, QStringLiteral("Příkazová řádka:"), 12, 88, "CmLineLabel");
    CmLineEdit = Make<QLineEdit>(runGroup, "CmLineEdit", 130, 84, 381, 22);
    AskChBox = Make<QCheckBox>(runGroup, "AskChBox", 12, 118, 300, 20);
    AskChBox->setText(QStringLiteral("Zeptat se na spuštění"));

    new KeyFilter(ReadMemo, Services.Dlg);
    for (QLineEdit* edit : std::initializer_list<QLineEdit*>{CmLineEdit, ProgNameEdit})
        connect(edit, &QLineEdit::textChanged, this, Guarded(&TMainForm::CmLineEditChange));
    connect(AskChBox, &QCheckBox::toggled, this, Guarded(&TMainForm::AskChBoxClick));
    connect(RunChBox, &QCheckBox::toggled, this, Guarded(&TMainForm::RunChBoxClick));
    SetupPresentation();

    RunChBoxClick();
}

bool TMainForm::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && ActivatePending) {
        const bool handled = QMainWindow::event(e);
        RunActivation();
        return handled;
    }
    return QMainWindow::event(e);
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
        RAREdit->setText(Services.Settings->LoadWinRarPath());
        WinRarLoaded = true;
    }
    TabPages->setCurrentIndex(0);
    Modified = false;
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    FormClose();
    e->accept();
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
    if (Services.Dlg->MessageBox(QStringLiteral("Sestavování ještě probíhá. Přerušit ho?"), QStringLiteral("Dotaz"),
                                 MsgIcon::Question, MsgButtons::YesNoCancel)
        != MsgAnswer::Yes)
        return false;
    progress->StopWorker();  // as its Zrušit does: the partial data file goes
    return true;
}

void TMainForm::FormClose()
{
    try {
        Services.Settings->StoreWinRarPath(RAREdit->text());
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

MsgAnswer TMainForm::AskToSaveChanges()
{
    return Services.Dlg->MessageBox(
        QStringLiteral("Projekt ") + Paths::FileNameOf(ProjectPath) + QStringLiteral(" byl změněn. Uložit změny?"),
        QStringLiteral("Dotaz"), MsgIcon::Question, MsgButtons::YesNoCancel);
}

void TMainForm::SetProjectPath(const QString& path)
{
    ProjectPath = path;
    ProjectFolder = Paths::FolderOf(path);
}

void TMainForm::UpdateBuildEnabled()
{
    BuildPrAct->setEnabled(!TitleEdit->text().isEmpty() && !SpaceEdit->text().isEmpty()
                           && !Dir2AddEdit->text().isEmpty() && !RAREdit->text().isEmpty());
}

void TMainForm::TitleEditChange()
{
    UpdateBuildEnabled();
    Modified = true;
}

void TMainForm::CmLineEditChange() { Modified = true; }

void TMainForm::AskChBoxClick() { Modified = true; }

void TMainForm::RunChBoxClick()
{
    const bool on = RunChBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{ProgNameLabel, ProgNameEdit, CmLineLabel, CmLineEdit, AskChBox})
        w->setEnabled(on);
    const QPalette::ColorRole role = on ? QPalette::Base : QPalette::Button;
    for (QLineEdit* edit : std::initializer_list<QLineEdit*>{ProgNameEdit, CmLineEdit}) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, QApplication::palette().color(role));
        edit->setPalette(palette);
    }
    Modified = true;
}

void TMainForm::NewPrActExecute() { ResetProject(); }

void TMainForm::ResetProject()
{
    if (!SaveChangesFirst())
        return;
    Rozbal = Readme = Konec = ClickArea();
    TitleEdit->clear();
    SpaceEdit->clear();
    Dir2AddEdit->clear();
    TarDirEdit->clear();
    RAREdit->setText(Services.Settings->LoadWinRarPath());
    ReadMemo->clear();
    BkMusicEdit->clear();
    SkinEdit->clear();
    Registry->Apply(Project());
    CmLineEdit->clear();
    ProgNameEdit->clear();
    RunChBox->setChecked(false);
    AskChBox->setChecked(false);
    Vystup = Paths::Join(ProgramFolder, QStringLiteral("Vystup"));
    JmenoDat = QStringLiteral("Install");  // not FormCreate's "Instal": both are the program's own
    JmenoInst = QStringLiteral("Install");
    TabPages->setCurrentIndex(0);
    setWindowTitle(QStringLiteral("Zelvakon - ") + UntitledName);
    SetProjectPath(Paths::Join(Paths::Join(ProgramFolder, QStringLiteral("Projekty")), UntitledName));
    Modified = false;
}

bool TMainForm::SaveChangesFirst()
{
    SettleFolderMeasurement();
    if (!Modified)
        return true;
    switch (AskToSaveChanges()) {
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

bool TMainForm::AcceptPath(const QString& path) { return ::AcceptPath(*Services.Dlg, path); }

void TMainForm::OpenPrActExecute()
{
    if (!SaveChangesFirst())
        return;
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít projekt...");
    options.Filter = QStringLiteral("Projektové soubory (*.zpf)|*.ZPF");
    options.InitialFolder = Paths::Join(ProgramFolder, QStringLiteral("Projekty"));
    options.MustExist = true;
    const std::optional<QString> path = Services.Dlg->OpenFile(options);
    if (!path || !AcceptPath(*path))
        return;
    ReadProjectFile(*path);
}

void TMainForm::ReadProjectFile(const QString& path)
{
    // Every file is read before anything changes: a project that cannot be read whole is refused and
    // the open one stays as it was, so that no later save writes into the refused file or deletes the
    // side file that failed to load.
    const Project project = ::ReadProjectFile(path);
    const QString folder = Paths::FolderOf(path);
    const QString regIni = Paths::Join(folder, RegIniName);
    std::optional<QByteArray> regIniBytes;
    if (QFileInfo(regIni).isFile())
        regIniBytes = ProfileFile::ReadFile(regIni);
    const QString readme = Paths::Join(folder, ReadmeNfoName);
    std::optional<QString> readmeText;
    if (QFileInfo(readme).isFile())
        readmeText = LoadReadmeText(readme);

    SetProjectPath(path);
    setWindowTitle(QStringLiteral("Zelvakon - ") + Paths::FileNameOf(path));
    ApplyProject(project);
    ReadMemo->clear();
    if (regIniBytes)
        Registry->LoadRegIni(*regIniBytes, regIni);
    if (readmeText)
        ReadMemo->setPlainText(ReadmeForMemo(*readmeText));
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
    options.InitialFolder = Paths::Join(ProgramFolder, QStringLiteral("Projekty"));
    options.FileName = SaveDialogFileName;
    options.MustExist = false;
    options.ConfirmOverwrite = true;
    // Added by the dialog itself, so that its overwrite question sees the name that is written.
    options.DefaultSuffix = QStringLiteral("zpf");
    const std::optional<QString> path = Services.Dlg->SaveFile(options);
    if (!path || !AcceptPath(*path))
        return false;
    const QString name = Paths::FileNameOf(*path);
    if (name.compare(RegIniName, Qt::CaseInsensitive) == 0 || name.compare(ReadmeNfoName, Qt::CaseInsensitive) == 0) {
        // The save of the side file of that name would replace or delete the project file just written.
        Services.Dlg->MessageBox(
            QStringLiteral("Jméno %1 patří souboru, který se ukládá vedle projektu.\nZvolte prosím jiné jméno.").arg(name),
            QStringLiteral("Chyba"), MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    SaveDialogFileName = name;
    WriteProjectFile(*path);
    return true;
}

void TMainForm::WriteProjectFile(const QString& path)
{
    SettleFolderMeasurement();  // the size of a folder typed just now goes into the file
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

QString TMainForm::ReadmeText() const
{
    // The memo holds lines; the project's text separates them with CR LF. The raw text keeps
    // no-break spaces (0xA0 in Windows-1250), which the plain text would turn into blanks.
    QString text = ReadMemo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return text;
}

QString TMainForm::ReadmeForMemo(const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return lines;
}

Project TMainForm::CollectProject() const
{
    Project p;
    p.Nazev = TitleEdit->text();
    p.DiskMisto = SpaceEdit->text();
    p.ArchAdr = Dir2AddEdit->text();
    p.CilAdr = TarDirEdit->text();
    p.WinRARExe = RAREdit->text();
    p.Hudba = BkMusicEdit->text();
    p.Obrazek = SkinEdit->text();
    p.SpustitPrg = RunChBox->isChecked();
    p.NazevProg = ProgNameEdit->text();
    p.PrikRadka = CmLineEdit->text();
    p.Zeptat = AskChBox->isChecked();
    p.Vystup = Vystup;
    p.JmenoInst = JmenoInst;
    p.JmenoDat = JmenoDat;
    p.Rozbal = Rozbal;
    p.Readme = Readme;
    p.Konec = Konec;
    Registry->Collect(p);
    p.ReadmeText = ReadmeText();
    return p;
}

void TMainForm::ApplyProject(const Project& p)
{
    // The order matters: ArchAdr measures the folder, and the stored DiskMisto then replaces that size.
    TitleEdit->setText(p.Nazev);
    Dir2AddEdit->setText(p.ArchAdr);
    SpaceEdit->setText(p.DiskMisto);
    TarDirEdit->setText(p.CilAdr);
    RAREdit->setText(p.WinRARExe);
    BkMusicEdit->setText(p.Hudba);
    SkinEdit->setText(p.Obrazek);
    RunChBox->setChecked(p.SpustitPrg);
    ProgNameEdit->setText(p.NazevProg);
    CmLineEdit->setText(p.PrikRadka);
    AskChBox->setChecked(p.Zeptat);
    Vystup = p.Vystup;
    JmenoInst = p.JmenoInst;
    JmenoDat = p.JmenoDat;
    Rozbal = p.Rozbal;
    Readme = p.Readme;
    Konec = p.Konec;
    Registry->Apply(p);
}
