#include "ProgramPage.h"
#include "BuildChecks.h"
#include "Controls.h"
#include "Dir.h"
#include "Forms.h"
#include "FunctionThread.h"
#include "Guarded.h"
#include "KeyFilter.h"
#include "Project.h"
#include <QApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QThread>
#include <QTimer>
#include <functional>
#include <utility>

namespace {

// The walk's own state, shared with the thread so that a stopped walk may finish on its own.
struct SharedWalk : DirSizeWalk {
    qint64 Total = 0;
};

bool IsTextField(const QObject* object)
{
    return qobject_cast<const QLineEdit*>(object) || qobject_cast<const QPlainTextEdit*>(object);
}

// While the folder is measured the main window stays live for typing only: keys reach the text
// fields at once, keys meant for anything else and commands wait until the measurement is over, and
// clicks outside the wait window are dropped. So no command runs in the middle of a measurement and
// no key is lost. Escape stops the measurement.
class MeasuringFilter : public QObject {
public:
    MeasuringFilter(QWidget* waitWindow, QWidget* mainWindow, std::function<void()> stop)
        : WaitWindow(waitWindow), MainWindow(mainWindow), Stop(std::move(stop))
    {
        qApp->installEventFilter(this);
    }

    ~MeasuringFilter() override
    {
        qApp->removeEventFilter(this);
        // Delivered once the handler that measured has returned, in the order they came.
        for (auto& [receiver, event] : Held)
            if (receiver)
                QCoreApplication::postEvent(receiver, event.release());
        if (CloseHeld && MainWindow)
            QMetaObject::invokeMethod(MainWindow, &QWidget::close, Qt::QueuedConnection);
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() == QEvent::Shortcut)
            return Hold(receiver, event);
        // Window-level events reach the widgets next and are judged there.
        if (!receiver->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(receiver);
        if (WaitWindow && (widget == WaitWindow || WaitWindow->isAncestorOf(widget)))
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                Stop();
                return true;
            }
            [[fallthrough]];
        case QEvent::KeyRelease:
        case QEvent::InputMethod:
            return IsTextField(widget) ? false : Hold(receiver, event);
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        case QEvent::Close:
            if (widget != MainWindow)
                return false;
            CloseHeld = true;
            event->ignore();
            return true;
        default:
            return false;
        }
    }

private:
    bool Hold(QObject* receiver, QEvent* event)
    {
        Held.emplace_back(receiver, std::unique_ptr<QEvent>(event->clone()));
        return true;
    }

    QPointer<QWidget> WaitWindow;
    QPointer<QWidget> MainWindow;
    std::function<void()> Stop;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> Held;
    bool CloseHeld = false;
};

}  // namespace

// One measurement under way: its walk and the loop that waits for it.
struct ProgramPage::FolderMeasurement {
    std::shared_ptr<SharedWalk> Walk = std::make_shared<SharedWalk>();
    QEventLoop Loop;
    bool Done = false;
    bool Stopped = false;

    void Stop()
    {
        Stopped = true;
        Walk->Stop = true;
        Loop.quit();
    }
};

ProgramPage::ProgramPage(const AppServices& services, const Forms& windows) : Services(services), Windows(windows)
{
    setObjectName(QStringLiteral("ProgramPage"));
    auto* archGroup = Make<QGroupBox>(this, "GroupBox1", 4, 2, 523, 140);
    archGroup->setTitle(QStringLiteral("Archivovaný program:"));
    Label(archGroup, QStringLiteral("Název:"), 12, 24, "Label1");
    TitleEdit = Make<QLineEdit>(archGroup, "TitleEdit", 190, 20, 321, 22);
    Label(archGroup, QStringLiteral("Místo na disku:"), 12, 52, "Label2");
    SpaceEdit = Make<QLineEdit>(archGroup, "SpaceEdit", 190, 48, 97, 22);
    Label(archGroup, QStringLiteral("KB"), 292, 52, "Label3");
    Label(archGroup, QStringLiteral("Adresář k archivaci:"), 12, 80, "Label4");
    Dir2AddEdit = Make<QLineEdit>(archGroup, "Dir2AddEdit", 190, 76, 294, 22);
    QToolButton* dir2AddBtn = BrowseButton(archGroup, "Dir2AddBtn", 488, 76);
    Label(archGroup, QStringLiteral("Cílový adresář pro extrakci:"), 12, 108, "Label5");
    TarDirEdit = Make<QLineEdit>(archGroup, "TarDirEdit", 190, 104, 294, 22);
    QToolButton* tarDirBtn = BrowseButton(archGroup, "TarDirBtn", 488, 104);
    auto* rarGroup = Make<QGroupBox>(this, "GroupBox2", 4, 146, 523, 60);
    rarGroup->setTitle(QStringLiteral("Cesta ke spouštěcímu souboru WinRARa:"));
    Label(rarGroup, QStringLiteral("Spouštěcí soubor:"), 12, 28, "Label6");
    RAREdit = Make<QLineEdit>(rarGroup, "RAREdit", 190, 24, 294, 22);
    QToolButton* speedButton3 = BrowseButton(rarGroup, "SpeedButton3", 488, 24);

    // Every field refuses what Windows-1250 cannot hold; the disk space takes digits only.
    for (QLineEdit* edit : {TitleEdit, Dir2AddEdit, TarDirEdit, RAREdit})
        new KeyFilter(edit, Services.Dlg);
    new KeyFilter(SpaceEdit, Services.Dlg, [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    for (QLineEdit* edit : {TitleEdit, SpaceEdit, TarDirEdit, RAREdit})
        connect(edit, &QLineEdit::textChanged, this, &ProgramPage::TitleEditChange);
    Dir2AddTimer = new QTimer(this);
    Dir2AddTimer->setSingleShot(true);
    Dir2AddTimer->setInterval(500);
    connect(Dir2AddTimer, &QTimer::timeout, this, Guarded(this, Services.Dlg, &ProgramPage::Dir2AddTimerTimer));
    // A user's edit signals before the change itself, so the handler knows which kind it runs for.
    connect(Dir2AddEdit, &QLineEdit::textEdited, this, [this] { Dir2AddTyped = true; });
    connect(Dir2AddEdit, &QLineEdit::textChanged, this, Guarded(this, Services.Dlg, &ProgramPage::Dir2AddEditChange));
    connect(dir2AddBtn, &QToolButton::clicked, this, Guarded(this, Services.Dlg, &ProgramPage::Dir2AddBtnClick));
    connect(tarDirBtn, &QToolButton::clicked, this, Guarded(this, Services.Dlg, &ProgramPage::TarDirBtnClick));
    connect(speedButton3, &QToolButton::clicked, this, Guarded(this, Services.Dlg, &ProgramPage::SpeedButton3Click));
}

ProgramPage::~ProgramPage() { StopFolderWalks(); }

void ProgramPage::Apply(const Project& p)
{
    TitleEdit->setText(p.Nazev);
    Dir2AddEdit->setText(p.ArchAdr);
    SpaceEdit->setText(p.DiskMisto);
    TarDirEdit->setText(p.CilAdr);
    RAREdit->setText(p.WinRARExe);
}

void ProgramPage::Collect(Project& p) const
{
    p.Nazev = TitleEdit->text();
    p.DiskMisto = SpaceEdit->text();
    p.ArchAdr = Dir2AddEdit->text();
    p.CilAdr = TarDirEdit->text();
    p.WinRARExe = RAREdit->text();
}

void ProgramPage::Reset(const QString& winRarExe)
{
    // The space first: emptying a folder that was there writes "0" into it.
    TitleEdit->clear();
    SpaceEdit->clear();
    Dir2AddEdit->clear();
    TarDirEdit->clear();
    RAREdit->setText(winRarExe);
}

bool ProgramPage::CanBuild() const
{
    return !TitleEdit->text().isEmpty() && !SpaceEdit->text().isEmpty() && !Dir2AddEdit->text().isEmpty()
           && !RAREdit->text().isEmpty();
}

QString ProgramPage::WinRarPath() const { return RAREdit->text(); }

void ProgramPage::SetWinRarPath(const QString& path) { RAREdit->setText(path); }

void ProgramPage::TitleEditChange()
{
    emit BuildFieldsChanged();
    emit Changed();
}

void ProgramPage::Dir2AddTimerTimer()
{
    if (Measuring)
        Dir2AddTimer->start();  // cannot happen while typing stops it, but never nest two
    else
        MeasureDir2Add();
}

void ProgramPage::Dir2AddEditChange()
{
    const bool typed = std::exchange(Dir2AddTyped, false);
    emit BuildFieldsChanged();
    // A walk under way measures a text that is gone.
    if (Measuring)
        Measuring->Stop();
    // Typing /home/hry would measure /, then /home...: wait until the typing pauses. Anything else
    // (the chooser, opening a project) measures at once, as the stored size may follow.
    if (typed) {
        Dir2AddTimer->start();
        return;
    }
    Dir2AddTimer->stop();
    MeasureDir2Add();
}

void ProgramPage::SettleFolderMeasurement()
{
    if (Dir2AddTimer->isActive() && !Measuring) {
        Dir2AddTimer->stop();
        MeasureDir2Add();
    }
}

void ProgramPage::MeasureDir2Add()
{
    // A relative folder is measured where the build will pack it: below the project's folder.
    const QString folder = ResolveProjectPath(Dir2AddEdit->text(), ProjectFolder);
    if (!IsExistingFolder(folder)) {
        SpaceEdit->setText(QStringLiteral("0"));
        return;
    }
    // A stopped measurement leaves the size as it was.
    if (const std::optional<qint64> bytes = MeasureFolder(folder))
        SpaceEdit->setText(SizeInKBText(*bytes));
    emit FolderMeasured();  // before the change below, which the activation must not undo
    emit Changed();
}

std::optional<qint64> ProgramPage::MeasureFolder(const QString& folder)
{
    FolderMeasurement measurement;
    const std::shared_ptr<SharedWalk> walk = measurement.Walk;
    QThread* thread = new FunctionThread(
        [walk, folder, probe = FolderProbe] { walk->Total = GetDirSize(folder, probe, walk.get()); }, this);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, &measurement.Loop, [&measurement] {
        measurement.Done = true;
        measurement.Loop.quit();
    });
    std::erase_if(Walks, [](const RunningWalk& running) { return running.Thread.isNull(); });
    Walks.push_back({thread, walk});
    thread->start();

    const auto wait = std::make_unique<TDirSizeForm>(window());
    connect(wait.get(), &QDialog::rejected, &measurement.Loop, [&measurement] { measurement.Stop(); });
    QTimer tick;
    connect(&tick, &QTimer::timeout, wait.get(), [&wait, &walk] { wait->ShowFileCount(walk->Files); });
    tick.start(100);
    Measuring = &measurement;
    {
        MeasuringFilter filter(wait.get(), window(), [&measurement] { measurement.Stop(); });
        wait->ShowPainted();
        if (!measurement.Done && !measurement.Stopped)
            measurement.Loop.exec();
    }
    Measuring = nullptr;
    wait->hide();
    if (measurement.Stopped)
        return std::nullopt;  // the walk ends on its own, soon
    return walk->Total;
}

void ProgramPage::StopFolderWalks()
{
    for (RunningWalk& running : Walks) {
        running.Walk->Stop = true;
        if (QThread* thread = running.Thread) {
            thread->wait();
            delete thread;
        }
    }
    Walks.clear();
}

void ProgramPage::Dir2AddBtnClick()
{
    const std::optional<QString> folder = Windows.DirForm->Execute(QStringLiteral("Výběr adresáře k archivaci"));
    if (folder && AcceptPath(*Services.Dlg, *folder))
        Dir2AddEdit->setText(*folder);
}

void ProgramPage::TarDirBtnClick()
{
    const std::optional<QString> folder = Windows.DirForm->Execute(QStringLiteral("Výběr cílového adresáře"));
    if (folder && AcceptPath(*Services.Dlg, *folder))
        TarDirEdit->setText(*folder);
}

void ProgramPage::SpeedButton3Click()
{
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít spustitelný soubor WinRARa");
    options.Filter = QStringLiteral("Programy (*.exe, *.com, *.bat)|*.EXE;*.COM;*.BAT");
#ifdef Q_OS_WIN
    options.InitialFolder = QStringLiteral("C:");
#else
    // Programs here mostly have no extension; offer every file beside the Windows kinds.
    options.Filter += QStringLiteral("|Všechny soubory (*)|*");
    options.InitialFolder = QStringLiteral("/");
#endif
    const std::optional<QString> path = Services.Dlg->OpenFile(options);
    if (path && AcceptPath(*Services.Dlg, *path))
        RAREdit->setText(*path);
}
