// The window's front end of the build; the checks, the archiver's arguments and the writer's inputs
// come from the pipeline shared with zelvakon-cli.
#include "BuildPipeline.h"
#include "ChildProcess.h"
#include "Main.h"
#include "Pages.h"
#include "ProgramPage.h"
#include "Progress.h"
#include <QAction>
#include <QPushButton>
#include <QTabWidget>

// The Build command as the window shows it: the archiver behind its own modal window, which can stop
// it, every refusal in a message box, then the data file writer behind the progress window.

void TMainForm::BuildPrActExecute()
{
    ProgramTab->SettleFolderMeasurement();  // a folder typed just now is measured before the checks
    if (!BuildPrAct->isEnabled())
        return;
    // A writer left running (its window closed by the title bar) would meet the same archive and data
    // file: this build replaces them anyway, so stop it first.
    if (Windows.ProgressForm->WorkerRunning())
        Windows.ProgressForm->StopWorker();
    Windows.ProgressForm->DiscardPending();

    BuildFrontEnd frontEnd;
    frontEnd.RunArchiver = [this](const Project& project, const QString& arguments) {
        TArchiveForm* archive = Windows.ArchiveForm;
        archive->PrepareRun(project.ArchAdr, project.WinRARExe, arguments, ProjectFolder,
                            project.DiskMisto.toLongLong());
        Services.Dlg->RunModal(archive);
        // Whatever closed the window, the archiver does not run on behind the build.
        archive->StopAndWait();
        ChildExit stopped;
        stopped.Result = ChildExit::Kind::Stopped;  // the window closed before the run began
        return archive->Outcome().value_or(stopped);
    };
    PreparedBuild build = PrepareBuild(CollectProject(), {ProjectFolder, Services.PartsFolderList()}, frontEnd);
    if (const std::optional<BuildMessage>& stop = build.Stop) {
        Services.Dlg->MessageBox(stop->Text, stop->Title, stop->Icon, MsgButtons::Ok);
        if (stop->Page == BuildPage::MusicAndPicture)
            TabPages->setCurrentWidget(MediaTab);
        if (build.StoppedAt == PreparedBuild::Step::Archiver || build.StoppedAt == PreparedBuild::Step::Interrupted)
            ExitBtn->setFocus();
        return;
    }
    // The writer takes the side texts over; this window keeps no reference to them.
    Windows.ProgressForm->PrepareBuild(ProjectPath, std::move(build.Inputs));
    Services.Dlg->RunModal(Windows.ProgressForm);
    ExitBtn->setFocus();
}
