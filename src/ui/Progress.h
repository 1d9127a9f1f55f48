#pragma once
#include "Datfile.h"
#include <QDialog>
#include <QPointer>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of a build. Showing it starts the data file writer; the writer reports here
// through DatFileProgress, on the GUI thread.
class TProgressForm : public QDialog, public DatFileProgress {
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
