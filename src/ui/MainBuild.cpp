#include "Archive.h"
#include "Archiver.h"
#include "BuildChecks.h"
#include "ChildProcess.h"
#include "Error.h"
#include "Main.h"
#include "Progress.h"
#include <QAction>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

// The Build command: checks, archiver run, data file writer.

void TMainForm::BuildPrActExecute()
{
    SettleFolderMeasurement();  // a folder typed just now is measured before the checks
    if (!BuildPrAct->isEnabled())
        return;
    // A writer left running (its window closed by the title bar) would meet the same archive and data
    // file: this build replaces them anyway, so stop it first.
    if (Windows.ProgressForm->WorkerRunning())
        Windows.ProgressForm->StopWorker();
    Windows.ProgressForm->DiscardPending();

    std::optional<BuildMessage> refusal;
    try {
        Project project = CollectProject();
        ResolveProjectPaths(project, ProjectFolder);
        refusal = CheckBuild(project, ProjectFolder);
    } catch (const ZelvakonError& error) {
        Services.Dlg->ShowError(error.Message());
        return;
    }
    if (refusal) {
        Services.Dlg->MessageBox(refusal->Text, refusal->Title, refusal->Icon, MsgButtons::Ok);
        if (refusal->Page == BuildPage::MusicAndPicture)
            TabPages->setCurrentWidget(TabPages->findChild<QWidget*>(QStringLiteral("MediaPage")));
        return;
    }
    StartBuild();
}

void TMainForm::StartBuild()
{
    Project project = CollectProject();
    ResolveProjectPaths(project, ProjectFolder);
    // The parts and the hold on the data file before the archiver, which can take minutes.
    std::unique_ptr<DataFileLock> lock;
    std::optional<BuildMessage> refusal = CheckBuildParts(Services.PartsFolderList());
    if (!refusal)
        refusal = LockDataFile(project, lock);
    if (refusal) {
        Services.Dlg->MessageBox(refusal->Text, refusal->Title, refusal->Icon, MsgButtons::Ok);
        return;
    }
    RegIniStream = RegIniStreamOf(project.Registry);
    ReadmeStream.reset();
    if (ReadmeLineCount(project.ReadmeText) > 0)
        PrepareReadme();

    ArchiverStage stage = PrepareArchive(project, ProjectFolder);
    if (!stage.Stop) {
        // The archiver runs behind its own modal window, which can stop it.
        TArchiveForm* archive = Windows.ArchiveForm;
        archive->PrepareRun(project.ArchAdr, project.WinRARExe, ArchiverArguments(ProjectFolder, project.ArchAdr),
                            ProjectFolder, project.DiskMisto.toLongLong());
        Services.Dlg->RunModal(archive);
        // Whatever closed the window, the archiver does not run on behind the build.
        archive->StopAndWait();
        ChildExit stopped;
        stopped.Result = ChildExit::Kind::Stopped;  // the window closed before the run began
        stage = ArchiverEnded(archive->Outcome().value_or(stopped), ProjectFolder);
    }
    if (stage.Stop) {
        // A build that stops here drops its side texts; the next build makes its own.
        RegIniStream.reset();
        ReadmeStream.reset();
        Services.Dlg->MessageBox(stage.Stop->Text, stage.Stop->Title, stage.Stop->Icon, MsgButtons::Ok);
        if (stage.StoppedAt == ArchiverStage::Step::Archiver || stage.StoppedAt == ArchiverStage::Step::Interrupted)
            ExitBtn->setFocus();
        return;
    }

    DatFileInputs inputs = WriterInputs(project, ProjectFolder, Services.PartsFolderFor(QStringLiteral("Unrar.dll")),
                                        Services.PartsFolderFor(QStringLiteral("Vorvanex.exe")));
    inputs.ProgramFolder = ProgramFolder;
    // The writer takes the side texts over; this window keeps no reference to them.
    inputs.RegIniStream = std::move(RegIniStream);
    inputs.ReadmeStream = std::move(ReadmeStream);
    inputs.Lock = std::move(lock);
    Windows.ProgressForm->PrepareBuild(ProjectPath, std::move(inputs));
    Services.Dlg->RunModal(Windows.ProgressForm);
    ExitBtn->setFocus();
}

void TMainForm::PrepareReadme()
{
    ReadmeStream = ReadmeStreamOf(ReadmeText());
}
