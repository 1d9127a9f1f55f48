// Open and save of a project file that carries many lines of other sections: the time must grow
// linearly with the file (100,000 lines at most 12 times as long as 10,000).
#include "NullDialogs.h"
#include "Forms.h"
#include "Main.h"
#include "SettingsStore.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {


void WriteProject(const QString& path, int otherLines)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("[Velky.zpf]\r\nNazev=Velky\r\nDiskMisto=1\r\n");
    for (int i = 0; i < otherLines; ++i) {
        if (i % 10 == 0)
            file.write(QStringLiteral("[Jina%1]\r\n").arg(i).toLatin1());
        else
            file.write(QStringLiteral("Klic%1=hodnota %1\r\n").arg(i).toLatin1());
    }
}

struct Times {
    double Open;
    double Save;
};

Times Measure(TMainForm& main, const QString& folder, int lines)
{
    const QString path = folder + QStringLiteral("/Velky.zpf");
    std::vector<double> open, save;
    for (int run = 0; run < 5; ++run) {
        WriteProject(path, lines);
        QElapsedTimer timer;
        timer.start();
        main.ReadProjectFile(path);
        open.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        main.WriteProjectFile(path);
        save.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(open.begin(), open.end());
    std::sort(save.begin(), save.end());
    return {open[2], save[2]};
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    NullDialogs dialogs;
    QtSettingsStore settings(dir.filePath(QStringLiteral("settings.ini")));
    AppServices services;
    services.Dlg = &dialogs;
    services.Settings = &settings;
    services.ProgramFolder = dir.path();
    TMainForm main(services);
    CreateForms(&main);
    const Times small = Measure(main, dir.path(), 10000);
    const Times large = Measure(main, dir.path(), 100000);
    std::printf("project open/save, median of 5 runs\n");
    std::printf("  10,000 other lines:  open %8.2f ms, save %8.2f ms\n", small.Open, small.Save);
    std::printf("  100,000 other lines: open %8.2f ms, save %8.2f ms\n", large.Open, large.Save);
    std::printf("  ratio (target <= 12): open %.2f, save %.2f\n", large.Open / small.Open, large.Save / small.Save);
    return 0;
}
