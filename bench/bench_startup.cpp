// Start-up time: from process start to the main window's first activation, median of 10 runs under the
// offscreen platform, beside a bare Qt window started the same way in the same run.
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

static double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// One run from process start to its end; the program quits at its first activation.
static double RunMs(const QString& program, const QString& workDir)
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
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s did not end cleanly\n", qPrintable(program));
        std::exit(1);
    }
    return double(timer.nsecsElapsed()) / 1e6;
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
    RunMs(bareWindow, programFolder.path());
    RunMs(program, programFolder.path());
    // Alternated, so that a machine that speeds up or slows down during the run weighs on both alike.
    std::vector<double> bareTimes, zelvakonTimes;
    for (int i = 0; i < runs; ++i) {
        bareTimes.push_back(RunMs(bareWindow, programFolder.path()));
        zelvakonTimes.push_back(RunMs(program, programFolder.path()));
    }
    const double bare = Median(bareTimes);
    const double zelvakon = Median(zelvakonTimes);
    std::printf("start-up to first activation, median of %d alternated runs after one warm-up (offscreen)\n", runs);
    std::printf("  bare Qt window: %8.1f ms\n", bare);
    std::printf("  zelvakon:       %8.1f ms\n", zelvakon);
    std::printf("  ratio:          %8.2f (target <= 1.5)\n", zelvakon / bare);
    return 0;
}
