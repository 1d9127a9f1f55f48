#pragma once
#include "DirSize.h"
#include "Pages.h"
#include <QPointer>
#include <memory>
#include <optional>
#include <vector>

class QLineEdit;
class QThread;
class QTimer;

// Page "Program": the program to pack, its size, where it goes, and the archiver.
class ProgramPage : public ProjectPage {
    Q_OBJECT
public:
    ProgramPage(const AppServices& services, const Forms& windows);
    ~ProgramPage() override;
    // Through the change handlers; DiskMisto after ArchAdr, so the stored size replaces the measured one.
    void Apply(const Project& project) override;
    void Collect(Project& project) const override;
    void Reset(const QString& winRarExe);  // New: emptied in the order New has always used
    bool CanBuild() const;                 // every field the Build command needs is filled
    QString WinRarPath() const;
    void SetWinRarPath(const QString& path);
    void SettleFolderMeasurement();  // a measurement still waiting for the typing to pause runs now

    QString ProjectFolder;      // a relative folder to pack lies below it
    DirSizeProbe FolderProbe;   // passed to every walk (tests slow it down)

signals:
    void BuildFieldsChanged();
    void FolderMeasured();  // the wait window has gone away, so the main window counts as activated again

private:
    void TitleEditChange();
    void Dir2AddEditChange();
    void Dir2AddTimerTimer();  // the typing has paused
    void MeasureDir2Add();     // the field's folder into SpaceEdit, behind the wait window
    // Measures on another thread while the wait window shows; nothing when it was stopped.
    std::optional<qint64> MeasureFolder(const QString& folder);
    void StopFolderWalks();
    void Dir2AddBtnClick();
    void TarDirBtnClick();
    void SpeedButton3Click();

    struct FolderMeasurement;
    struct RunningWalk {
        QPointer<QThread> Thread;  // deletes itself when it ends
        std::shared_ptr<DirSizeWalk> Walk;
    };
    AppServices Services;
    const Forms& Windows;
    QLineEdit* TitleEdit;
    QLineEdit* SpaceEdit;
    QLineEdit* Dir2AddEdit;
    QLineEdit* TarDirEdit;
    QLineEdit* RAREdit;
    QTimer* Dir2AddTimer;         // typing measures once it pauses
    bool Dir2AddTyped = false;    // the change under way comes from the user's editing
    FolderMeasurement* Measuring = nullptr;
    std::vector<RunningWalk> Walks;
};
