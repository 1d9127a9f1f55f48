// Reg.ini of a large tree against a tree a tenth of its size: build copy, save and load.
// Each figure is the best of several runs, as wall time and as the CPU time of this thread (the
// steadier figure where other work shares the machine). Every run starts with cold caches, as a real
// save does after the user's editing: otherwise the small tree would stay in the cache from run to
// run and the large one never, and the ratio would measure the cache rather than the code; the ratio should stay near 10 (linear), at most 12.
#include "ProfileFile.h"
#include "RegIni.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
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

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
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
    return 0;
}
