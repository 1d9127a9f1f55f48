#include "Archive.h"
#include "Archiver.h"
#include "FunctionThread.h"
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QThread>

TArchiveForm::TArchiveForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ArchiveForm"));
    setWindowTitle(QStringLiteral("Archivace"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(360, 128);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(4, 4, 352, 84);
    auto label = [panel](const char* name, int y) {
        auto* l = new QLabel(panel);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(10, y, 332, 20);
        return l;
    };
    FolderLabel = label("FolderLabel", 8);
    TimeLabel = label("TimeLabel", 32);
    SizeLabel = label("SizeLabel", 56);

    CancelBtn = new QPushButton(QStringLiteral("Zrušit"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry((360 - 75) / 2, 96, 75, 25);
    CancelBtn->setDefault(true);
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
    QDialog::showEvent(e);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
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
    SizeLabel->setText(
        QStringLiteral("Velikost archivu: %1 kB z %2 kB").arg(ArchiveKB(ProjectFolder)).arg(FolderKB));
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
