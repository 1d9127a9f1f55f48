#include "BuildPipeline.h"
#include "Archiver.h"
#include "ChildProcess.h"
#include "Error.h"
#include "ProgramFolders.h"
#include "Project.h"
#include <QFile>

bool PreparedBuild::ProjectRefused() const
{
    return StoppedAt == Step::Fields || StoppedAt == Step::Checks || StoppedAt == Step::WinRarName
           || StoppedAt == Step::Wine;
}

PreparedBuild PrepareBuild(Project project, const BuildPlace& place, const BuildFrontEnd& frontEnd)
{
    using Step = PreparedBuild::Step;
    PreparedBuild build;
    auto stopped = [&build](std::optional<BuildMessage> stop, Step step) {
        if (!stop)
            return false;
        build.Stop = std::move(stop);
        build.StoppedAt = step;
        return true;
    };
    ChildExit interrupted;
    interrupted.Result = ChildExit::Kind::Stopped;

    ResolveProjectPaths(project, place.ProjectFolder);
    if (stopped(CheckBuildFields(project), Step::Fields))
        return build;
    try {
        if (stopped(CheckBuild(project, place.ProjectFolder), Step::Checks))
            return build;
    } catch (const ZelvakonError& error) {
        // What the standard error box shows.
        stopped(BuildMessage{StandardErrorText(error.Message()), QStringLiteral("Zelvakon"), MsgIcon::Error,
                             BuildPage::None, 0},
                Step::Checks);
        return build;
    }
    // The parts and the hold on the data file before the archiver, which can take minutes.
    std::unique_ptr<DataFileLock> lock;
    if (stopped(CheckBuildParts(place.PartsFolders), Step::Parts) || stopped(LockDataFile(project, lock), Step::Lock))
        return build;
    if (frontEnd.StopRequested && frontEnd.StopRequested()) {
        stopped(ArchiverOutcome(interrupted), Step::Interrupted);
        return build;
    }
    // Dropped with the build when it stops before the writer takes them over.
    std::unique_ptr<QByteArray> regIniStream = RegIniStreamOf(project.Registry);
    std::unique_ptr<QByteArray> readmeStream = ReadmeStreamOf(project.ReadmeText);

    if (stopped(CheckWinRarName(project.WinRARExe), Step::WinRarName)
        || stopped(CheckWine(project.WinRARExe), Step::Wine)
        || stopped(RemoveOldArchive(place.ProjectFolder), Step::OldArchive))
        return build;
    const ChildExit exit = frontEnd.RunArchiver(project, ArchiverArguments(place.ProjectFolder, project.ArchAdr));
    const bool byRequest = exit.Result == ChildExit::Kind::Stopped;
    if (stopped(ArchiverOutcome(exit), byRequest ? Step::Interrupted : Step::Archiver)) {
        // What a stopped archiver packed so far is no archive.
        if (byRequest)
            QFile::remove(ArchivePath(place.ProjectFolder));
        return build;
    }

    DatFileInputs& inputs = build.Inputs;
    inputs.UnrarFolder = FolderHolding(place.PartsFolders, QStringLiteral("Unrar.dll"));
    inputs.ExtractorFolder = FolderHolding(place.PartsFolders, QStringLiteral("Vorvanex.exe"));
    inputs.ProjectFolder = place.ProjectFolder;
    inputs.RegIniStream = std::move(regIniStream);
    inputs.ReadmeStream = std::move(readmeStream);
    inputs.Lock = std::move(lock);
    inputs.Project = std::move(project);
    return build;
}
