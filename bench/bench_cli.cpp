// zelvakon-cli as a script runs it, against the shell tools doing the bare work, each a process:
//   build:   `zelvakon-cli build` of a project whose archive is a prepared file of 1 GiB (the stand-in
//            archiver hard-links it, so packing costs nothing) against `cat head archive Unrar.dll > out`,
//            head being the header and texts the build writes before the archive: cat concatenates the
//            same parts into the same bytes (the archive then starts at an odd offset for both, which
//            the kernel copies a good deal slower than from offset 0);
//            `dd bs=40196` of the archive shows what copying in the writer's chunk size costs by itself
//   dirsize: `zelvakon-cli dirsize` on 100,000 files in 1,000 folders against `du --apparent-size -s`
//   rar:     (only with the first argument "rar") `zelvakon-cli build` of a folder of mixed files with the
//            real rar against `rar a -r -ep1` alone on the same folder: the build's overhead over the
//            archiver (writing the data file, checks, start-up)
// Runs are interleaved, the median is reported; the page cache is warm and every run starts with no
// dirty pages of an earlier one. Scratch files go below the given folder and are deleted at the end.
//
// Usage: bench_cli [archive MiB, default 1024] [rounds, default 5] [scratch parent, default temp folder]
//        bench_cli rar [folder MiB, default 200] [rounds, default 3] [scratch parent, default temp folder]
#include "BenchSupport.h"
#include "Project.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

struct Run {
    double Seconds = 0;
    int Code = -1;
    QByteArray Out;
    QByteArray Err;
};

Run Time(const QString& program, const QStringList& args, const QString& stdoutFile = QString(),
         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    ::sync();
    QProcess process;
    process.setProcessEnvironment(env);
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    QElapsedTimer timer;
    timer.start();
    process.start(program, args);
    process.waitForFinished(-1);
    Run run;
    run.Seconds = double(timer.nsecsElapsed()) / 1e9;
    run.Code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void PrintTimes(const char* name, const std::vector<double>& times, const char* unit, double scale)
{
    std::printf("  %-28s", name);
    for (double t : times)
        std::printf(" %8.3f", t * scale);
    std::printf("   median %8.3f %s\n", Median(times) * scale, unit);
}

// A folder of mixed files as a program's distribution holds them: a few big incompressible files
// (media, packed data), text that packs well, and many small files in nested folders.
bool WriteMixedFolder(const QString& folder, qint64 mib)
{
    const qint64 total = mib << 20;
    QRandomGenerator random(7);
    qint64 written = 0;
    int n = 0;
    auto write = [&](const QString& relative, const QByteArray& bytes) {
        const QString path = folder + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).path());
        written += bytes.size();
        return WriteFile(path, bytes);
    };
    // The program itself at the top: the build wants a file directly in the folder.
    if (!write(QStringLiteral("hra.exe"), QByteArray(200000, 'M')))
        return false;
    while (written < total) {
        const qint64 left = total - written;
        QByteArray bytes;
        QString name;
        switch (n % 3) {
        case 0: {  // incompressible, 1-16 MiB
            bytes.resize(int(qMin<qint64>(left, (1 + random.bounded(16)) << 20)));
            random.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
            name = QStringLiteral("media/balik%1.dat").arg(n);
            break;
        }
        case 1: {  // text, 256 KiB - 4 MiB
            const qint64 size = qMin<qint64>(left, (1 + random.bounded(16)) << 18);
            while (bytes.size() < size)
                bytes += QByteArray("radek ") + QByteArray::number(random.bounded(100000)) + " hodnota "
                         + QByteArray::number(random.generate()) + "\n";
            bytes.truncate(int(size));
            name = QStringLiteral("text/uroven%1/popis%2.txt").arg(n % 7).arg(n);
            break;
        }
        default:  // 200 small files of 1-64 KiB, half of them random
            for (int i = 0; i < 200 && written < total; ++i) {
                QByteArray small(int(qMin<qint64>(total - written, 1024 + random.bounded(65536))), 'a' + char(i % 26));
                if (i % 2)
                    random.fillRange(reinterpret_cast<quint32*>(small.data()), small.size() / 4);
                if (!write(QStringLiteral("male/%1/%2.bin").arg(n).arg(i), small))
                    return false;
            }
            ++n;
            continue;
        }
        if (!write(name, bytes))
            return false;
        ++n;
    }
    return true;
}

int BenchRar(const QStringList& args, const QString& cli)
{
    const QString rar = QStandardPaths::findExecutable(QStringLiteral("rar"));
    if (rar.isEmpty()) {
        std::fprintf(stderr, "rar is not installed (scripts/install-rar.sh)\n");
        return 1;
    }
    const qint64 mib = args.size() > 2 ? args[2].toLongLong() : 200;
    const int rounds = args.size() > 3 ? qMax(1, args[3].toInt()) : 3;
    const QString parent = args.size() > 4 ? args[4] : QDir::tempPath();
    QTemporaryDir dir(parent + QStringLiteral("/bench_cli_rar-XXXXXX"));
    if (!dir.isValid())
        return 1;
    const QString root = dir.path();
    for (const char* folder : {"/Program", "/Projekty", "/Vystup", "/Samotny"})
        QDir().mkpath(root + QLatin1String(folder));
    if (!WriteMixedFolder(root + QStringLiteral("/Hra"), mib)
        || !WriteFile(root + QStringLiteral("/Program/Unrar.dll"), "MZ" + QByteArray(299998, '\x5a'))
        || !WriteFile(root + QStringLiteral("/Program/Vorvanex.exe"), "MZ")) {
        std::fprintf(stderr, "cannot write the folder below %s\n", qPrintable(root));
        return 1;
    }
    Project p;
    p.Nazev = QStringLiteral("Benchmark");
    p.DiskMisto = QStringLiteral("204800");
    p.ArchAdr = root + QStringLiteral("/Hra");
    p.CilAdr = QStringLiteral("C:\\Bench");
    p.WinRARExe = rar;
    p.Vystup = root + QStringLiteral("/Vystup");
    p.JmenoInst = p.JmenoDat = QStringLiteral("Instal");
    const QString project = root + QStringLiteral("/Projekty/Bench.zpf");
    WriteProjectFile(project, p);
    const QStringList buildArgs{QStringLiteral("build"), project, QStringLiteral("--program-folder"),
                                root + QStringLiteral("/Program")};
    const QString alone = root + QStringLiteral("/Samotny/archiv.rar");
    const QStringList rarArgs{QStringLiteral("a"), QStringLiteral("-r"), QStringLiteral("-ep1"), alone,
                              root + QStringLiteral("/Hra/*.*")};
    const QString dat = root + QStringLiteral("/Vystup/Instal.dat");

    // Warm the cache once with each.
    for (const Run& run : {Time(rar, rarArgs), Time(cli, buildArgs)}) {
        if (run.Code != 0) {
            std::fprintf(stderr, "the warm-up run failed with %d: %s%s\n", run.Code, run.Out.right(500).constData(),
                         run.Err.right(500).constData());
            return 1;
        }
    }
    const qint64 archiveBytes = QFileInfo(alone).size();
    std::vector<double> rarTimes, buildTimes;
    for (int round = 0; round < rounds; ++round) {
        // A B B A: drift of the machine's speed falls on both alike.
        for (int turn = 0; turn < 2; ++turn) {
            const bool rarFirst = (round + turn) % 2 == 0;
            for (int which = 0; which < 2; ++which) {
                QFile::remove(alone);
                QFile::remove(dat);
                if ((which == 0) == rarFirst) {
                    const Run run = Time(rar, rarArgs);
                    if (run.Code != 0)
                        std::fprintf(stderr, "rar: exit %d\n", run.Code);
                    rarTimes.push_back(run.Seconds);
                } else {
                    const Run run = Time(cli, buildArgs);
                    if (run.Code != 0 || run.Out != "Hotovo.\n")
                        std::fprintf(stderr, "build: exit %d: %s\n", run.Code, run.Err.constData());
                    buildTimes.push_back(run.Seconds);
                }
            }
        }
    }
    std::printf("rar: folder of %lld MiB mixed files, archive %lld bytes, %d runs each, times in s\n", mib,
                archiveBytes, int(rarTimes.size()));
    PrintTimes("rar a -r -ep1 alone", rarTimes, "s", 1);
    PrintTimes("zelvakon-cli build (rar)", buildTimes, "s", 1);
    std::printf("  ratio build / rar %.3f (target <= 1.15)\n", Median(buildTimes) / Median(rarTimes));
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() > 1 && args[1] == QLatin1String("rar")) {
        const QString cli = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"))
                            + QStringLiteral("/zelvakon-cli");
        return BenchRar(args, cli);
    }
    const qint64 mib = args.size() > 1 ? args[1].toLongLong() : 1024;
    const int rounds = args.size() > 2 ? qMax(1, args[2].toInt()) : 5;
    const QString parent = args.size() > 3 ? args[3] : QDir::tempPath();
    const QString bin = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"));
    const QString cli = bin + QStringLiteral("/zelvakon-cli");
    const QString standIn = bin + QStringLiteral("/WinRAR");
    if (!QFileInfo(cli).isExecutable() || !QFileInfo(standIn).isExecutable()) {
        std::fprintf(stderr, "zelvakon-cli and WinRAR must be built into %s\n", qPrintable(bin));
        return 1;
    }

    QTemporaryDir dir(parent + QStringLiteral("/bench_cli-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a scratch folder below %s\n", qPrintable(parent));
        return 1;
    }
    const QString root = dir.path();
    for (const char* folder : {"/Program", "/Projekty", "/Hra", "/Vystup", "/Strom"})
        QDir().mkpath(root + QLatin1String(folder));

    // --- the build
    const QString master = root + QStringLiteral("/master.rar");
    const QString unrar = root + QStringLiteral("/Program/Unrar.dll");
    {
        if (!WriteIncompressible(master, mib)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(master));
            return 1;
        }
        if (!WriteFile(unrar, "MZ" + QByteArray(299998, '\x5a')) || !WriteFile(root + QStringLiteral("/Program/Vorvanex.exe"), "MZ")
            || !WriteFile(root + QStringLiteral("/Hra/hra.exe"), "MZ hra"))
            return 1;
    }
    const QString project = root + QStringLiteral("/Projekty/Bench.zpf");
    Project p;
    p.Nazev = QStringLiteral("Benchmark");
    p.DiskMisto = QStringLiteral("1048576");
    p.ArchAdr = root + QStringLiteral("/Hra");
    p.CilAdr = QStringLiteral("C:\\Bench");
    p.WinRARExe = standIn;
    p.Vystup = root + QStringLiteral("/Vystup");
    p.JmenoInst = p.JmenoDat = QStringLiteral("Instal");
    WriteProjectFile(project, p);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZELVAKON_RAR_LINK"), master);
    const QStringList buildArgs{QStringLiteral("build"), project, QStringLiteral("--program-folder"),
                                root + QStringLiteral("/Program")};
    const QString dat = root + QStringLiteral("/Vystup/Instal.dat");
    const QString catOut = root + QStringLiteral("/Vystup/cat.out");
    const qint64 partBytes = QFileInfo(master).size() + QFileInfo(unrar).size();

    // Warm the cache and every code path once.
    Run warm = Time(cli, buildArgs, QString(), env);
    if (warm.Code != 0) {
        std::fprintf(stderr, "build failed: %s\n", warm.Err.constData());
        return 1;
    }
    const qint64 headBytes = QFileInfo(dat).size() - partBytes;
    const QString head = root + QStringLiteral("/head.bin");
    {
        QFile built(dat);
        if (headBytes <= 0 || !built.open(QIODevice::ReadOnly) || !WriteFile(head, built.read(headBytes))) {
            std::fprintf(stderr, "cannot take the header of %s\n", qPrintable(dat));
            return 1;
        }
    }
    QFile::remove(dat);
    const QStringList catArgs{head, master, unrar};
    Time(QStringLiteral("cat"), catArgs, catOut);
    QFile::remove(catOut);

    const QStringList ddArgs{QStringLiteral("if=") + master, QStringLiteral("of=") + catOut, QStringLiteral("bs=40196"),
                             QStringLiteral("status=none")};
    std::vector<double> buildTimes, catTimes, ddTimes;
    for (int round = 0; round < rounds; ++round) {
        Run run = Time(QStringLiteral("cat"), catArgs, catOut);
        catTimes.push_back(run.Seconds);
        if (QFileInfo(catOut).size() != headBytes + partBytes)
            std::fprintf(stderr, "cat wrote %lld bytes\n", QFileInfo(catOut).size());
        QFile::remove(catOut);

        run = Time(QStringLiteral("dd"), ddArgs);
        ddTimes.push_back(run.Seconds);
        QFile::remove(catOut);

        run = Time(cli, buildArgs, QString(), env);
        buildTimes.push_back(run.Seconds);
        const qint64 datBytes = QFileInfo(dat).size();
        if (run.Code != 0 || run.Out != "Hotovo.\n" || datBytes != headBytes + partBytes)
            std::fprintf(stderr, "build: exit %d, %lld bytes: %s\n", run.Code, datBytes, run.Err.constData());
        QFile::remove(dat);
    }
    QFile::remove(master);

    // --- the folder measurement
    qint64 fileBytes = 0;
    const QString tree = root + QStringLiteral("/Strom");
    for (int f = 0; f < 1000; ++f) {
        const QString folder = tree + QStringLiteral("/d%1").arg(f, 4, 10, QLatin1Char('0'));
        QDir().mkdir(folder);
        for (int i = 0; i < 100; ++i) {
            const int size = 1 + (f * 7 + i * 13) % 200;
            if (!WriteFile(folder + QStringLiteral("/file%1.txt").arg(i), QByteArray(size, 'x')))
                return 1;
            fileBytes += size;
        }
    }
    Time(cli, {QStringLiteral("dirsize"), tree});
    Time(QStringLiteral("du"), {QStringLiteral("--apparent-size"), QStringLiteral("-s"), tree});
    std::vector<double> dirsizeTimes, duTimes;
    QByteArray dirsizeOut, duOut;
    for (int round = 0; round < rounds; ++round) {
        Run run = Time(cli, {QStringLiteral("dirsize"), tree});
        dirsizeTimes.push_back(run.Seconds);
        dirsizeOut = run.Out.trimmed();
        run = Time(QStringLiteral("du"), {QStringLiteral("--apparent-size"), QStringLiteral("-s"), tree});
        duTimes.push_back(run.Seconds);
        duOut = run.Out.split('\t').value(0);
    }

    std::printf("build: archive %lld MiB + Unrar.dll %lld bytes, %d rounds, page cache warm, times in s\n", mib,
                QFileInfo(unrar).size(), rounds);
    PrintTimes("cat head archive Unrar.dll", catTimes, "s", 1);
    PrintTimes("dd bs=40196 of the archive", ddTimes, "s", 1);
    PrintTimes("zelvakon-cli build", buildTimes, "s", 1);
    const double cat = Median(catTimes), build = Median(buildTimes), dd = Median(ddTimes);
    std::printf("  throughput: cat %.1f MiB/s, dd bs=40196 %.1f MiB/s, build %.1f MiB/s\n",
                double(partBytes) / cat / 1048576.0, double(mib) / dd, double(partBytes) / build / 1048576.0);
    std::printf("  ratio build / cat %.3f (target >= 0.9), build / dd bs=40196 %.3f\n", cat / build,
                dd / build * double(partBytes) / double(mib * 1048576));
    std::printf("dirsize: 1000 folders x 100 files, %lld file bytes, %d rounds, times in ms\n", fileBytes, rounds);
    PrintTimes("du --apparent-size -s", duTimes, "ms", 1000);
    PrintTimes("zelvakon-cli dirsize", dirsizeTimes, "ms", 1000);
    std::printf("  results: dirsize %s KB (files only, expected %lld), du %s KB (folders included)\n",
                dirsizeOut.constData(), fileBytes / 1024, duOut.constData());
    std::printf("  ratio dirsize / du %.2f (target <= 1.2)\n", Median(dirsizeTimes) / Median(duTimes));
    return dirsizeOut.toLongLong() == fileBytes / 1024 ? 0 : 1;
}
