#include "Archiver.h"
#include "BuildChecks.h"
#include "ChildProcess.h"
#include "Codec.h"
#include "Error.h"
#include "Main.h"
#include "Progress.h"
#include <QAction>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include "RegIni.h"

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
    if (Windows.ProgressForm && Windows.ProgressForm->WorkerRunning())
        Windows.ProgressForm->StopWorker();

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
    RegIniStream.reset();
    ReadmeStream.reset();
    if (Registry.HasKeysBelowRoots())
        RegIniStream = std::make_unique<QByteArray>(BuildRegIniStream(Registry));
    if (ReadmeLineCount(ReadmeText()) > 0)
        PrepareReadme();

    const Project project = CollectProject();
    const QString commandLine = ArchiverCommandLine(project.WinRARExe, ProjectFolder, project.ArchAdr);
    // A build that stops here drops its side texts; the next build makes its own.
    auto refuse = [this](const BuildMessage& m) {
        RegIniStream.reset();
        ReadmeStream.reset();
        Services.dialogs->MessageBox(m.Text, m.Title, m.Icon, MsgButtons::Ok);
    };
    std::optional<BuildMessage> stop = CheckWinRarName(project.WinRARExe);
    if (!stop)
        stop = RemoveOldArchive(ProjectFolder);
    if (stop) {
        refuse(*stop);
        return;
    }
    // The GUI thread waits for the archiver on purpose; paint what is pending first, take no input.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    stop = RunArchiver(*ChildProcess::Make(), commandLine);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (stop) {
        refuse(*stop);
        ExitBtn->setFocus();
        return;
    }

    DatFileInputs inputs;
    inputs.ProgramFolder = ProgramFolder;
    inputs.ProjectFolder = ProjectFolder;
    inputs.Nazev = project.Nazev;
    inputs.DiskMisto = project.DiskMisto;
    inputs.CilAdr = project.CilAdr;
    inputs.Obrazek = project.Obrazek;
    inputs.Hudba = project.Hudba;
    inputs.NazevProg = project.NazevProg;
    inputs.PrikRadka = project.PrikRadka;
    inputs.Vystup = project.Vystup;
    inputs.JmenoInst = project.JmenoInst;
    inputs.JmenoDat = project.JmenoDat;
    inputs.Zeptat = project.Zeptat;
    inputs.SpustitPrg = project.SpustitPrg;
    inputs.Rozbal = project.Rozbal;
    inputs.Readme = project.Readme;
    inputs.Konec = project.Konec;
    // The writer takes the side texts over; this window keeps no reference to them.
    inputs.RegIniStream = std::move(RegIniStream);
    inputs.ReadmeStream = std::move(ReadmeStream);
    Windows.ProgressForm->PrepareBuild(ProjectPath, std::move(inputs));
    Services.dialogs->RunModal(Windows.ProgressForm);
    ExitBtn->setFocus();
}

void TMainForm::PrepareReadme()
{
    ReadmeStream = std::make_unique<QByteArray>(Codec::ToWin1250(ReadmeText()));
}
