// Reg.ini of a large tree against a tree a tenth of its size: build copy, save and load. Then the
// two large cases: a file of 200,000 keys opened in the main window (time and memory against the
// file's size), and a save of deep keys that writes far more than it reads (memory above idle).
// Each figure is the best of several runs, as wall time and as the CPU time of this thread (the
// steadier figure where other work shares the machine). Every run starts with cold caches, as a real
// save does after the user's editing: otherwise the small tree would stay in the cache from run to
// run and the large one never, and the ratio would measure the cache rather than the code; the ratio should stay near 10 (linear), at most 12.
#include "BenchSupport.h"
#include "NullDialogs.h"
#include "Forms.h"
#include "Main.h"
#include "RegistryPage.h"
#include "ProfileFile.h"
#include "SettingsStore.h"
#include <QApplication>
#include "RegIni.h"
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <malloc.h>
#include <vector>

namespace {

// Keys in groups of ten: one below a root, nine below it; five entries of different types each.
RegistryTree MakeTree(int keys)
{
    RegistryTree tree;
    static const char* const types[] = {"String", "Integer", "Boolean", "Date", "Float"};
    RegKey* group = nullptr;
    for (int i = 0; i < keys; ++i) {
        RegKey* key = i % 10 == 0
            ? group = tree.AddKey(tree.Root(i / 10 % 6), QStringLiteral("Firma %1").arg(i))
            : tree.AddKey(group, QStringLiteral("Nastavení %1").arg(i));
        for (int e = 0; e < 5; ++e)
            tree.AddValue(key, QStringLiteral("Hodnota%1").arg(e), QLatin1String(types[e]),
                          QStringLiteral("C:\\Program Files\\Hra %1\\soubor%2.dat").arg(i).arg(e));
    }
    return tree;
}

double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Time {
    double wall = 1e300, cpu = 1e300;
};

// Writes and reads far more memory than any cache holds.
void EvictCaches()
{
    static std::vector<char> junk(size_t(256) << 20);
    static volatile char sink = 0;
    for (size_t i = 0; i < junk.size(); i += 64)
        junk[i] = char(junk[i] + 1);
    sink = junk[size_t(sink) & 0xFFFF];
}

Time BestMs(int runs, const std::function<void()>& work)
{
    Time best;
    for (int r = 0; r < runs; ++r) {
        EvictCaches();
        QElapsedTimer timer;
        const double cpu = CpuMs();
        timer.start();
        work();
        best.wall = std::min(best.wall, double(timer.nsecsElapsed()) / 1e6);
        best.cpu = std::min(best.cpu, CpuMs() - cpu);
    }
    return best;
}

struct Figures {
    Time copy, build, save, load;
    qint64 bytes;
};

void Print(const char* what, const Time& a, const Time& b)
{
    std::printf("%-18s wall %8.1f ms %8.1f ms  %5.2f   cpu %8.1f ms %8.1f ms  %5.2f\n", what, a.wall, b.wall,
                b.wall / a.wall, a.cpu, b.cpu, b.cpu / a.cpu);
}

Figures Measure(int keys, const QString& folder)
{
    const RegistryTree tree = MakeTree(keys);
    const QString path = folder + QStringLiteral("/Reg%1.ini").arg(keys);
    Figures f{};
    QByteArray stream;
    // What merely touching every key and entry once costs at this size: the memory's share of any ratio.
    f.copy = BestMs(7, [&] { RegistryTree copy(tree); });
    f.build = BestMs(7, [&] { stream = BuildRegIniStream(tree); });
    f.save = BestMs(7, [&] { SaveRegIni(path, tree); });
    f.bytes = QFile(path).size();
    int loadedKeys = 0;
    std::vector<RegistryTree> loaded;  // freed after the timing: the load, not the clean-up, is measured
    loaded.reserve(7);
    f.load = BestMs(7, [&] {
        loaded.emplace_back();
        LoadRegIni(path, loaded.back());
    });
    loadedKeys = loaded.back().NodeCount() - 6;
    if (loadedKeys != keys || stream.isEmpty())
        std::fprintf(stderr, "unexpected result: %d keys loaded of %d\n", loadedKeys, keys);
    return f;
}

// Chains of single-letter keys as deep as a Reg.ini may go: each section names the whole path, so
// the file written grows with the square of the depth.
RegistryTree MakeDeepTree(int chains)
{
    RegistryTree tree;
    for (int c = 0; c < chains; ++c) {
        RegKey* key = tree.AddKey(tree.Root(1), QStringLiteral("c%1").arg(c));
        for (int d = 1; d < MaxRegIniDepth; ++d)
            key = tree.AddKey(key, QStringLiteral("k"));
        tree.AddValue(key, QStringLiteral("Hodnota"), QStringLiteral("String"), QStringLiteral("dno"));
    }
    return tree;
}

void LargeCases(const QString& folder)
{
    // Deep keys: a few MiB of tree, hundreds of MiB written.
    const QString deep = folder + QStringLiteral("/Deep.ini");
    {
        const RegistryTree tree = MakeDeepTree(2000);
        malloc_trim(0);  // freed memory back to the system, so that the peak counts only this save
        const qint64 idle = StatusKiB("VmRSS");
        ResetPeak();
        QElapsedTimer timer;
        timer.start();
        const double cpu = CpuMs();
        SaveRegIni(deep, tree);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        const double cpuMs = CpuMs() - cpu;
        const double peakMiB = double(StatusKiB("VmHWM") - idle) / 1024;
        std::printf("save of deep keys: %d keys, %.0f MiB written: wall %.0f ms, cpu %.0f ms, memory above idle %.0f MiB (limit 64)\n",
                    tree.NodeCount() - 6, double(QFile(deep).size()) / (1 << 20), ms, cpuMs, peakMiB);
        QFile::remove(deep);
    }
    // 200,000 keys of one entry each, opened in the window as the user opens a project's Reg.ini.
    const QString wide = folder + QStringLiteral("/Wide.ini");
    {
        RegistryTree tree;
        RegKey* group = nullptr;
        for (int i = 0; i < 200000; ++i) {
            RegKey* key = i % 10 == 0 ? group = tree.AddKey(tree.Root(i / 10 % 6), QStringLiteral("Firma %1").arg(i))
                                      : tree.AddKey(group, QStringLiteral("Nastavení %1").arg(i));
            tree.AddValue(key, QStringLiteral("Cesta"), QStringLiteral("String"), QStringLiteral("C:\\Hry\\%1").arg(i));
        }
        SaveRegIni(wide, tree);
    }
    const double fileMiB = double(QFile(wide).size()) / (1 << 20);
    NullDialogs dialogs;
    QtSettingsStore settings(folder + QStringLiteral("/settings.ini"));
    AppServices services;
    services.Dlg = &dialogs;
    services.Settings = &settings;
    services.ProgramFolder = folder;
    {
        TMainForm main(services);
        CreateForms(&main);
        // Shown on the registry page: the time includes laying out and drawing the tree as the user sees it.
        main.show();
        main.TabPages->setCurrentWidget(main.Registry);
        QApplication::processEvents();
        malloc_trim(0);
        const qint64 idle = StatusKiB("VmRSS");
        ResetPeak();
        QElapsedTimer timer;
        const double cpu = CpuMs();
        timer.start();
        main.Registry->LoadRegIni(wide);
        QApplication::processEvents();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        const double cpuMs = CpuMs() - cpu;
        const double peakMiB = double(StatusKiB("VmHWM") - idle) / 1024;
        std::printf("open in the window: %d keys, file %.1f MiB: wall %.0f ms, cpu %.0f ms (limit 1500), memory above idle %.0f MiB = %.1f x the file (limit 8)\n",
                    main.Registry->Tree().NodeCount() - 6, fileMiB, ms, cpuMs, peakMiB, peakMiB / fileMiB);
    }
    QFile::remove(wide);
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const int small = 2000, large = 20000;
    // A warm-up, so that the first figure does not pay for the codec and allocator start-up.
    Measure(200, dir.path());
    const Figures a = Measure(small, dir.path());
    const Figures b = Measure(large, dir.path());
    std::printf("Reg.ini, 5 entries per key, best of 7 cold runs; ratio %d keys / %d keys (linear: 10, limit 12)\n", large,
                small);
    std::printf("%-18s      %8d    %8d  ratio       %8d    %8d  ratio\n", "keys", small, large, small, large);
    Print("tree copy (ref.)", a.copy, b.copy);
    Print("BuildRegIniStream", a.build, b.build);
    Print("SaveRegIni", a.save, b.save);
    Print("LoadRegIni", a.load, b.load);
    std::printf("%-18s file %8lld B  %8lld B  %5.2f\n", "Reg.ini size", static_cast<long long>(a.bytes),
                static_cast<long long>(b.bytes), double(b.bytes) / double(a.bytes));
    LargeCases(dir.path());
    return 0;
}
