// Data file writer throughput against `cat`, with a 1 GiB archive and a warm page cache.
//   cat: `cat archiv.rar Unrar.dll > out` (the reference)
//   (a): the core writer alone, with a progress callback that does nothing
//   (b): the real TDatFileThread, one blocking call per chunk into a running GUI event loop (offscreen)
//        that updates the real progress window
// Each is run several times, interleaved; the median is reported. Peak memory is the process's peak
// resident set during a run above its resident set before it (/proc/self/clear_refs resets the peak).
//
// Usage: bench_datfile [archive MiB, default 1024] [rounds, default 5]
#include "BenchSupport.h"
#include "DatFormat.h"
#include "Datfile.h"
#include "Progress.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

// Processor time of this process and its waited-for children: less disturbed by other load than wall time.
double CpuSeconds()
{
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                 + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

struct Sample {
    double Seconds = 0;
    double Cpu = 0;
    qint64 PeakAboveIdleKiB = 0;
};

template <typename Run>
Sample Measure(Run run)
{
    // Every run starts with no dirty pages of an earlier one waiting to be written back.
    ::sync();
    const qint64 idle = StatusKiB("VmRSS");
    ResetPeak();
    const double cpu = CpuSeconds();
    QElapsedTimer timer;
    timer.start();
    run();
    Sample s;
    s.Seconds = double(timer.nsecsElapsed()) / 1e9;
    s.Cpu = CpuSeconds() - cpu;
    s.PeakAboveIdleKiB = StatusKiB("VmHWM") - idle;
    return s;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 mib = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1024;
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 5;

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bench_datfile-XXXXXX"));
    const QString folder = dir.path();
    const QString master = folder + QStringLiteral("/master.rar");
    const QString archive = folder + QStringLiteral("/archiv.rar");
    const QString unrar = folder + QStringLiteral("/Unrar.dll");
    const QString output = folder + QStringLiteral("/out");
    QDir().mkpath(output);

    // Incompressible data, written once; the writer deletes archiv.rar on success, so each run gets a
    // fresh hard link to the same (cached) pages.
    {
        if (!WriteIncompressible(master, mib)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(master));
            return 1;
        }
        QFile dll(unrar);
        dll.open(QIODevice::WriteOnly);
        dll.write(QByteArray(300000, '\x5a'));
        QFile exe(folder + QStringLiteral("/Vorvanex.exe"));
        exe.open(QIODevice::WriteOnly);
        exe.write("MZ stand-in extractor");
    }
    auto freshArchive = [&] {
        QFile::remove(archive);
        return ::link(qPrintable(master), qPrintable(archive)) == 0;
    };
    if (!freshArchive()) {
        std::fprintf(stderr, "cannot hard-link the archive\n");
        return 1;
    }
    const qint64 archiveBytes = QFileInfo(master).size();
    const qint64 totalBytes = archiveBytes + QFileInfo(unrar).size();
    const qint64 chunks = (archiveBytes + DatFormat::ChunkSize - 1) / DatFormat::ChunkSize
                          + (QFileInfo(unrar).size() + DatFormat::ChunkSize - 1) / DatFormat::ChunkSize;

    auto inputs = [&] {
        DatFileInputs in;
        in.UnrarFolder = in.ExtractorFolder = folder;
        in.ProjectFolder = folder;
        in.Project.Nazev = QStringLiteral("Benchmark");
        in.Project.DiskMisto = QStringLiteral("1048576");
        in.Project.CilAdr = QStringLiteral("C:\\Bench");
        in.Project.Vystup = output;
        in.Project.JmenoDat = QStringLiteral("Instal");
        in.Project.JmenoInst = QStringLiteral("Instal");
        return in;
    };
    const QString dat = output + QStringLiteral("/Instal.dat");
    const QString catOut = output + QStringLiteral("/cat.out");

    auto runCat = [&] {
        QProcess cat;
        cat.setStandardOutputFile(catOut);
        cat.start(QStringLiteral("cat"), {archive, unrar});
        cat.waitForFinished(-1);
    };
    auto runCore = [&] {
        DatFileReport report;
        report.ShowPartSize = [](qint32) {};
        report.ShowProgress = [](const QString&, qint32) {};
        DatFileWriter writer(inputs(), report);
        if (writer.Execute() != DatFileOutcome::Done)
            std::fprintf(stderr, "core writer failed\n");
    };
    TProgressForm form;
    auto runThread = [&] {
        form.PrepareBuild(folder + QStringLiteral("/bench.zpf"), inputs());
        QEventLoop loop;
        QObject::connect(&form, &TProgressForm::WorkerEnded, &loop, &QEventLoop::quit);
        form.show();
        loop.exec();
        if (form.ProgLabel->text() != QStringLiteral("Hotovo."))
            std::fprintf(stderr, "thread writer ended with: %s\n", qPrintable(form.ProgLabel->text()));
        form.hide();
    };

    // Warm the cache and every code path once.
    runCat();
    QFile::remove(catOut);

    std::vector<double> catTimes, coreTimes, threadTimes, catCpu, coreCpu, threadCpu;
    qint64 corePeak = 0, threadPeak = 0, catPeak = 0;
    for (int round = 0; round < rounds; ++round) {
        Sample s = Measure(runCat);
        catTimes.push_back(s.Seconds);
        catCpu.push_back(s.Cpu);
        catPeak = std::max(catPeak, s.PeakAboveIdleKiB);
        QFile::remove(catOut);

        s = Measure(runCore);
        coreTimes.push_back(s.Seconds);
        coreCpu.push_back(s.Cpu);
        corePeak = std::max(corePeak, s.PeakAboveIdleKiB);
        if (QFileInfo(dat).size() != DatFormat::HeaderSize + 9 + 7 + 8 + totalBytes)
            std::fprintf(stderr, "core writer: unexpected data file size %lld\n", QFileInfo(dat).size());
        QFile::remove(dat);
        freshArchive();

        s = Measure(runThread);
        threadTimes.push_back(s.Seconds);
        threadCpu.push_back(s.Cpu);
        threadPeak = std::max(threadPeak, s.PeakAboveIdleKiB);
        if (QFileInfo(dat).size() != DatFormat::HeaderSize + 9 + 7 + 8 + totalBytes)
            std::fprintf(stderr, "thread writer: unexpected data file size %lld\n", QFileInfo(dat).size());
        QFile::remove(dat);
        freshArchive();
    }

    auto print = [&](const char* name, const std::vector<double>& times) {
        std::printf("%-34s", name);
        for (double t : times)
            std::printf(" %7.3f s", t);
        const double median = Median(times);
        std::printf("   median %7.3f s  %8.1f MiB/s\n", median, double(totalBytes) / median / 1048576.0);
    };
    std::printf("archive %lld MiB + Unrar.dll %lld bytes, %lld chunks of %d bytes, %d rounds, page cache warm\n",
                archiveBytes / 1048576, QFileInfo(unrar).size(), chunks, DatFormat::ChunkSize, rounds);
    std::printf("wall time per run:\n");
    print("cat (reference)", catTimes);
    print("(a) core writer, empty progress", coreTimes);
    print("(b) TDatFileThread + window", threadTimes);
    const double cat = Median(catTimes), core = Median(coreTimes), thread = Median(threadTimes);
    std::printf("ratio (a) throughput / cat: %.3f   (target >= 0.9)\n", cat / core);
    std::printf("ratio (b) throughput / cat: %.3f   (target >= 0.5)\n", cat / thread);
    std::printf("processor time, median: cat %.3f s, (a) %.3f s, (b) %.3f s (both threads)\n", Median(catCpu),
                Median(coreCpu), Median(threadCpu));
    std::printf("per chunk: (b) - (a) = %.1f us\n", (thread - core) / double(chunks) * 1e6);
    std::printf("peak RSS above idle: cat run %lld KiB (child not counted), (a) %lld KiB, (b) %lld KiB   "
                "(target <= 16384 KiB)\n",
                catPeak, corePeak, threadPeak);
    return 0;
}
