#include "Progress.h"
#include "Paths.h"
#include <QEvent>
#include <QEventLoop>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

TProgressForm::TProgressForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowTitle(QStringLiteral("Průběh sestavování"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(334, 142);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(4, 4, 326, 98);

    auto sunken = [panel](const char* name, int y, int height) {
        auto* label = new QLabel(panel);
        label->setObjectName(QLatin1String(name));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setGeometry(8, y, 309, height);
        label->setIndent(4);
        return label;
    };
    ProjLabel = sunken("ProjLabel", 6, 22);
    // Two lines: the longer failure texts wrap instead of being cut off.
    ProgLabel = sunken("ProgLabel", 32, 38);
    ProgLabel->setWordWrap(true);
    ProgBar = new QProgressBar(panel);
    ProgBar->setObjectName(QStringLiteral("ProgBar"));
    ProgBar->setGeometry(8, 75, 309, 15);
    ProgBar->setRange(0, 100);
    ProgBar->setValue(0);
    ProgBar->setTextVisible(false);

    BitBtn = new QPushButton(QStringLiteral("Zrušit"), this);
    BitBtn->setObjectName(QStringLiteral("BitBtn"));
    BitBtn->setGeometry((334 - 75) / 2, 110, 75, 25);
    BitBtn->setDefault(true);
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
    QDialog::showEvent(e);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
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
