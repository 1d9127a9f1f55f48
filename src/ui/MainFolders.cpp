#include "BuildChecks.h"
#include "Dir.h"
#include "DirSize.h"
#include "Dirsizedlg.h"
#include "Error.h"
#include "FunctionThread.h"
#include "Main.h"
#include "Paths.h"
#include "Settings.h"
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <utility>
#include <vector>

// The folder to pack with its size, the folder choosers, the settings dialog and the WinRAR file.

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
struct TMainForm::FolderMeasurement {
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

void TMainForm::SetupFolders()
{
    Dir2AddTimer = new QTimer(this);
    Dir2AddTimer->setSingleShot(true);
    Dir2AddTimer->setInterval(500);
    connect(Dir2AddTimer, &QTimer::timeout, this, Guarded(&TMainForm::Dir2AddTimerTimer));
    // A user's edit signals before the change itself, so the handler knows which kind it runs for.
    connect(Dir2AddEdit, &QLineEdit::textEdited, this, [this] { Dir2AddTyped = true; });
    connect(Dir2AddEdit, &QLineEdit::textChanged, this, Guarded(&TMainForm::Dir2AddEditChange));
    connect(Dir2AddBtn, &QToolButton::clicked, this, Guarded(&TMainForm::Dir2AddBtnClick));
    connect(TarDirBtn, &QToolButton::clicked, this, Guarded(&TMainForm::TarDirBtnClick));
    connect(SpeedButton3, &QToolButton::clicked, this, Guarded(&TMainForm::SpeedButton3Click));
}

void TMainForm::Dir2AddTimerTimer()
{
    if (Measuring)
        Dir2AddTimer->start();  // cannot happen while typing stops it, but never nest two
    else
        MeasureDir2Add();
}

void TMainForm::Dir2AddEditChange()
{
    const bool typed = std::exchange(Dir2AddTyped, false);
    UpdateBuildEnabled();
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

void TMainForm::SettleFolderMeasurement()
{
    if (Dir2AddTimer->isActive() && !Measuring) {
        Dir2AddTimer->stop();
        MeasureDir2Add();
    }
}

void TMainForm::MeasureDir2Add()
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
    // The wait window never takes the focus (typing goes on in the field), so the window system has
    // no activation to deliver: run it here, at the moment the wait window is gone, before the
    // change below. Had the system delivered one during hide(), event() has run it already.
    if (ActivatePending && isVisible())
        RunActivation();
    Modified = true;
}

std::optional<qint64> TMainForm::MeasureFolder(const QString& folder)
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

    const auto wait = std::make_unique<TDirSizeForm>(this);
    connect(wait.get(), &QDialog::rejected, &measurement.Loop, [&measurement] { measurement.Stop(); });
    QTimer tick;
    connect(&tick, &QTimer::timeout, wait.get(), [&wait, &walk] { wait->ShowFileCount(walk->Files); });
    tick.start(100);
    Measuring = &measurement;
    {
        MeasuringFilter filter(wait.get(), this, [&measurement] { measurement.Stop(); });
        wait->ShowPainted();
        if (!measurement.Done && !measurement.Stopped)
            measurement.Loop.exec();
    }
    Measuring = nullptr;
    // The main window counts as activated again when the wait window goes away, and that activation
    // runs FormActivate. Had the system delivered one during hide(), event() has run it already.
    ActivatePending = true;
    wait->hide();
    if (measurement.Stopped)
        return std::nullopt;  // the walk ends on its own, soon
    return walk->Total;
}

void TMainForm::StopFolderWalks()
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

void TMainForm::Dir2AddBtnClick()
{
    const std::optional<QString> folder = Windows.DirForm->Execute(QStringLiteral("Výběr adresáře k archivaci"));
    if (folder && AcceptPath(*folder))
        Dir2AddEdit->setText(*folder);
}

void TMainForm::TarDirBtnClick()
{
    const std::optional<QString> folder = Windows.DirForm->Execute(QStringLiteral("Výběr cílového adresáře"));
    if (folder && AcceptPath(*folder))
        TarDirEdit->setText(*folder);
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

void TMainForm::SpeedButton3Click()
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
    options.MustExist = true;
    const std::optional<QString> path = Services.Dlg->OpenFile(options);
    if (path && AcceptPath(*path))
        RAREdit->setText(*path);
}
