// For the crash tests: saves a project with its side files as the window does (project file, Reg.ini,
// Readme.nfo), as version A; stops itself with SIGSTOP, so that a test can take over and choose the
// moment of a crash; then saves version B over it and exits.
// Usage: zelvakon-saver FOLDER
#include "Project.h"
#include <QDir>
#include <csignal>
#include <cstdio>
#include "RegIni.h"

namespace {

Project Version(char which)
{
    const bool a = which == 'A';
    Project p;
    // The versions differ in every file and in length both ways, so a file written in place would show.
    p.Nazev = a ? QStringLiteral("Želví závody, verze A s dlouhým názvem") : QStringLiteral("Verze B");
    p.DiskMisto = a ? QStringLiteral("1234") : QStringLiteral("98765");
    p.ArchAdr = QStringLiteral("C:\\Hry\\Zavody");
    p.WinRARExe = QStringLiteral("C:\\Program Files\\WinRAR\\WinRAR.exe");
    p.Vystup = QStringLiteral("C:\\Zelvakon\\Vystup");
    p.JmenoInst = p.JmenoDat = a ? QStringLiteral("Instal") : QStringLiteral("Setup");
    p.Rozbal = a ? ClickArea{1, 2, 3, 4} : ClickArea{-10, 20, 300, 400};
    QString readme;
    for (int i = 0; i < (a ? 3000 : 1000); ++i)
        readme += QStringLiteral("Řádek %1 verze %2\r\n").arg(i).arg(QLatin1Char(which));
    p.ReadmeText = readme;
    RegKey* key = p.Registry.AddKey(p.Registry.Root(0), QStringLiteral("Software"));
    p.Registry.AddKey(key, a ? QStringLiteral("Zavody A") : QStringLiteral("B"));
    return p;
}

void Save(const QString& folder, const Project& p)
{
    WriteProjectFile(folder + QStringLiteral("/Hra.zpf"), p);
    SaveRegIni(folder + QStringLiteral("/Reg.ini"), p.Registry);
    SaveReadmeText(folder + QStringLiteral("/Readme.nfo"), p.ReadmeText);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zelvakon-saver FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const Project a = Version('A');
    const Project b = Version('B');
    Save(folder, a);
    std::raise(SIGSTOP);
    Save(folder, b);
    return 0;
}
