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

void TMainForm::SetupBuild()
{
    // The command, its button and its shortcut are wired with the other commands; the progress window
    // is attached later with the other forms. Nothing else to set up.
}

void TMainForm::BuildPrActExecute()
{
    if (!BuildPrAct->isEnabled())
        return;
    // A writer left running (its window closed by the title bar) would meet the same archive and data
    // file: this build replaces them anyway, so stop it first.
    if (TProgressForm* progress = Windows.ProgressForm.IfCreated(); progress && progress->WorkerRunning())
        progress->StopWorker();

    std::optional<BuildMessage> refusal;
    try {
        refusal = CheckBuild(CollectProject(), ProjectFolder);
    } catch (const ZelvakonError& error) {
        Services.dialogs->ShowError(error.Message());
        return;
    }
    if (refusal) {
        Services.dialogs->MessageBox(refusal->Text, refusal->Title, refusal->Icon, MsgButtons::Ok);
        if (refusal->Page == BuildPage::MusicAndPicture)
            TabPages->setCurrentWidget(TabPages->findChild<QWidget*>(QStringLiteral("MediaPage")));
        return;
    }
    StartBuild();
}

void TMainForm::StartBuild()
{
    const Project project = CollectProject();
    RegIniStream = RegIniStreamOf(project.Registry);
    ReadmeStream.reset();
    if (ReadmeLineCount(project.ReadmeText) > 0)
        PrepareReadme();

    // The GUI thread waits for the archiver on purpose; paint what is pending first, take no input.
    const ArchiverStage stage = PackArchive(project, ProjectFolder, *ChildProcess::Make(), [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    if (stage.Stop) {
        // A build that stops here drops its side texts; the next build makes its own.
        RegIniStream.reset();
        ReadmeStream.reset();
        Services.dialogs->MessageBox(stage.Stop->Text, stage.Stop->Title, stage.Stop->Icon, MsgButtons::Ok);
        if (stage.StoppedAt == ArchiverStage::Step::Archiver)
            ExitBtn->setFocus();
        return;
    }

    DatFileInputs inputs = WriterInputs(project, ProjectFolder, Services.PartsFolderFor(QStringLiteral("Unrar.dll")),
                                        Services.PartsFolderFor(QStringLiteral("Vorvanex.exe")));
    inputs.ProgramFolder = ProgramFolder;
    // The writer takes the side texts over; this window keeps no reference to them.
    inputs.RegIniStream = std::move(RegIniStream);
    inputs.ReadmeStream = std::move(ReadmeStream);
    Windows.ProgressForm->PrepareBuild(ProjectPath, std::move(inputs));
    Services.dialogs->RunModal(Windows.ProgressForm);
    ExitBtn->setFocus();
}

void TMainForm::PrepareReadme()
{
    ReadmeStream = ReadmeStreamOf(ReadmeText());
}
