#include "Archiver.h"
#include "BuildPipeline.h"
#include "ChildProcess.h"
#include "Cli.h"
#include "Datfile.h"
#include "Error.h"
#include "Paths.h"
#include "ProgramFolders.h"
#include "Project.h"
#include "RegIni.h"
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <csignal>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// The Build command without a window: the project as Open reads it, the build prepared as the window
// prepares it, with the archiver's and the writer's progress on stderr, here on the main thread.

namespace Cli {

namespace {

// Set by the handler, read by the writer between chunks. The handler does nothing else.
volatile std::sig_atomic_t StopSignal = 0;

extern "C" void OnStopSignal(int signal) { StopSignal = signal; }

void CatchStopSignals()
{
#ifdef Q_OS_UNIX
    // Once only: a second Ctrl+C ends the program at once, should the writer hang in a write.
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#else
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
#endif
}

bool Stopped() { return StopSignal != 0; }

int Interrupted()
{
    const QString text = QStringLiteral("Sestavování bylo přerušeno.");
    if (Mode().Json)
        Failed(text);
    else
        Err(text);
    return ExitSignalBase + int(StopSignal);
}

// The progress window's lines on stderr: on a terminal one line rewritten in place (a bar per part, the
// archiver's time), else one line per step that appends something (as the window, a step that appends
// nothing never shows its line).
class ProgressLines {
public:
    ProgressLines(bool terminal, bool quiet) : Terminal(terminal), Quiet(quiet) {}
    ~ProgressLines() { Finish(); }

    // Ends the line rewritten in place.
    void Finish()
    {
        if (!Shown.isEmpty())
            ErrBytes("\n");
        Shown.clear();
    }

    void Show(const QString& text)
    {
        if (text == Shown)
            return;
        // Padded so that a shorter text covers the longer one before it.
        ErrBytes((QLatin1Char('\r') + text.leftJustified(Shown.size())).toUtf8());
        Shown = text;
    }

    void Line(const QString& text)
    {
        Finish();
        if (!Quiet)
            Err(text);
    }

    void PartSize(qint32 size)
    {
        Finish();
        Size = size;
        InPart = true;
    }

    void Progress(const QString& status, qint32 appended)
    {
        // A part's chunks report a positive count; the failure, stop and end lines report 0 and are
        // the outcome, which the command prints itself.
        if (!InPart || appended <= 0 || Quiet) {
            Finish();
            InPart = false;
            return;
        }
        if (!Terminal) {
            Err(status);
            InPart = false;
            return;
        }
        const int percent = Size > 0 ? int(qint64(appended) * 100 / Size) : 100;
        const int filled = percent * BarWidth / 100;
        const QString bar = QString(filled, QLatin1Char('#')) + QString(BarWidth - filled, QLatin1Char('.'));
        Show(QStringLiteral("%1 [%2] %3 %").arg(status, -34).arg(bar).arg(percent, 3));
        if (appended >= Size) {
            Finish();
            InPart = false;
        }
    }

private:
    static constexpr int BarWidth = 30;
    bool Terminal;
    bool Quiet;
    bool InPart = false;
    qint32 Size = 0;
    QString Shown;  // the line rewritten in place
};

}  // namespace

int Build(const QString& projectPath, const BuildOptions& options)
{
    CatchStopSignals();
    const QString projectFolder = Paths::FolderOf(projectPath);
    if (!QFileInfo(projectPath).isFile())
        return Failed(QStringLiteral("Projektový soubor %1 neexistuje.").arg(projectPath));
    Project project;
    try {
        // As Open reads it: the first section is the main one; Reg.ini and Readme.nfo beside it. The
        // stored DiskMisto stands; nothing is measured.
        project = ReadProjectFile(projectPath);
        const QString regIni = Paths::Join(projectFolder, RegIniName);
        if (QFileInfo(regIni).isFile())
            LoadRegIni(regIni, project.Registry);
        const QString readme = Paths::Join(projectFolder, ReadmeNfoName);
        if (QFileInfo(readme).isFile())
            project.ReadmeText = LoadReadmeText(readme);
    } catch (const ZelvakonError& error) {
        return Failed(StandardErrorText(error.Message()));
    }

    // The overrides stand in for the project's values, and the checks see them as they would the
    // project's own.
    const std::pair<const QString*, QString*> overrides[] = {{&options.WinRar, &project.WinRARExe},
                                                             {&options.Output, &project.Vystup},
                                                             {&options.InstallerName, &project.JmenoInst},
                                                             {&options.DataName, &project.JmenoDat}};
    for (const auto& [value, field] : overrides)
        if (!value->isEmpty())
            *field = *value;

#ifdef Q_OS_UNIX
    const bool terminal = isatty(STDERR_FILENO) == 1;
#else
    const bool terminal = false;
#endif
    ProgressLines lines(terminal, Mode().Quiet);
    lines.Line(QStringLiteral("Projekt:     ") + Paths::FileNameOf(projectPath));
    const BuildPlace place{projectFolder, options.ProgramFolder.isEmpty()
                                              ? ProgramFolders::ForRunningProgram().PartsFolders()
                                              : QStringList{options.ProgramFolder}};

    BuildFrontEnd frontEnd;
    frontEnd.StopRequested = [] { return Stopped(); };
    frontEnd.RunArchiver = [&](const Project& resolved, const QString& arguments) {
        lines.Line(QStringLiteral("Spouštím WinRAR..."));
        const std::unique_ptr<ChildProcess> archiver = ChildProcess::Make();
        if (options.Verbose)
            archiver->OutputSink = [](const QByteArray& bytes) { ErrBytes(bytes); };
        // Elapsed time and the archive's size: refreshed in place on a terminal, else a plain line every
        // few seconds (a log gets no flood from a run of many minutes). The archiver's own words stand
        // in for it when they are passed through.
        const bool quiet = Mode().Quiet || options.Verbose;
        constexpr qint64 PlainEveryMs = 5000;
        qint64 nextPlain = PlainEveryMs;
        QElapsedTimer clock;
        clock.start();
        ChildWatch watch;
        // A stop signal ends the archiver (asked, then killed after two seconds) before the build
        // ends: it never runs on without the build.
        watch.Tick = [&] {
            const qint64 elapsed = clock.elapsed();
            if (!quiet && (terminal || elapsed >= nextPlain)) {
                const QString text = QStringLiteral("Archivace: %1, archiv.rar %2 kB z %3 kB")
                                         .arg(ElapsedText(elapsed))
                                         .arg(ArchiveKB(projectFolder))
                                         .arg(resolved.DiskMisto);
                if (terminal)
                    lines.Show(text);
                else
                    Err(text);
                nextPlain = elapsed + PlainEveryMs;
            }
            return Stopped();
        };
        const ChildExit exit = archiver->Run(resolved.WinRARExe, arguments, watch);
        lines.Finish();
        return exit;
    };
    PreparedBuild build = PrepareBuild(std::move(project), place, frontEnd);
    using Step = PreparedBuild::Step;
    auto stopMessage = [&build] {
        return build.ProjectRefused() ? Refused(build.Stop->Title, build.Stop->Text) : Failed(build.Stop->Text);
    };
    // What was found wrong before a stop could take effect is the news.
    if (build.StoppedAt >= Step::Fields && build.StoppedAt <= Step::Lock)
        return stopMessage();
    // Ctrl+C on a terminal reaches the archiver too; the stop is the news, not its signal. What it
    // packed so far is no archive.
    if (Stopped()) {
        if (build.StoppedAt == Step::Archiver || build.StoppedAt == Step::None)
            QFile::remove(ArchivePath(projectFolder));
        return Interrupted();
    }
    if (build.Stop)
        return stopMessage();

    QString status;
    DatFileReport report;
    report.ShowPartSize = [&lines](qint32 size) { lines.PartSize(size); };
    report.ShowProgress = [&lines, &status](const QString& text, qint32 appended) {
        status = text;
        lines.Progress(text, appended);
    };
    report.StopRequested = [] { return Stopped(); };
    // No window to keep moving: 4 MiB chunks let the kernel copy a part in few calls (the window's
    // chunk meant a system call and a progress report per 40 KB), and Ctrl+C still stops the build
    // within milliseconds.
    report.ChunkBytes = qint64(4) << 20;
    DatFileWriter writer(std::move(build.Inputs), std::move(report));
    const DatFileOutcome outcome = writer.Execute();
    lines.Finish();  // a bar left open by a failure or a stop
    switch (outcome) {
    case DatFileOutcome::Done:
        if (Mode().Json)
            Json({{QStringLiteral("status"), QStringLiteral("done")},
                  {QStringLiteral("message"), status},
                  {QStringLiteral("data"), writer.DataFilePath()},
                  {QStringLiteral("installer"), writer.ExePath()}});
        else if (!Mode().Quiet)
            Out(status);  // "Hotovo."
        return ExitOk;
    case DatFileOutcome::Failed: {
        // "Chyba: " and the writer's message
        const QString prefix = QStringLiteral("Chyba: ");
        return Failed(status.startsWith(prefix) ? status.mid(prefix.size()) : status);
    }
    case DatFileOutcome::Cancelled:
        return Interrupted();
    }
    return ExitFailed;
}

}  // namespace Cli
