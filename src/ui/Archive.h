#pragma once
#include "ChildProcess.h"
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class QThread;

// The archiver's window: shown modally while the archiver packs the folder on a thread of its own, so
// that the window keeps painting. It shows the elapsed time and the archive's size so far against the
// folder's, and "Zrušit" ends the archiver. It closes itself once the archiver has ended.
class TArchiveForm : public QDialog {
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
    bool Running() const { return Worker != nullptr; }
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
