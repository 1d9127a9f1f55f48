#pragma once
#include "ChildProcess.h"
#include "Datfile.h"
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <memory>
#include <optional>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

// The shape of the two windows a build runs its workers behind: a raised panel above a centred
// "Zrušit", the window centred on the screen at each showing.
class TWorkForm : public QDialog {
    Q_OBJECT
protected:
    TWorkForm(QWidget* parent, const char* name, const QString& title, QSize size, QRect panel);
    QPushButton* CancelButton(const char* name, int y);
    void showEvent(QShowEvent* event) override;

    QFrame* Panel;
};

// The progress window of a build. Showing it starts the data file writer; the writer reports here
// through DatFileProgress, on the GUI thread.
class TProgressForm : public TWorkForm, public DatFileProgress {
    Q_OBJECT
public:
    explicit TProgressForm(QWidget* parent = nullptr);
    ~TProgressForm() override;

    QLabel* ProjLabel = nullptr;
    QLabel* ProgLabel = nullptr;
    QProgressBar* ProgBar = nullptr;
    QPushButton* BitBtn = nullptr;

    // The main window hands over the next build before showing the window.
    void PrepareBuild(const QString& projectPath, DatFileInputs inputs);

    void FormActivate();
    void BitBtnClick();

    void ShowPartSize(qint32 partSize) override;
    void ShowProgress(const QString& status, qint32 position) override;
    void ThreadDone() override;

    bool WorkerRunning() const { return !Worker.isNull(); }
    // Asks a running writer to stop and waits, with the event loop running, until it has ended.
    void StopWorker();
    // A prepared build that never started gives up its inputs (and with them its data file's lock).
    void DiscardPending() { Pending.reset(); }

signals:
    void WorkerEnded();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPointer<TDatFileThread> Worker;
    QString ProjectPath;
    std::optional<DatFileInputs> Pending;
    bool StartedThisShowing = false;
};

// The archiver's window: shown modally while the archiver packs the folder on a thread of its own, so
// that the window keeps painting. It shows the elapsed time and the archive's size so far against the
// folder's, and "Zrušit" ends the archiver. It closes itself once the archiver has ended.
class TArchiveForm : public TWorkForm {
    Q_OBJECT
public:
    explicit TArchiveForm(QWidget* parent = nullptr);
    ~TArchiveForm() override;

    QLabel* FolderLabel = nullptr;
    QLabel* TimeLabel = nullptr;
    QLabel* SizeLabel = nullptr;
    QPushButton* CancelBtn = nullptr;

    // The main window hands over the next run before showing the window; showing it starts the run.
    void PrepareRun(const QString& archAdr, const QString& program, const QString& arguments,
                    const QString& projectFolder, qint64 folderKB);
    // How the archiver ended; nothing while it runs or when it never ran.
    std::optional<ChildExit> Outcome() const { return Exit; }
    void CancelBtnClick();
    // Ends a run still going (the window closed under it) and waits for it.
    void StopAndWait();

signals:
    void RunEnded();

public slots:
    void reject() override;  // Escape and the title bar: as "Zrušit" while the archiver runs

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Start();
    void ShowState();
    void RunDone();

    QString ArchAdr;
    QString Program;
    QString Arguments;
    QString ProjectFolder;
    qint64 FolderKB = 0;
    bool Pending = false;
    QThread* Worker = nullptr;
    std::shared_ptr<std::atomic<bool>> StopFlag;
    std::shared_ptr<ChildExit> WorkerExit;
    std::optional<ChildExit> Exit;
    QElapsedTimer Elapsed;
    QTimer Ticker;
};
