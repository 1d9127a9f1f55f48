#include "Progress.h"
#include "Archiver.h"
#include "Controls.h"
#include "FunctionThread.h"
#include "Paths.h"
#include <QEventLoop>
#include <QFrame>
#include <QKeyEvent>
#include <QProgressBar>

TWorkForm::TWorkForm(QWidget* parent, const char* name, const QString& title, QSize size, QRect panel) : QDialog(parent)
{
    SetUpDialog(this, name, size.width(), size.height());
    setWindowTitle(title);
    Panel = Make<QFrame>(this, "Panel1", panel.x(), panel.y(), panel.width(), panel.height());
    Panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
}

QPushButton* TWorkForm::CancelButton(const char* name, int y)
{
    QPushButton* button = Button(this, name, QStringLiteral("Zrušit"), QString(), (width() - 75) / 2, y, 75, 25);
    button->setDefault(true);
    return button;
}

void TWorkForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

TProgressForm::TProgressForm(QWidget* parent)
    : TWorkForm(parent, "ProgressForm", QStringLiteral("Průběh sestavování"), {334, 142}, {4, 4, 326, 98})
{
    auto sunken = [this](const char* name, int y, int height) {
        auto* label = Make<QLabel>(Panel, name, 8, y, 309, height);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setIndent(4);
        return label;
    };
    ProjLabel = sunken("ProjLabel", 6, 22);
    // Two lines: the longer failure texts wrap instead of being cut off.
    ProgLabel = sunken("ProgLabel", 32, 38);
    ProgLabel->setWordWrap(true);
    ProgBar = Make<QProgressBar>(Panel, "ProgBar", 8, 75, 309, 15);
    ProgBar->setValue(0);
    ProgBar->setTextVisible(false);
    BitBtn = CancelButton("BitBtn", 110);
    connect(BitBtn, &QPushButton::clicked, this, &TProgressForm::BitBtnClick);
}

TProgressForm::~TProgressForm()
{
    // The program is ending under a running writer: stop it and let it finish before the window goes.
    if (Worker) {
        TDatFileThread* worker = Worker;
        worker->Detach();
        worker->StopAndWait();
        delete worker;
    }
}

void TProgressForm::PrepareBuild(const QString& projectPath, DatFileInputs inputs)
{
    ProjectPath = projectPath;
    Pending.emplace(std::move(inputs));
}

bool TProgressForm::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(e);
}

void TProgressForm::showEvent(QShowEvent* e)
{
    TWorkForm::showEvent(e);
    StartedThisShowing = false;
    // Normally the activation starts the writer; a window manager that never activates us must not
    // leave the build waiting, so the first turn of the event loop does it too.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            FormActivate();
    });
}

void TProgressForm::FormActivate()
{
    // Once per showing: coming back from another program starts nothing.
    if (StartedThisShowing)
        return;
    StartedThisShowing = true;
    ProjLabel->setText(QStringLiteral("Projekt:     ") + Paths::FileNameOf(ProjectPath));
    ProgLabel->setText(QStringLiteral("Sestavuji..."));
    BitBtn->setText(QStringLiteral("Zrušit"));
    if (!Pending || Worker)
        return;
    DatFileInputs inputs = std::move(*Pending);
    Pending.reset();
    Worker = new TDatFileThread(std::move(inputs), this);
}

void TProgressForm::BitBtnClick()
{
    if (Worker)
        Worker->requestInterruption();
    reject();
}

void TProgressForm::keyPressEvent(QKeyEvent* e)
{
    // Escape is the button's own shortcut (it is the cancel button); the title bar's close is not.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        BitBtn->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TProgressForm::ShowPartSize(qint32 partSize)
{
    // An empty part would turn the bar into a busy indicator.
    ProgBar->setMaximum(qMax(partSize, 1));
}

void TProgressForm::ShowProgress(const QString& status, qint32 position)
{
    // Called once per chunk: set the values and let Qt repaint when it will.
    ProgLabel->setText(status);
    ProgBar->setValue(position);
}

void TProgressForm::ThreadDone()
{
    BitBtn->setText(QStringLiteral("Zavřít"));
    Worker.clear();
    emit WorkerEnded();
}

void TProgressForm::StopWorker()
{
    if (!Worker)
        return;
    QEventLoop loop;
    connect(this, &TProgressForm::WorkerEnded, &loop, &QEventLoop::quit);
    Worker->requestInterruption();
    if (Worker)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
}

TArchiveForm::TArchiveForm(QWidget* parent)
    : TWorkForm(parent, "ArchiveForm", QStringLiteral("Archivace"), {360, 128}, {4, 4, 352, 84})
{
    FolderLabel = Make<QLabel>(Panel, "FolderLabel", 10, 8, 332, 20);
    TimeLabel = Make<QLabel>(Panel, "TimeLabel", 10, 32, 332, 20);
    SizeLabel = Make<QLabel>(Panel, "SizeLabel", 10, 56, 332, 20);
    CancelBtn = CancelButton("CancelBtn", 96);
    connect(CancelBtn, &QPushButton::clicked, this, &TArchiveForm::CancelBtnClick);
    connect(&Ticker, &QTimer::timeout, this, &TArchiveForm::ShowState);
}

TArchiveForm::~TArchiveForm()
{
    // The program is ending under a running archiver: it must not outlive the program.
    if (Worker) {
        *StopFlag = true;
        Worker->wait();
        delete Worker;
    }
}

void TArchiveForm::PrepareRun(const QString& archAdr, const QString& program, const QString& arguments,
                              const QString& projectFolder, qint64 folderKB)
{
    ArchAdr = archAdr;
    Program = program;
    Arguments = arguments;
    ProjectFolder = projectFolder;
    FolderKB = folderKB;
    Pending = true;
    Exit.reset();
}

void TArchiveForm::showEvent(QShowEvent* e)
{
    TWorkForm::showEvent(e);
    Start();
}

void TArchiveForm::Start()
{
    if (!Pending || Worker)
        return;
    Pending = false;
    const QString text = QStringLiteral("Probíhá archivace složky %1…");
    // A long path is shortened in its middle: both its start and its last folder say which it is.
    const int room = FolderLabel->width() - FolderLabel->fontMetrics().horizontalAdvance(text.arg(QString()));
    FolderLabel->setText(text.arg(FolderLabel->fontMetrics().elidedText(ArchAdr, Qt::ElideMiddle, room)));
    CancelBtn->setEnabled(true);

    StopFlag = std::make_shared<std::atomic<bool>>(false);
    WorkerExit = std::make_shared<ChildExit>();
    std::shared_ptr<ChildProcess> process = ChildProcess::Make();
    Worker = new FunctionThread(
        [process, program = Program, arguments = Arguments, stop = StopFlag, exit = WorkerExit] {
            ChildWatch watch;
            watch.Tick = [stop] { return stop->load(); };
            *exit = process->Run(program, arguments, watch);
        },
        this);
    connect(Worker, &QThread::finished, this, &TArchiveForm::RunDone);
    Elapsed.start();
    ShowState();
    Ticker.start(250);
    Worker->start();
}

void TArchiveForm::ShowState()
{
    TimeLabel->setText(QStringLiteral("Uplynulý čas: %1").arg(ElapsedText(Elapsed.elapsed())));
    SizeLabel->setText(QStringLiteral("Velikost archivu: %1 kB z %2 kB").arg(ArchiveKB(ProjectFolder)).arg(FolderKB));
}

void TArchiveForm::RunDone()
{
    Ticker.stop();
    Worker->wait();
    Worker->deleteLater();
    Worker = nullptr;
    Exit = *WorkerExit;
    emit RunEnded();
    if (isVisible())
        done(Exit->Result == ChildExit::Kind::Stopped ? QDialog::Rejected : QDialog::Accepted);
}

void TArchiveForm::CancelBtnClick()
{
    if (!Worker) {
        QDialog::reject();
        return;
    }
    // The archiver gets its two seconds to end; the window closes when it has.
    *StopFlag = true;
    CancelBtn->setEnabled(false);
}

void TArchiveForm::reject() { CancelBtnClick(); }

void TArchiveForm::StopAndWait()
{
    if (!Worker)
        return;
    QEventLoop loop;
    connect(this, &TArchiveForm::RunEnded, &loop, &QEventLoop::quit);
    *StopFlag = true;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
