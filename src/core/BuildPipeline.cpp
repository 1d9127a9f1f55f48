#include "BuildPipeline.h"
#include "Archiver.h"
#include "ChildProcess.h"
#include "Codec.h"
#include "Error.h"
#include "Paths.h"
#include "ProgramFolders.h"
#include "Project.h"
#include "RegIni.h"
#include "RegularFile.h"
#include <QFile>
#include <QFileInfo>

namespace {

// Each part the first of that name in the folders, checked before the archiver runs, which can take
// minutes: a regular file that starts like a Windows image.
std::optional<BuildMessage> CheckBuildParts(const QStringList& folders)
{
    for (const QString& name : {QStringLiteral("Unrar.dll"), QStringLiteral("Vorvanex.exe")}) {
        const QString path = Paths::Join(FolderHolding(folders, name), name);
        QFile file;
        const QString reason = OpenRegularFile(file, path);
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return BuildError(0, QStringLiteral("Soubor %1 nebyl nalezen. Hledán byl v adresářích:\n  %2")
                                     .arg(name, folders.join(QStringLiteral("\n  "))));
        if (!reason.isEmpty())
            return BuildError(0, QStringLiteral("Soubor %1 nelze otevřít: %2.").arg(path, reason));
        if (file.read(2) != "MZ")
            return BuildError(
                0, QStringLiteral("Soubor %1 není spustitelný soubor Windows (nezačíná znaky MZ).").arg(path));
    }
    return std::nullopt;
}

}  // namespace

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
    if (stopped(CheckBuildParts(place.PartsFolders), Step::Parts))
        return build;
    const QString dataFile = DataFilePathOf(project.Vystup, project.JmenoDat);
    std::unique_ptr<DataFileLock> lock = TakeDataFileLock(dataFile);
    if (!lock) {
        stopped(BuildError(0, QStringLiteral("Datový soubor %1 právě zapisuje jiné sestavování.\nPočkejte, až skončí, "
                                             "a sestavte projekt znovu.")
                                  .arg(dataFile)),
                Step::Lock);
        return build;
    }
    if (frontEnd.StopRequested && frontEnd.StopRequested()) {
        ChildExit interrupted;
        interrupted.Result = ChildExit::Kind::Stopped;
        stopped(ArchiverOutcome(interrupted), Step::Interrupted);
        return build;
    }
    // The Reg.ini text when the registry holds keys below its roots, the readme when it has a line;
    // dropped with the build when it stops before the writer takes them over.
    std::unique_ptr<QByteArray> regIniStream, readmeStream;
    if (project.Registry.HasKeysBelowRoots())
        regIniStream = std::make_unique<QByteArray>(BuildRegIniStream(project.Registry));
    if (ReadmeLineCount(project.ReadmeText) != 0)
        readmeStream = std::make_unique<QByteArray>(Codec::ToWin1250(project.ReadmeText));

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
