// Start-up time: from process start to the main window's first activation, median of 10 runs under the
// offscreen platform, beside a bare Qt window started the same way in the same run. Each program says
// "activated" on its standard output at that moment; the time to the process's end is shown as well.
#include "BenchSupport.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <vector>

struct Run {
    double ActivatedMs = 0;
    double EndedMs = 0;
};

// One run from process start to its end; the program quits at its first activation.
static Run RunOnce(const QString& program, const QString& workDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ZELVAKON_QUIT_AFTER_ACTIVATION"), QStringLiteral("1"));
    env.insert(QStringLiteral("HOME"), workDir);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), workDir + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), workDir);
    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    Run run;
    QByteArray said;
    while (!said.contains("activated\n") && process.waitForReadyRead(30000))
        said += process.readAllStandardOutput();
    run.ActivatedMs = double(timer.nsecsElapsed()) / 1e6;
    if (!said.contains("activated\n") || !process.waitForFinished(30000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s did not say it was activated and end cleanly\n", qPrintable(program));
        std::exit(1);
    }
    run.EndedMs = double(timer.nsecsElapsed()) / 1e6;
    return run;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    QTemporaryDir programFolder;
    // A private copy of the program folder, so the benchmark leaves no working folders behind.
    QFile::copy(bin + QStringLiteral("/zelvakon"), programFolder.filePath(QStringLiteral("zelvakon")));
    const int runs = 10;
    const QString bareWindow = QCoreApplication::applicationDirPath() + QStringLiteral("/bench_bare_window");
    const QString program = programFolder.filePath(QStringLiteral("zelvakon"));
    // One unmeasured run of each: the first start makes the working folders and the settings file,
    // and both programs find their libraries in the page cache afterwards.
    RunOnce(bareWindow, programFolder.path());
    RunOnce(program, programFolder.path());
    // Alternated, so that a machine that speeds up or slows down during the run weighs on both alike,
    // and in the order A B B A, so that each program starts as often first as second. The scheduler
    // tends to put each new process on the other core than the one before, and the cores of a virtual
    // machine need not be equally fast: in plain A B pairs one program got the same core every time.
    std::vector<double> bareActivated, bareEnded, zelvakonActivated, zelvakonEnded;
    for (int i = 0; i < runs; ++i) {
        Run bare;
        Run zelvakon;
        if (i % 2 == 0) {
            bare = RunOnce(bareWindow, programFolder.path());
            zelvakon = RunOnce(program, programFolder.path());
        } else {
            zelvakon = RunOnce(program, programFolder.path());
            bare = RunOnce(bareWindow, programFolder.path());
        }
        bareActivated.push_back(bare.ActivatedMs);
        bareEnded.push_back(bare.EndedMs);
        zelvakonActivated.push_back(zelvakon.ActivatedMs);
        zelvakonEnded.push_back(zelvakon.EndedMs);
    }
    std::printf("start-up, median of %d alternated runs after one warm-up (offscreen)\n", runs);
    std::printf("                  to first activation   to process end\n");
    std::printf("  bare Qt window: %12.1f ms %14.1f ms\n", Median(bareActivated), Median(bareEnded));
    std::printf("  zelvakon:       %12.1f ms %14.1f ms\n", Median(zelvakonActivated), Median(zelvakonEnded));
    std::printf("  ratio:          %12.2f %17.2f   (target <= 2, to first activation)\n",
                Median(zelvakonActivated) / Median(bareActivated), Median(zelvakonEnded) / Median(bareEnded));
    return 0;
}
