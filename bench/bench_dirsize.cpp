// Folder measurement against du: 100,000 small files in 1,000 folders, warm cache, median of several
// runs each, interleaved. Usage: bench_dirsize [parent folder of the scratch tree] [runs]
#include "BenchSupport.h"
#include "DirSize.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Folders = 1000;
constexpr int FilesPerFolder = 100;

qint64 RunDu(const QString& folder, double* ms)
{
    QProcess du;
    QElapsedTimer timer;
    timer.start();
    du.start(QStringLiteral("du"),
        {QStringLiteral("--apparent-size"), QStringLiteral("--block-size=1"), QStringLiteral("-s"), folder});
    if (!du.waitForFinished(600000) || du.exitCode() != 0) {
        std::fprintf(stderr, "du failed: %s\n", qPrintable(du.errorString()));
        std::exit(1);
    }
    *ms = double(timer.nsecsElapsed()) / 1e6;
    return du.readAllStandardOutput().split('\t').value(0).toLongLong();
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString parent = args.size() > 1 ? args[1] : QDir::tempPath();
    const int runs = args.size() > 2 ? qMax(1, args[2].toInt()) : 7;

    QTemporaryDir dir(parent + QStringLiteral("/bench_dirsize-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a scratch folder below %s\n", qPrintable(parent));
        return 1;
    }
    std::printf("tree: %d folders x %d files below %s\n", Folders, FilesPerFolder, qPrintable(dir.path()));
    std::fflush(stdout);
    QElapsedTimer making;
    making.start();
    qint64 fileBytes = 0;
    for (int f = 0; f < Folders; ++f) {
        const QString folder = dir.path() + QStringLiteral("/d%1").arg(f, 4, 10, QLatin1Char('0'));
        QDir().mkdir(folder);
        for (int i = 0; i < FilesPerFolder; ++i) {
            const int size = 1 + (f * 7 + i * 13) % 200;
            QFile file(folder + QStringLiteral("/file%1.txt").arg(i));
            if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(size, 'x')) != size) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
                return 1;
            }
            fileBytes += size;
        }
    }
    std::printf(
        "made in %.1f s; file bytes %lld\n", double(making.elapsed()) / 1000, static_cast<long long>(fileBytes));

    // Warm the cache with one run of each, then interleave the measured runs.
    double ms = 0;
    qint64 ours = GetDirSize(dir.path());
    qint64 duBytes = RunDu(dir.path(), &ms);
    std::vector<double> oursMs, duMs;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        ours = GetDirSize(dir.path());
        oursMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        duBytes = RunDu(dir.path(), &ms);
        duMs.push_back(ms);
    }
    const double oursMedian = Median(oursMs);
    const double duMedian = Median(duMs);
    std::printf("GetDirSize: %lld bytes (%s KB), median %.1f ms of %d runs\n", static_cast<long long>(ours),
        qPrintable(SizeInKBText(ours)), oursMedian, runs);
    std::printf(
        "du --apparent-size --block-size=1 -s: %lld bytes (folders' own sizes included), median %.1f ms of %d runs "
        "(process start included)\n",
        static_cast<long long>(duBytes), duMedian, runs);
    std::printf("ratio GetDirSize / du: %.2f (target at most 1.20)\n", oursMedian / duMedian);
    if (ours != fileBytes) {
        std::printf("MISMATCH: GetDirSize counted %lld bytes, the files hold %lld\n", static_cast<long long>(ours),
            static_cast<long long>(fileBytes));
        return 1;
    }
    return 0;
}
