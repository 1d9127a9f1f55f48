// Start-up time: from process start to the main window's first activation, median of 10 runs under the
// offscreen platform, beside a bare Qt window started the same way in the same run.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

static double MedianMs(const QString& program, const QString& workDir, int runs)
{
    std::vector<double> times;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ZELVAKON_QUIT_AFTER_ACTIVATION"), QStringLiteral("1"));
    env.insert(QStringLiteral("HOME"), workDir);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), workDir + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), workDir);
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(program, {});
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            std::fprintf(stderr, "%s did not end cleanly\n", qPrintable(program));
            return -1;
        }
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    QTemporaryDir programFolder;
    // A private copy of the program folder, so the benchmark leaves no working folders behind.
    QFile::copy(bin + QStringLiteral("/zelvakon"), programFolder.filePath(QStringLiteral("zelvakon")));
    const int runs = 10;
    const double bare = MedianMs(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_bare_window"),
                                 programFolder.path(), runs);
    const double zelvakon = MedianMs(programFolder.filePath(QStringLiteral("zelvakon")), programFolder.path(), runs);
    std::printf("start-up to first activation, median of %d runs (offscreen)\n", runs);
    std::printf("  bare Qt window: %8.1f ms\n", bare);
    std::printf("  zelvakon:       %8.1f ms\n", zelvakon);
    std::printf("  ratio:          %8.2f (target <= 1.5)\n", zelvakon / bare);
    return 0;
}
