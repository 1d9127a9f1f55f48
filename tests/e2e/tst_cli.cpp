#include "Codec.h"
#include "Project.h"
#include "RegIni.h"
#include "TestEnv.h"
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QtEndian>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// zelvakon-cli run as a user runs it: the built program in a private folder, the stand-in archiver,
// the results read back from disk and from the program's own output.

namespace {

const QString CliPath = QStringLiteral(ZELVAKON_BIN_DIR "/zelvakon-cli");
const QString StandIn = QStringLiteral(ZELVAKON_BIN_DIR "/WinRAR");

struct Result {
    int Code = -1;
    bool Crashed = true;
    QByteArray Out;
    QByteArray Err;
};

// fileSizeLimit: RLIMIT_FSIZE of the program alone.
Result Run(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
           const QString& program = CliPath, const QString& workingFolder = QString(), int seconds = 30,
           rlim_t fileSizeLimit = RLIM_INFINITY)
{
    QProcess process;
    process.setProcessEnvironment(env);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    if (fileSizeLimit != RLIM_INFINITY) {
        process.setChildProcessModifier([fileSizeLimit] {
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    process.start(program, args);
    Result r;
    if (!process.waitForStarted(10000) || !process.waitForFinished(seconds * 1000)) {
        process.kill();
        process.waitForFinished();
        r.Err = "did not end in time";
        return r;
    }
    r.Crashed = process.exitStatus() != QProcess::NormalExit;
    r.Code = process.exitCode();
    r.Out = process.readAllStandardOutput();
    r.Err = process.readAllStandardError();
    return r;
}

QByteArray Le(qint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian<qint32>(v, b.data());
    return b;
}

QByteArray Bitmap(qint32 width, qint32 height, int size)
{
    return BitmapBytes(width, height, size);
}

// A data file by hand: magic, five sizes, six lengths, ask flag, twelve area values, texts, parts.
QByteArray DataFile(const QList<QByteArray>& parts, const QList<QByteArray>& texts, qint32 ask = 0,
                    const QList<qint32>& areas = {}, const QByteArray& unrar = "MZUNR")
{
    QByteArray bytes("Datovy soubor Zelvakon");
    for (const QByteArray& p : parts)
        bytes += Le(qint32(p.size()));
    for (const QByteArray& t : texts)
        bytes += Le(qint32(t.size()));
    bytes += Le(ask);
    for (int i = 0; i < 12; ++i)
        bytes += Le(areas.value(i));
    for (const QByteArray& t : texts)
        bytes += t;
    for (const QByteArray& p : parts)
        bytes += p;
    return bytes + unrar;
}

const QByteArray LevelBytes = Pattern(5000, 'l');

// What the stand-in archiver makes of the folder every build packs.
QByteArray PackedFolder()
{
    return QByteArray("ZELVAKON STAND-IN ARCHIVE 1\n") + "F 5000 data/level1.dat\n" + LevelBytes + "F 6 hra.exe\n"
           + "MZ hra";
}

QStringList FilesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

// A private folder with a program folder (Unrar.dll, Vorvanex.exe), a folder to pack and a project.
struct Workspace {
    QTemporaryDir Dir;
    QString Root = Dir.path();
    QString Program = Root + QStringLiteral("/Program");
    QString ArchAdr = Root + QStringLiteral("/Hra");
    QString ProjectFile = Root + QStringLiteral("/Projekty/Hra.zpf");
    QString Log = Root + QStringLiteral("/args.txt");
    QByteArray Unrar = "MZ" + Pattern(69998, 'u');
    QByteArray Vorvanex = "MZ vorvanex";
    Project P;
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();

    Workspace()
    {
        for (const char* folder : {"/Program", "/Hra/data", "/Projekty", "/Obrazky", "/Hudba"})
            QDir().mkpath(Root + QLatin1String(folder));
        WriteBytes(ArchAdr + QStringLiteral("/hra.exe"), "MZ hra");
        WriteBytes(ArchAdr + QStringLiteral("/data/level1.dat"), LevelBytes);
        WriteBytes(Program + QStringLiteral("/Unrar.dll"), Unrar);
        WriteBytes(Program + QStringLiteral("/Vorvanex.exe"), Vorvanex);
        P.Nazev = QStringLiteral("Hra");
        P.DiskMisto = QStringLiteral("1234");
        P.ArchAdr = ArchAdr;
        P.CilAdr = QStringLiteral("C:\\Hry\\Hra");
        P.WinRARExe = StandIn;
        P.Vystup = Root + QStringLiteral("/Vystup");
        P.JmenoInst = QStringLiteral("Setup");
        P.JmenoDat = QStringLiteral("Hra");
        Env.insert(QStringLiteral("ZELVAKON_RAR_LOG"), Log);
    }

    QString ProjectFolder() const { return QFileInfo(ProjectFile).path(); }
    QString DatPath() const { return P.Vystup + QLatin1Char('/') + P.JmenoDat + QStringLiteral(".dat"); }
    QString ExePath() const { return P.Vystup + QLatin1Char('/') + P.JmenoInst + QStringLiteral(".exe"); }
    QString ArchivePath() const { return ProjectFolder() + QStringLiteral("/archiv.rar"); }

    // The project file and its side files, as Save writes them.
    void Save()
    {
        QDir().mkpath(ProjectFolder());
        WriteProjectFile(ProjectFile, P);
        if (ReadmeLineCount(P.ReadmeText) > 0)
            SaveReadmeText(ProjectFolder() + QStringLiteral("/Readme.nfo"), P.ReadmeText);
        if (P.Registry.HasKeysBelowRoots())
            SaveRegIni(ProjectFolder() + QStringLiteral("/Reg.ini"), P.Registry);
    }

    QStringList BuildArgs() const
    {
        return {QStringLiteral("build"), ProjectFile, QStringLiteral("--program-folder"), Program};
    }

    Result Build()
    {
        Save();
        return Run(BuildArgs(), Env);
    }
};

QJsonObject Area(qint32 levy, qint32 horni, qint32 pravy, qint32 dolni)
{
    return {{"Levy", levy}, {"Horni", horni}, {"Pravy", pravy}, {"Dolni", dolni}};
}

}  // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void buildReadsBackThroughInspect_data();
    void buildReadsBackThroughInspect();
    void refusals_data();
    void refusals();
    void failures_data();
    void failures();
    void partsBesideTheExecutable();
    void twoBuildsOfOneDataFile();
    void interrupt_data();
    void interrupt();
    void badDataFiles_data();
    void badDataFiles();
    void musicNameStaysInsideTheFolder_data();
    void musicNameStaysInsideTheFolder();
    void storedControlCharactersAreNotPrinted();
    void dirsizeAsTheFolderField_data();
    void dirsizeAsTheFolderField();
    void commandLine_data();
    void commandLine();
    void scriptedBuilds_data();
    void scriptedBuilds();
    void realRarReadBackByAnotherReader();
    void windowsArchiverThroughWine();
};

void TestCli::buildReadsBackThroughInspect_data()
{
    QTest::addColumn<bool>("picture");
    QTest::addColumn<bool>("music");
    QTest::addColumn<QString>("readme");
    QTest::addColumn<bool>("run");
    QTest::addColumn<bool>("ask");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("registry");

    QTest::newRow("plain project") << false << false << "" << false << false << "Hra" << false;
    QTest::newRow("program on with the question") << false << false << "" << true << true << "Hra" << false;
    QTest::newRow("picture, areas, music, readme and a Czech title")
        << true << true << "Řádek jedna\r\nžluť" << false << false << "Žluťoučký kůň úpěl €" << false;
    QTest::newRow("registry entries from Reg.ini") << false << false << "" << false << false << "Hra" << true;
}

void TestCli::buildReadsBackThroughInspect()
{
    QFETCH(bool, picture);
    QFETCH(bool, music);
    QFETCH(QString, readme);
    QFETCH(bool, run);
    QFETCH(bool, ask);
    QFETCH(QString, title);
    QFETCH(bool, registry);
    Workspace w;
    w.P.Nazev = title;
    w.P.SpustitPrg = run;
    w.P.Zeptat = ask;
    w.P.NazevProg = QStringLiteral("Spustit.exe");
    w.P.PrikRadka = QStringLiteral("/tichý režim");
    w.P.ReadmeText = readme;
    QByteArray pictureBytes, musicBytes, regIni;
    if (picture) {
        pictureBytes = Bitmap(200, 150, 1000);
        w.P.Obrazek = w.Root + QStringLiteral("/Obrazky/titul.bmp");
        WriteBytes(w.P.Obrazek, pictureBytes);
        w.P.Rozbal = {10, 20, 110, 60};
        w.P.Readme = {11, 70, 111, 90};
        w.P.Konec = {-12, 100, 112, 140};
    }
    if (music) {
        musicBytes = Pattern(50000, 'm');
        w.P.Hudba = w.Root + QStringLiteral("/Hudba/píseň.mid");
        WriteBytes(w.P.Hudba, musicBytes);
    }
    if (registry) {
        RegKey* key = w.P.Registry.AddKey(w.P.Registry.Root(0), QStringLiteral("Software"));
        w.P.Registry.AddValue(key, QStringLiteral("Cesta"), QStringLiteral("String"), QStringLiteral("C:\\Hry"));
        regIni = BuildRegIniStream(w.P.Registry);
    }
    const QByteArray readmeBytes = readme.isEmpty() ? QByteArray() : Codec::ToWin1250(readme);

    const Result build = w.Build();
    QVERIFY2(build.Code == 0 && !build.Crashed, build.Err);
    QCOMPARE(build.Out, QByteArray("Hotovo.\n"));
    // Not a terminal: one line per step that appends something.
    QByteArray steps = "Projekt:     Hra.zpf\nSpouštím WinRAR...\nPřipojuji archiv...\n";
    if (picture)
        steps += "Připojuji soubor s obrázkem...\n";
    if (music)
        steps += "Připojuji soubor s hudbou...\n";
    if (!readme.isEmpty())
        steps += "Připojuji soubor Readme.nfo...\n";
    if (registry)
        steps += "Připojuji soubor Reg.ini...\n";
    steps += "Připojuji soubor Unrar.dll...\n";
    QCOMPARE(build.Err, steps);
    QCOMPARE(ReadBytes(w.ExePath()), w.Vorvanex);
    QVERIFY(!QFile::exists(w.ArchivePath()));

    const Result inspect = Run({QStringLiteral("inspect"), w.DatPath(), QStringLiteral("--json")});
    QVERIFY2(inspect.Code == 0 && !inspect.Crashed, inspect.Err);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(inspect.Out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError && doc.isObject(), inspect.Out);
    const QJsonObject expectedSizes{{"archive", PackedFolder().size()}, {"picture", pictureBytes.size()},
                                    {"music", musicBytes.size()},       {"readme", readmeBytes.size()},
                                    {"registry", regIni.size()},        {"unrar", w.Unrar.size()}};
    const QJsonObject expectedTexts{{"Nazev", title},
                                    {"DiskMisto", "1234"},
                                    {"CilAdr", "C:\\Hry\\Hra"},
                                    {"Hudba", music ? "píseň.mid" : ""},
                                    {"NazevProg", run ? "Spustit.exe" : ""},
                                    {"PrikRadka", run ? "/tichý režim" : ""}};
    const QJsonObject expectedAreas{{"Rozbal", picture ? Area(10, 20, 110, 60) : Area(0, 0, 0, 0)},
                                    {"Readme", picture ? Area(11, 70, 111, 90) : Area(0, 0, 0, 0)},
                                    {"Konec", picture ? Area(-12, 100, 112, 140) : Area(0, 0, 0, 0)}};
    const QJsonObject expected{
        {"sizes", expectedSizes}, {"texts", expectedTexts}, {"Zeptat", run && ask ? 1 : 0}, {"areas", expectedAreas}};
    QCOMPARE(doc.object(), expected);

    // Every part comes back byte for byte, under its own name, and nothing else is written.
    const QString out = w.Root + QStringLiteral("/rozbaleno");
    const Result extract = Run({QStringLiteral("extract"), w.DatPath(), out});
    QVERIFY2(extract.Code == 0 && !extract.Crashed, extract.Err);
    QMap<QString, QByteArray> parts{{"archiv.rar", PackedFolder()}, {"Unrar.dll", w.Unrar}};
    if (picture)
        parts.insert("Obrazek.bmp", pictureBytes);
    if (music)
        parts.insert("píseň.mid", musicBytes);
    if (!readme.isEmpty())
        parts.insert("Readme.nfo", readmeBytes);
    if (registry)
        parts.insert("Reg.ini", regIni);
    QStringList names = parts.keys();
    names.sort();
    QCOMPARE(FilesBelow(out), names);
    for (auto it = parts.cbegin(); it != parts.cend(); ++it)
        QVERIFY2(ReadBytes(out + QLatin1Char('/') + it.key()) == it.value(), qPrintable(it.key()));
}

void TestCli::refusals_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");  // @ stands for the private folder

    // The window never lets these build: its Build command stays disabled.
    QTest::newRow("empty title") << "title-empty" << "Chyba: Projekt nelze sestavit, pole „Název“ je prázdné.";
    QTest::newRow("empty archiver path") << "rar-empty" << "Chyba: Projekt nelze sestavit, pole „Spouštěcí soubor“ je prázdné.";
    QTest::newRow("blank in the project folder")
        << "project-folder-blank"
        << "Upozornění: Cesta k adresáři s projektem '@/Moje projekty' obsahuje v názvu mezery.\nUkončete program, "
           "odstraňte v názvu cesty mezery a spusťte program znovu.\nVysvětlení najdete v souboru Readme.txt.";
    QTest::newRow("blank in the packed folder")
        << "archadr-blank"
        << "Upozornění: Název adresáře se soubory k archivaci '@/Moje hra' nesmí obsahovat mezery.\nVysvětlení najdete "
           "v souboru Readme.txt.";
    QTest::newRow("picture without its areas") << "picture-no-areas"
                                               << "Upozornění: Musíte nejprve nastavit klikací plochy.";
    QTest::newRow("packed folder missing") << "archadr-missing"
                                           << "Chyba: Adresář se soubory k archivaci neexistuje.";
    QTest::newRow("packed folder holds only folders")
        << "archadr-only-folders"
        << "Chyba: Adresář se soubory k archivaci žádné soubory neobsahuje.";
    QTest::newRow("packed folder holds only a named pipe and a broken link")
        << "archadr-special"
        << "Chyba: Adresář se soubory k archivaci žádné soubory neobsahuje.";
    QTest::newRow("disk space zero")
        << "space-zero"
        << "Upozornění: Místo na disku, které bude program potřebovat, musí být větší než nula.";
    QTest::newRow("picture too large") << "picture-601x400"
                                       << "Chyba: Obrázek nemůže být větší než 600x400 bodů.";
    QTest::newRow("picture too small") << "picture-100x99"
                                       << "Chyba: Obrázek nemůže být menší než 100x100 bodů.";
    QTest::newRow("program to run without its command line")
        << "run-no-cmdline"
        << "Chyba: Program, který se bude spouštet po extrakci\nnemá definován buď název anebo příkazovou řádku.";
    QTest::newRow("output folder cannot be made") << "vystup-deep"
                                                  << "Chyba: Výstupní adresář pro datový soubor nelze vytvořit.";
    QTest::newRow("disk space not a number")
        << "space-text"
        << "Zelvakon: Místo na disku '12a' není celé číslo v rozsahu od -2147483648 do 2147483647.";
    QTest::newRow("archiver without WinRAR in its name")
        << "rar-name"
        << "Chyba: Pravděpodobně se nejedná a spustitelný soubor WinRARa.";
    QTest::newRow("Windows archiver without wine")
        << "no-wine"
        << "Chyba: Archivátor @/WinRAR.exe je program pro Windows a ke spuštění potřebuje program wine, který nebyl "
           "nalezen (v PATH).\nNainstalujte wine, nebo zadejte archivátor rar pro Linux.";
}

void TestCli::refusals()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    Workspace w;
    if (change == QLatin1String("title-empty")) {
        w.P.Nazev.clear();
    } else if (change == QLatin1String("rar-empty")) {
        w.P.WinRARExe.clear();
    } else if (change == QLatin1String("project-folder-blank")) {
        w.ProjectFile = w.Root + QStringLiteral("/Moje projekty/Hra.zpf");
    } else if (change == QLatin1String("archadr-blank")) {
        w.P.ArchAdr = w.Root + QStringLiteral("/Moje hra");
    } else if (change == QLatin1String("picture-no-areas")) {
        w.P.Obrazek = w.Root + QStringLiteral("/Obrazky/t.bmp");
        WriteBytes(w.P.Obrazek, Bitmap(200, 200, 100));
        w.P.Rozbal = {1, 2, 3, 4};
    } else if (change == QLatin1String("archadr-missing")) {
        w.P.ArchAdr = w.Root + QStringLiteral("/Nic");
    } else if (change == QLatin1String("archadr-only-folders")) {
        QDir().mkpath(w.Root + QStringLiteral("/Prazdna/sub"));
        WriteBytes(w.Root + QStringLiteral("/Prazdna/sub/f"), "x");
        w.P.ArchAdr = w.Root + QStringLiteral("/Prazdna");
    } else if (change == QLatin1String("archadr-special")) {
        const QString folder = w.Root + QStringLiteral("/Zvlastni");
        QDir().mkpath(folder);
        QCOMPARE(mkfifo(QFile::encodeName(folder + QStringLiteral("/pipe")).constData(), 0600), 0);
        QVERIFY(QFile::link(folder + QStringLiteral("/gone"), folder + QStringLiteral("/broken")));
        w.P.ArchAdr = folder;
    } else if (change == QLatin1String("space-zero")) {
        w.P.DiskMisto = QStringLiteral("0");
    } else if (change.startsWith(QLatin1String("picture-"))) {
        const QStringList size = change.mid(8).split(QLatin1Char('x'));
        w.P.Obrazek = w.Root + QStringLiteral("/Obrazky/t.bmp");
        WriteBytes(w.P.Obrazek, Bitmap(size[0].toInt(), size[1].toInt(), 100));
        w.P.Rozbal = w.P.Readme = w.P.Konec = {1, 2, 3, 4};
    } else if (change == QLatin1String("run-no-cmdline")) {
        w.P.SpustitPrg = true;
        w.P.NazevProg = QStringLiteral("hra.exe");
    } else if (change == QLatin1String("vystup-deep")) {
        w.P.Vystup = w.Root + QStringLiteral("/Nic/Vystup");
    } else if (change == QLatin1String("space-text")) {
        w.P.DiskMisto = QStringLiteral("12a");
    } else if (change == QLatin1String("rar-name")) {
        // RAR for Linux is "rar"; the Windows console rar.exe is still no WinRAR.
        QFile::copy(StandIn, w.Root + QStringLiteral("/rar.exe"));
        w.P.WinRARExe = w.Root + QStringLiteral("/rar.exe");
    } else if (change == QLatin1String("no-wine")) {
        QFile::copy(StandIn, w.Root + QStringLiteral("/WinRAR.exe"));
        w.P.WinRARExe = w.Root + QStringLiteral("/WinRAR.exe");
        QDir().mkpath(w.Root + QStringLiteral("/bez-wine"));
        w.Env.insert(QStringLiteral("PATH"), w.Root + QStringLiteral("/bez-wine"));
    }
    const Result r = w.Build();
    QVERIFY(!r.Crashed);
    QCOMPARE(r.Code, 2);
    QCOMPARE(r.Out, QByteArray());
    QCOMPARE(QString::fromUtf8(r.Err).section(QLatin1Char('\n'), 1),
             message.replace(QLatin1Char('@'), w.Root) + QLatin1Char('\n'));
    // Refused before anything ran or was written.
    QVERIFY(!QFile::exists(w.Log));
    QVERIFY(!QFile::exists(w.DatPath()));
}

void TestCli::failures_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");  // the last lines of stderr, @ for the private folder
    QTest::addColumn<QString>("dat");      // none, header, upToSideTexts, complete
    QTest::addColumn<bool>("archiveKept");

    QTest::newRow("archiver warning 1 still builds") << "ZELVAKON_RAR_EXIT=1" << 0 << ""
                                                     << "complete" << false;
    QTest::newRow("archiver exit code 2")
        << "ZELVAKON_RAR_EXIT=2" << 1
        << "Chyba: WinRAR skončil s chybovým kódem 2, archiv nemusí být úplný.\nSestavování bylo přerušeno."
        << "none" << true;
    QTest::newRow("archiver's last words in the message")
        << "ZELVAKON_RAR_LINK=/nonexistent/prepared.rar" << 1
        << "Chyba: WinRAR skončil s chybovým kódem 2, archiv nemusí být úplný.\nSestavování bylo přerušeno.\n\n"
           "Výstup WinRARu:\ncannot link /nonexistent/prepared.rar to @/Projekty/archiv.rar"
        << "none" << false;
    QTest::newRow("archiver killed")
        << "ZELVAKON_RAR_KILL=1" << 1
        << "Chyba: WinRAR byl ukončen signálem 9, archiv nemusí být úplný.\nSestavování bylo přerušeno."
        << "none" << false;
    QTest::newRow("archiver cannot be started")
        << "rar-missing" << 1 << "Chyba: Nemohu spustit WinRAR.\nZkontrolujte správnost zadané cesty."
        << "none" << false;
    // "@/Win" is a program too: a path with a blank never starts its part before the blank.
    QTest::newRow("archiver path with a blank after an existing program")
        << "rar-prefix" << 1 << "Chyba: Nemohu spustit WinRAR.\nZkontrolujte správnost zadané cesty."
        << "none" << false;
    // A failed build leaves no data file, whatever the step: Unrar.dll has no size field, so a
    // file cut anywhere could pass for a whole one.
    QTest::newRow("archiver writes no archive") << "ZELVAKON_RAR_NO_ARCHIVE=1" << 1 << "Chyba: Archiv nelze otevřít."
                                                << "none" << false;
    // The parts are looked for before the archiver runs, which can take minutes.
    QTest::newRow("Unrar.dll missing")
        << "rm:Unrar.dll" << 1 << "Chyba: Soubor Unrar.dll nebyl nalezen. Hledán byl v adresářích:\n  @/Program"
        << "none" << false;
    QTest::newRow("Vorvanex.exe missing")
        << "rm:Vorvanex.exe" << 1 << "Chyba: Soubor Vorvanex.exe nebyl nalezen. Hledán byl v adresářích:\n  @/Program"
        << "none" << false;
    QTest::newRow("Unrar.dll that is no Windows image")
        << "unrar:UNRAR" << 1 << "Chyba: Soubor @/Program/Unrar.dll není spustitelný soubor Windows (nezačíná znaky MZ)."
        << "none" << false;
    QTest::newRow("Unrar.dll that is a named pipe")
        << "unrar-fifo" << 1 << "Chyba: Soubor @/Program/Unrar.dll nelze otevřít: není to obyčejný soubor."
        << "none" << false;
    // A size limit is a write error like a full disk, with a Czech reason; no signal ends the program.
    QTest::newRow("file-size limit while the data file is written")
        << "fsize:20000" << 1 << "Chyba: Do datového souboru Hra.dat nelze zapisovat: soubor je příliš velký."
        << "none" << true;
    // The old installer stays until a whole copy can take its place.
    QTest::newRow("installer copy cut by a file-size limit")
        << "fsize-exe:400000" << 1 << "Chyba: Chyba při kopírování spustitelného souboru instalace." << "none" << true;
    QTest::newRow("data file name is a link to a file elsewhere") << "dat-link" << 0 << "" << "complete" << false;
    QTest::newRow("stale archive cannot be removed")
        << "archive-folder" << 1
        << "Chyba: Starý archiv @/Projekty/archiv.rar nelze smazat (je to adresář).\nSmažte jej a sestavte projekt "
           "znovu."
        << "none" << true;
    QTest::newRow("project file missing")
        << "no-project" << 1 << "Chyba: Projektový soubor @/Projekty/Hra.zpf neexistuje."
        << "none" << false;
    QTest::newRow("project file without a section")
        << "empty-project" << 1 << "Chyba: Soubor @/Projekty/Hra.zpf neobsahuje žádnou sekci, není to projekt."
        << "none" << false;
}

void TestCli::failures()
{
    QFETCH(QString, change);
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(QString, dat);
    QFETCH(bool, archiveKept);
    Workspace w;
    w.P.ReadmeText = QStringLiteral("readme");
    w.Save();
    if (change.contains(QLatin1Char('=')))
        w.Env.insert(change.section(QLatin1Char('='), 0, 0), change.section(QLatin1Char('='), 1));
    else if (change.startsWith(QLatin1String("rm:")))
        QFile::remove(w.Program + QLatin1Char('/') + change.mid(3));
    else if (change == QLatin1String("rar-missing")) {
        w.P.WinRARExe = w.Root + QStringLiteral("/WinRAR/WinRAR.exe");
        w.Save();
    } else if (change == QLatin1String("rar-prefix")) {
        QVERIFY(QFile::copy(StandIn, w.Root + QStringLiteral("/Win")));
        w.P.WinRARExe = w.Root + QStringLiteral("/Win RAR/WinRAR");
        w.Save();
    } else if (change == QLatin1String("archive-folder"))
        QDir().mkpath(w.ArchivePath());
    else if (change == QLatin1String("no-project"))
        QFile::remove(w.ProjectFile);
    else if (change == QLatin1String("empty-project"))
        WriteBytes(w.ProjectFile, "\r\n");
    else if (change.startsWith(QLatin1String("unrar:")))
        WriteBytes(w.Program + QStringLiteral("/Unrar.dll"), change.mid(6).toUtf8());
    else if (change == QLatin1String("unrar-fifo")) {
        QFile::remove(w.Program + QStringLiteral("/Unrar.dll"));
        QCOMPARE(mkfifo(QFile::encodeName(w.Program + QStringLiteral("/Unrar.dll")).constData(), 0600), 0);
    }
    rlim_t limit = RLIM_INFINITY;
    const QString elsewhere = w.Root + QStringLiteral("/elsewhere.txt");
    const QByteArray oldInstaller = "MZ the installer of the last build";
    if (change.startsWith(QLatin1String("fsize:"))) {
        limit = change.mid(6).toULongLong();
    } else if (change.startsWith(QLatin1String("fsize-exe:"))) {
        limit = change.mid(10).toULongLong();
        WriteBytes(w.Program + QStringLiteral("/Vorvanex.exe"), "MZ" + Pattern(int(limit) * 2, 'v'));
        QDir().mkpath(w.P.Vystup);
        WriteBytes(w.ExePath(), oldInstaller);
    } else if (change == QLatin1String("dat-link")) {
        WriteBytes(elsewhere, "not the build's");
        QDir().mkpath(w.P.Vystup);
        QVERIFY(QFile::link(elsewhere, w.DatPath()));
    }

    const Result r = Run(w.BuildArgs(), w.Env, CliPath, QString(), 30, limit);
    QVERIFY(!r.Crashed);
    QCOMPARE(r.Code, code);
    if (code == 0) {
        QCOMPARE(r.Out, QByteArray("Hotovo.\n"));
    } else {
        QCOMPARE(r.Out, QByteArray());
        QVERIFY2(QString::fromUtf8(r.Err).endsWith(message.replace(QLatin1Char('@'), w.Root) + QLatin1Char('\n')),
                 r.Err);
    }
    // The files as the program's build leaves them.
    const QByteArray texts = QByteArray("Hra") + "1234" + "C:\\Hry\\Hra";
    const QByteArray archive = PackedFolder();
    auto header = [&](qint32 archiveSize) {
        return QByteArray("Datovy soubor Zelvakon") + Le(archiveSize) + Le(0) + Le(0) + Le(6) + Le(0) + Le(3) + Le(4)
               + Le(10) + Le(0) + Le(0) + Le(0) + Le(0) + QByteArray(48, '\0') + texts;
    };
    if (dat == QLatin1String("none"))
        QVERIFY(!QFile::exists(w.DatPath()));
    else if (dat == QLatin1String("header"))
        QCOMPARE(ReadBytes(w.DatPath()), header(0));
    else if (dat == QLatin1String("upToSideTexts"))
        QCOMPARE(ReadBytes(w.DatPath()), header(archive.size()) + archive + "readme");
    else
        QCOMPARE(ReadBytes(w.DatPath()), header(archive.size()) + archive + "readme" + w.Unrar);
    QCOMPARE(QFileInfo::exists(w.ArchivePath()), archiveKept);
    // Nothing half-written stays in the output folder.
    QCOMPARE(QDir(w.P.Vystup).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(QStringLiteral(".tmp")),
             QStringList());
    if (change.startsWith(QLatin1String("fsize-exe:"))) {
        QCOMPARE(ReadBytes(w.ExePath()), oldInstaller);
        return;
    }
    QCOMPARE(QFile::exists(w.ExePath()), code == 0);
    if (change == QLatin1String("dat-link")) {
        // The link itself was replaced; what it pointed to is untouched.
        QVERIFY(!QFileInfo(w.DatPath()).isSymLink());
        QCOMPARE(ReadBytes(elsewhere), QByteArray("not the build's"));
    }
}

void TestCli::partsBesideTheExecutable()
{
    // Without --program-folder the parts come from the program's own folder (a writable one here).
    Workspace w;
    const QString installed = w.Root + QStringLiteral("/Instalace");
    QDir().mkpath(installed);
    QVERIFY(QFile::copy(CliPath, installed + QStringLiteral("/zelvakon-cli")));
    const QByteArray unrar = "MZ" + Pattern(2998, 'U');
    WriteBytes(installed + QStringLiteral("/Unrar.dll"), unrar);
    WriteBytes(installed + QStringLiteral("/Vorvanex.exe"), "MZ installed");
    w.Save();
    QProcessEnvironment env = w.Env;
    env.insert(QStringLiteral("HOME"), w.Root + QStringLiteral("/home"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), w.Root + QStringLiteral("/home/.local/share"));
    const Result r = Run({QStringLiteral("build"), w.ProjectFile}, env, installed + QStringLiteral("/zelvakon-cli"));
    QVERIFY2(r.Code == 0 && !r.Crashed, r.Err);
    QVERIFY(ReadBytes(w.DatPath()).endsWith(unrar));
    QCOMPARE(ReadBytes(w.ExePath()), QByteArray("MZ installed"));
    QVERIFY2(!QFileInfo::exists(w.Root + QStringLiteral("/home/.local/share/Zelvakon")), "a per-user folder was made");
}

void TestCli::twoBuildsOfOneDataFile()
{
    Workspace w;
    w.Save();
    const QString slowLog = w.Root + QStringLiteral("/slow.txt");
    QProcessEnvironment slow = w.Env;
    slow.insert(QStringLiteral("ZELVAKON_RAR_SLEEP_MS"), QStringLiteral("2500"));
    slow.insert(QStringLiteral("ZELVAKON_RAR_LOG"), slowLog);
    QProcess first;
    first.setProcessEnvironment(slow);
    first.start(CliPath, w.BuildArgs());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(slowLog), 10000);  // its archiver runs, the lock is held

    // The second build is refused before its archiver touches the first one's archive.
    const Result second = Run(w.BuildArgs(), w.Env);
    QCOMPARE(second.Code, 1);
    QVERIFY2(QString::fromUtf8(second.Err).endsWith(QStringLiteral("Chyba: Datový soubor %1 právě zapisuje jiné "
                                                                   "sestavování.\nPočkejte, až skončí, a sestavte "
                                                                   "projekt znovu.\n")
                                                        .arg(w.DatPath())),
             second.Err);
    QVERIFY(!QFileInfo::exists(w.Log));

    QVERIFY(first.waitForFinished(30000));
    QCOMPARE(first.exitCode(), 0);
    const Result inspect = Run({QStringLiteral("inspect"), w.DatPath()});
    QVERIFY2(inspect.Code == 0, inspect.Err);

    // A build killed while it held the lock does not block the next one.
    QProcess killed;
    QFile::remove(slowLog);
    killed.setProcessEnvironment(slow);
    killed.start(CliPath, w.BuildArgs());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(slowLog), 10000);
    killed.kill();
    QVERIFY(killed.waitForFinished(10000));
    QTest::qWait(3000);  // the orphaned archiver finishes its archive
    const Result after = Run(w.BuildArgs(), w.Env);
    QVERIFY2(after.Code == 0, after.Err);
}

void TestCli::interrupt_data()
{
    QTest::addColumn<QString>("when");
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("ignoresRequest");  // the archiver ignores SIGTERM
    QTest::addColumn<int>("times");            // signals sent
    QTest::newRow("Ctrl+C while the archiver runs") << "archiver" << int(SIGINT) << false << 1;
    QTest::newRow("termination while the archiver runs, after its progress line")
        << "archiver" << int(SIGTERM) << false << 1;
    QTest::newRow("archiver ignoring the request is killed") << "archiver" << int(SIGTERM) << true << 1;
    QTest::newRow("a second signal ends the program, and the archiver with it")
        << "archiver" << int(SIGTERM) << true << 2;
    QTest::newRow("Ctrl+C while a part is written") << "writer" << int(SIGINT) << false << 1;
}

void TestCli::interrupt()
{
    QFETCH(QString, when);
    QFETCH(int, signal);
    QFETCH(bool, ignoresRequest);
    QFETCH(int, times);
    Workspace w;
    // Three chunks of archive (the headless build copies 4 MiB at a time): the stop comes between two.
    const qint64 chunk = qint64(4) << 20;
    WriteBytes(w.ArchAdr + QStringLiteral("/velky.bin"), Pattern(int(3 * chunk), 'v'));
    w.Save();
    QProcess process;
    process.setProcessEnvironment(w.Env);
    QByteArray err;
    int fifo = -1;
    const QString pidFile = w.Root + QStringLiteral("/archiver.pid");
    const bool progressLine = QByteArray(QTest::currentDataTag()).contains("progress line");
    if (when == QLatin1String("archiver")) {
        // 12 MiB packed 4 KiB at a time: minutes of packing, the archive growing.
        w.Env.insert(QStringLiteral("ZELVAKON_RAR_SLOW_MS"), QStringLiteral("20"));
        w.Env.insert(QStringLiteral("ZELVAKON_RAR_PID"), pidFile);
        if (ignoresRequest)
            w.Env.insert(QStringLiteral("ZELVAKON_RAR_IGNORE_TERM"), QStringLiteral("1"));
        process.setProcessEnvironment(w.Env);
    } else {
        // stderr into a one-page pipe that has room for exactly the first two lines: the program then
        // waits in its report of the first chunk, with the header and that chunk on disk.
        const QString path = w.Root + QStringLiteral("/stderr.fifo");
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        fifo = open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK);
        QVERIFY(fifo >= 0);
        const int capacity = fcntl(fifo, F_SETPIPE_SZ, 4096);
        QVERIFY(capacity > 0);
        const QByteArray first = "Projekt:     Hra.zpf\nSpouštím WinRAR...\n";
        const QByteArray fill(capacity - first.size(), '#');
        QCOMPARE(write(fifo, fill.constData(), size_t(fill.size())), ssize_t(fill.size()));
        process.setStandardErrorFile(path);
    }
    process.start(CliPath, w.BuildArgs());
    QVERIFY(process.waitForStarted());
    if (when == QLatin1String("archiver")) {
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo(w.ArchivePath()).size() > 0; }, 10000));
        if (progressLine) {
            // Not a terminal: a plain line every five seconds.
            QVERIFY(QTest::qWaitFor([&] { return (err += process.readAllStandardError()).contains("\nArchivace: "); },
                                    10000));
            QVERIFY2(QRegularExpression(QStringLiteral("\nArchivace: 0:0[5-9], archiv.rar [1-9][0-9]* kB z 1234 kB\n"))
                         .match(QString::fromUtf8(err))
                         .hasMatch(),
                     err);
        }
    } else {
        // The data file is written under a temporary name beside its own until it is whole.
        const qint64 firstChunk = 118 + 3 + 4 + 10 + chunk;
        auto written = [&] {
            const QFileInfoList files = QDir(w.P.Vystup).entryInfoList({QStringLiteral(".Hra.dat.*.tmp")},
                                                                       QDir::Files | QDir::Hidden);
            return files.size() == 1 ? files[0].size() : -1;
        };
        QVERIFY2(QTest::qWaitFor([&] { return written() >= firstChunk; }, 10000),
                 "the writer never reached its first chunk");
        QTest::qWait(50);
        QCOMPARE(written(), firstChunk);  // and waits there
    }
    QCOMPARE(kill(pid_t(process.processId()), signal), 0);
    if (times == 2) {
        QTest::qWait(300);
        QCOMPARE(kill(pid_t(process.processId()), signal), 0);
    }
    QElapsedTimer timer;
    timer.start();
    char buffer[4096];
    while (!process.waitForFinished(20) && timer.elapsed() < 20000) {
        if (fifo >= 0) {
            for (ssize_t n; (n = read(fifo, buffer, sizeof buffer)) > 0;)
                err += QByteArray(buffer, n);
        }
    }
    if (fifo >= 0) {
        for (ssize_t n; (n = read(fifo, buffer, sizeof buffer)) > 0;)
            err += QByteArray(buffer, n);
        close(fifo);
        qsizetype filled = 0;
        while (filled < err.size() && err[filled] == '#')
            ++filled;
        err = err.mid(filled);
    } else {
        err += process.readAllStandardError();
    }
    if (when == QLatin1String("archiver")) {
        // The archiver never outlives the build, however the build ended.
        const QByteArray pid = ReadBytes(pidFile).trimmed();
        QVERIFY(!pid.isEmpty());
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QByteArray stat = ReadBytes(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
                return stat.isEmpty() || stat.mid(stat.lastIndexOf(')') + 2, 1) == "Z";
            },
            1000));
        // Asked, then killed two seconds later.
        QVERIFY2(ignoresRequest == (timer.elapsed() >= 1900) || times == 2, QByteArray::number(timer.elapsed()));
    }
    if (times == 2) {
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        return;
    }
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 128 + signal);
    QVERIFY2(err.endsWith("Sestavování bylo přerušeno.\n"), err);
    if (when == QLatin1String("archiver"))
        QVERIFY2(!QFile::exists(w.ArchivePath()), "the partial archive was left behind");
    if (when == QLatin1String("writer"))
        QVERIFY2(err.contains("Spouštím WinRAR...\nPřipojuji archiv...\n"), err);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    QVERIFY2(!QFile::exists(w.DatPath()), "the partial data file was left behind");
    QVERIFY(!QFile::exists(w.ExePath()));
    QCOMPARE(QDir(w.P.Vystup).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestCli::badDataFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");  // the start of the explanation

    const QByteArray good = DataFile({"ARCHIV", "", "", "readme", ""}, {"Hra", "1234", "C:\\Hry", "", "", ""});
    auto with = [&good](int offset, qint32 value) {
        QByteArray bytes = good;
        qToLittleEndian<qint32>(value, bytes.data() + offset);
        return bytes;
    };
    QTest::newRow("empty file") << QByteArray() << "Soubor je kratší než hlavička";
    QTest::newRow("cut inside the magic") << good.left(10) << "Soubor je kratší než hlavička";
    QTest::newRow("cut one byte short of the header") << good.left(117) << "Soubor je kratší než hlavička";
    QTest::newRow("cut inside the texts") << good.left(120) << "Hlavička, texty a části potřebují";
    QTest::newRow("cut inside the readme") << good.left(good.size() - 5 - 3) << "Hlavička, texty a části potřebují";
    QByteArray magic = good;
    magic[5] = 'X';
    QTest::newRow("magic changed") << magic << "Soubor nezačíná textem";
    QTest::newRow("negative archive size") << with(22, -1) << "Velikost archivu v hlavičce je záporná (-1)";
    QTest::newRow("negative music size") << with(30, INT_MIN) << "Velikost hudby v hlavičce je záporná";
    QTest::newRow("negative title length") << with(42, -5) << "Délka názvu v hlavičce je záporná (-5)";
    QTest::newRow("negative command line length") << with(62, -1) << "Délka příkazové řádky v hlavičce je záporná";
    QTest::newRow("archive beyond the end") << with(22, 0x7FFFFFFF) << "Hlavička, texty a části potřebují";
    QByteArray all = good;
    for (int offset = 22; offset < 66; offset += 4)
        qToLittleEndian<qint32>(0x7FFFFFFF, all.data() + offset);
    QTest::newRow("every size and length at its maximum") << all << "Hlavička, texty a části potřebují";
    QTest::newRow("one byte more than the file holds") << with(22, 6 + 5 + 1) << "Hlavička, texty a části potřebují";
    for (const quint32 seed : {1u, 2u, 3u, 4u}) {
        QRandomGenerator random(seed);
        QByteArray bytes(int(random.bounded(1, 3000)), '\0');
        random.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        QTest::newRow(qPrintable(QStringLiteral("random bytes, seed %1").arg(seed))) << bytes << "";
        bytes.replace(0, 22, "Datovy soubor Zelvakon");
        QTest::newRow(qPrintable(QStringLiteral("magic then random bytes, seed %1").arg(seed))) << bytes << "";
    }
    // What no finished build writes: a killed build's file, or parts without their tail.
    QTest::newRow("empty archive part")
        << DataFile({"", "", "", "readme", ""}, {"Hra", "1", "C:\\", "", "", ""}) << "Archiv v datovém souboru je prázdný";
    QTest::newRow("cut by a killed build after the side texts")
        << DataFile({"ARCHIV", "", "", "readme", ""}, {"Hra", "1", "C:\\", "", "", ""}, 0, {}, "")
        << "Za částmi chybí Unrar.dll";
    QTest::newRow("tail that is no Windows image")
        << DataFile({"ARCHIV", "", "", "readme", ""}, {"Hra", "1", "C:\\", "", "", ""}, 0, {}, "UNRAR")
        << "Unrar.dll za částmi nezačíná znaky MZ";
    QTest::newRow("a folder") << QByteArray("folder") << "Nejde o obyčejný soubor.";
    QTest::newRow("a named pipe") << QByteArray("fifo") << "Nejde o obyčejný soubor.";
    QTest::newRow("no such file") << QByteArray("missing") << "Soubor neexistuje.";
}

void TestCli::badDataFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Instal.dat"));
    if (bytes == "folder")
        QDir().mkpath(path);
    else if (bytes == "fifo")
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (bytes != "missing")
        WriteBytes(path, bytes);
    const QString out = dir.filePath(QStringLiteral("out"));
    const QList<QStringList> commands{{QStringLiteral("inspect"), path},
                                      {QStringLiteral("inspect"), path, QStringLiteral("--json")},
                                      {QStringLiteral("extract"), path, out}};
    for (const QStringList& command : commands) {
        const Result r = Run(command);
        QVERIFY2(!r.Crashed, qPrintable(command.join(QLatin1Char(' '))));
        QCOMPARE(r.Code, 1);
        const QString prefix = path + QStringLiteral(": ") + reason;
        if (command.contains(QStringLiteral("--json"))) {
            // A script reads the failure from stdout, as one object.
            QCOMPARE(r.Err, QByteArray());
            const QJsonObject failure = QJsonDocument::fromJson(r.Out).object();
            QCOMPARE(failure.value("status").toString(), QStringLiteral("failed"));
            QCOMPARE(failure.value("title").toString(), QStringLiteral("Chyba"));
            QVERIFY2(failure.value("message").toString().startsWith(prefix), r.Out);
            QCOMPARE(r.Out.count('\n'), 1);
        } else {
            QCOMPARE(r.Out, QByteArray());
            QVERIFY2(QString::fromUtf8(r.Err).startsWith(QStringLiteral("Chyba: ") + prefix), r.Err);
            QCOMPARE(r.Err.count('\n'), 1);
        }
    }
    QVERIFY2(!QFileInfo::exists(out), "extract wrote before the file was verified");
}

void TestCli::musicNameStaysInsideTheFolder_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("written");

    QTest::newRow("plain name") << QByteArray("song.mid") << "song.mid";
    QTest::newRow("Czech name in Windows-1250") << QByteArray("\x9Elu\x9D.mid") << "žluť.mid";
    QTest::newRow("climbing out with slashes") << QByteArray("../../ven.mid") << "ven.mid";
    QTest::newRow("climbing out with backslashes") << QByteArray("..\\..\\ven.mid") << "ven.mid";
    QTest::newRow("absolute path") << QByteArray("/tmp/ven.mid") << "ven.mid";
    QTest::newRow("drive-relative Windows name") << QByteArray("C:ven.mid") << "ven.mid";
    QTest::newRow("only the parent folder") << QByteArray("..") << "Hudba";
    QTest::newRow("name ending in a separator") << QByteArray("Hudba\\") << "Hudba";
    QTest::newRow("empty name") << QByteArray() << "Hudba";
    QTest::newRow("another part's name") << QByteArray("unrar.DLL") << "Hudba-unrar.DLL";
    QTest::newRow("line break in the name") << QByteArray("a\nb.mid") << "a_b.mid";
}

void TestCli::musicNameStaysInsideTheFolder()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, written);
    QTemporaryDir dir;
    const QString dat = dir.filePath(QStringLiteral("Instal.dat"));
    WriteBytes(dat, DataFile({"A", "", "MUSIC", "", ""}, {"Hra", "1", "C:\\", stored, "", ""}, 0, {}, "MZ"));
    const QString out = dir.filePath(QStringLiteral("a/b/out"));
    const Result r = Run({QStringLiteral("extract"), dat, out});
    QVERIFY2(r.Code == 0 && !r.Crashed, r.Err);
    QStringList files{QStringLiteral("Instal.dat"), QStringLiteral("a/b/out/") + written,
                      QStringLiteral("a/b/out/Unrar.dll"), QStringLiteral("a/b/out/archiv.rar")};
    files.sort();
    QCOMPARE(FilesBelow(dir.path()), files);
    QCOMPARE(ReadBytes(out + QLatin1Char('/') + written), QByteArray("MUSIC"));
}

void TestCli::storedControlCharactersAreNotPrinted()
{
    QTemporaryDir dir;
    const QString dat = dir.filePath(QStringLiteral("Instal.dat"));
    WriteBytes(dat, DataFile({"A", "", "", "", ""}, {"\x1B]2;pwned\x07\x9Elu\x9D", "1", "C:\\", "", "", ""}, 7));
    const Result text = Run({QStringLiteral("inspect"), dat});
    QVERIFY2(text.Code == 0 && !text.Crashed, text.Err);
    QVERIFY(!text.Out.contains('\x1B') && !text.Out.contains('\x07'));
    QVERIFY2(text.Out.contains("\\x1b]2;pwned\\x07žluť"), text.Out);
    const Result json = Run({QStringLiteral("inspect"), dat, QStringLiteral("--json")});
    QVERIFY2(json.Code == 0, json.Err);
    const QJsonObject root = QJsonDocument::fromJson(json.Out).object();
    QCOMPARE(root.value("texts").toObject().value("Nazev").toString(), QStringLiteral("\x1B]2;pwned\x07žluť"));
    QCOMPARE(root.value("Zeptat").toInt(), 1);  // any non-zero flag asks
    QCOMPARE(root.value("sizes").toObject().value("unrar").toInt(), 5);
}

void TestCli::dirsizeAsTheFolderField_data()
{
    QTest::addColumn<QString>("folder");  // below the private folder
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("error");  // @ for the private folder
    QTest::newRow("files at every depth, hidden ones included") << "Data" << QByteArray("7\n") << "";
    QTest::newRow("empty folder") << "Prazdna" << QByteArray("0\n") << "";
    QTest::newRow("missing folder is no empty folder")
        << "Nic" << QByteArray() << "Chyba: Adresář @/Nic neexistuje.\n";
    QTest::newRow("a file, not a folder") << "Data/a.bin" << QByteArray() << "Chyba: @/Data/a.bin není adresář.\n";
}

void TestCli::dirsizeAsTheFolderField()
{
    QFETCH(QString, folder);
    QFETCH(QByteArray, expected);
    QFETCH(QString, error);
    TestEnv env;
    const QString root = env.Dir.path();
    QDir().mkpath(root + QStringLiteral("/Data/x/y"));
    QDir().mkpath(root + QStringLiteral("/Prazdna"));
    WriteBytes(root + QStringLiteral("/Data/a.bin"), Pattern(1000, 'a'));
    WriteBytes(root + QStringLiteral("/Data/x/.skryty"), Pattern(2048, 'b'));
    WriteBytes(root + QStringLiteral("/Data/x/y/c.bin"), Pattern(5000, 'c'));  // 8048 bytes in all
    const QString path = root + QLatin1Char('/') + folder;
    const Result r = Run({QStringLiteral("dirsize"), path});
    QVERIFY(!r.Crashed);
    QCOMPARE(r.Out, expected);
    if (!error.isEmpty()) {
        QCOMPARE(r.Code, 1);
        QCOMPARE(QString::fromUtf8(r.Err), error.replace(QLatin1Char('@'), root));
        return;
    }
    QCOMPARE(r.Code, 0);
    // What the program writes into the disk space field for the same folder.
    TMainForm* main = env.Start();
    Ui(main).Dir2AddEdit->setText(path);
    QCOMPARE(Ui(main).SpaceEdit->text().toUtf8() + '\n', r.Out);
}

void TestCli::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");  // the start of stdout
    QTest::addColumn<QByteArray>("err");  // the start of stderr

    const QByteArray usage = "Použití:\n";
    QTest::newRow("no command") << QStringList{} << 2 << QByteArray()
                                << QByteArray("zelvakon-cli: chybí příkaz\n" + usage);
    QTest::newRow("unknown command") << QStringList{"pack", "x"} << 2 << QByteArray()
                                     << QByteArray("zelvakon-cli: neznámý příkaz 'pack'\n" + usage);
    QTest::newRow("unknown option") << QStringList{"build", "x.zpf", "--fast"} << 2 << QByteArray()
                                    << QByteArray("zelvakon-cli: neznámá volba '--fast'\n" + usage);
    QTest::newRow("--json is no option of extract")
        << QStringList{"extract", "x.dat", "out", "--json"} << 2 << QByteArray()
        << QByteArray("zelvakon-cli: neznámá volba '--json'\n");
    QTest::newRow("a wrong build line is JSON with --json")
        << QStringList{"build", "--json"} << 2
        << QByteArray(R"({"message":"příkaz build čeká 1 parametr","status":"refused","title":"zelvakon-cli"})"
                      "\n")
        << usage;
    QTest::newRow("--winrar without its path")
        << QStringList{"build", "x.zpf", "--winrar"} << 2 << QByteArray()
        << QByteArray("zelvakon-cli: volba --winrar potřebuje cestu\n");
    QTest::newRow("data file name with a path")
        << QStringList{"build", "x.zpf", "--data-name", "../ven"} << 2 << QByteArray()
        << QByteArray("zelvakon-cli: volba --data-name: jméno nesmí obsahovat znaky . : \\ /\n");
    QTest::newRow("installer name with an extension")
        << QStringList{"build", "x.zpf", "--installer-name=Setup.exe"} << 2 << QByteArray()
        << QByteArray("zelvakon-cli: volba --installer-name: jméno nesmí obsahovat znaky . : \\ /\n");
    QTest::newRow("build --help") << QStringList{"build", "--help"} << 0
                                  << QByteArray("Použití: zelvakon-cli build PROJEKT.zpf [volby]\n\nbuild ")
                                  << QByteArray();
    QTest::newRow("COMMAND --help after its words")
        << QStringList{"inspect", "x.dat", "--help"} << 0
        << QByteArray("Použití: zelvakon-cli inspect SOUBOR.dat [--json]\n") << QByteArray();
    QTest::newRow("--program-folder belongs to build")
        << QStringList{"inspect", "x.dat", "--program-folder", "d"} << 2 << QByteArray()
        << QByteArray("zelvakon-cli: neznámá volba '--program-folder'\n");
    QTest::newRow("--program-folder without its folder")
        << QStringList{"build", "x.zpf", "--program-folder"} << 2 << QByteArray() << QByteArray("zelvakon-cli: volba");
    QTest::newRow("build without a project")
        << QStringList{"build"} << 2 << QByteArray() << QByteArray("zelvakon-cli: příkaz build čeká 1 parametr\n");
    QTest::newRow("extract without its folder") << QStringList{"extract", "x.dat"} << 2 << QByteArray()
                                                << QByteArray("zelvakon-cli: příkaz extract čeká 2 parametry\n");
    QTest::newRow("one argument too many")
        << QStringList{"dirsize", "a", "b"} << 2 << QByteArray() << QByteArray("zelvakon-cli: příkaz dirsize");
    QTest::newRow("--help with more words")
        << QStringList{"--help", "build"} << 2 << QByteArray() << QByteArray("zelvakon-cli: neznámý příkaz '--help'\n");
    QTest::newRow("--help") << QStringList{"--help"} << 0 << usage << QByteArray();
    QTest::newRow("--version") << QStringList{"--version"} << 0 << QByteArray("zelvakon-cli 0.") << QByteArray();
    QTest::newRow("a name after -- may start with a dash")
        << QStringList{"dirsize", "--", "-nic"} << 1 << QByteArray() << QByteArray("Chyba: Adresář -nic neexistuje.\n");
}

void TestCli::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    const Result r = Run(args);
    QVERIFY(!r.Crashed);
    QCOMPARE(r.Code, code);
    QVERIFY2(r.Out.startsWith(out) && (!out.isEmpty() || r.Out.isEmpty()), r.Out);
    QVERIFY2(r.Err.startsWith(err) && (!err.isEmpty() || r.Err.isEmpty()), r.Err);
}

void TestCli::scriptedBuilds_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("options");  // @ for the private folder
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");  // stdout, @ for the private folder
    QTest::addColumn<QString>("err");  // the end of stderr

    const QString done = R"({"data":"@/Vystup/Hra.dat","installer":"@/Vystup/Setup.exe","message":"Hotovo.","status":"done"})";
    QTest::newRow("relative paths from the project's folder, started elsewhere")
        << "relative" << QStringList{} << 0 << "Hotovo.\n" << "Připojuji soubor Unrar.dll...\n";
    QTest::newRow("overrides for one run, project file untouched")
        << "overrides"
        << QStringList{"--winrar", "@/jiny/WinRAR", "--output", "@/Jinam", "--installer-name", "Instalace",
                       "--data-name=Data"}
        << 0 << "Hotovo.\n" << "Připojuji soubor Unrar.dll...\n";
    QTest::newRow("--output is checked as the project's folder is")
        << "" << QStringList{"--output", "@/Nic/Vystup"} << 2 << ""
        << "Chyba: Výstupní adresář pro datový soubor nelze vytvořit.\n";
    QTest::newRow("--winrar is checked by name") << "" << QStringList{"--winrar", "@/Hra/hra.exe"} << 2 << ""
                                                 << "Chyba: Pravděpodobně se nejedná a spustitelný soubor WinRARa.\n";
    QTest::newRow("--json: done") << "" << QStringList{"--json"} << 0 << done + "\n" << "Unrar.dll...\n";
    QTest::newRow("--json: refused")
        << "space-zero" << QStringList{"--json"} << 2
        << R"({"message":"Místo na disku, které bude program potřebovat, musí být větší než nula.","status":"refused","title":"Upozornění"})"
           "\n"
        << "Projekt:     Hra.zpf\n";
    QTest::newRow("--json: failed")
        << "ZELVAKON_RAR_EXIT=2" << QStringList{"--json"} << 1
        << R"({"message":"WinRAR skončil s chybovým kódem 2, archiv nemusí být úplný.\nSestavování bylo přerušeno.","status":"failed","title":"Chyba"})"
           "\n"
        << "Spouštím WinRAR...\n";
    QTest::newRow("--quiet: nothing at all when it works") << "" << QStringList{"--quiet"} << 0 << "" << "";
    QTest::newRow("--quiet: the error still")
        << "ZELVAKON_RAR_NO_ARCHIVE=1" << QStringList{"--quiet"} << 1 << "" << "Chyba: Archiv nelze otevřít.\n";
    QTest::newRow("--verbose passes the archiver's output through")
        << "ZELVAKON_RAR_FLOOD=3" << QStringList{"--verbose"} << 0 << "Hotovo.\n"
        << "Spouštím WinRAR...\nxxxxxxPřipojuji archiv...\nPřipojuji soubor Unrar.dll...\n";
}

void TestCli::scriptedBuilds()
{
    QFETCH(QString, change);
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    Workspace w;
    QString workingFolder;
    if (change == QLatin1String("relative")) {
        w.P.ArchAdr = QStringLiteral("../Hra");
        w.P.Vystup = QStringLiteral("../Vystup");
        w.P.Hudba = QStringLiteral("../Hudba/píseň.mid");
        WriteBytes(w.Root + QStringLiteral("/Hudba/píseň.mid"), "MThd song");
        workingFolder = w.Root + QStringLiteral("/Obrazky");
    } else if (change == QLatin1String("overrides")) {
        w.P.WinRARExe = w.Root + QStringLiteral("/nic/WinRAR");  // would not start
        QDir().mkpath(w.Root + QStringLiteral("/jiny"));
        QVERIFY(QFile::copy(StandIn, w.Root + QStringLiteral("/jiny/WinRAR")));
    } else if (change == QLatin1String("space-zero")) {
        w.P.DiskMisto = QStringLiteral("0");
    } else if (change.contains(QLatin1Char('='))) {
        w.Env.insert(change.section(QLatin1Char('='), 0, 0), change.section(QLatin1Char('='), 1));
    }
    w.Save();
    const QByteArray projectBytes = ReadBytes(w.ProjectFile);
    for (QString& option : options)
        option.replace(QLatin1Char('@'), w.Root);
    const Result r = Run(w.BuildArgs() + options, w.Env, CliPath, workingFolder);
    QVERIFY(!r.Crashed);
    QCOMPARE(QString::fromUtf8(r.Out), out.replace(QLatin1Char('@'), w.Root));
    if (err.isEmpty())
        QCOMPARE(r.Err, QByteArray());
    else
        QVERIFY2(QString::fromUtf8(r.Err).endsWith(err), r.Err);
    QCOMPARE(r.Code, code);
    QCOMPARE(ReadBytes(w.ProjectFile), projectBytes);
    if (change == QLatin1String("relative")) {
        const QString dat = w.Root + QStringLiteral("/Vystup/Hra.dat");
        const Result inspect = Run({QStringLiteral("inspect"), dat, QStringLiteral("--json")});
        QVERIFY2(inspect.Code == 0, inspect.Err);
        const QJsonObject sizes = QJsonDocument::fromJson(inspect.Out).object().value("sizes").toObject();
        QCOMPARE(sizes.value("archive").toInt(), PackedFolder().size());
        QCOMPARE(sizes.value("music").toInt(), 9);
    } else if (change == QLatin1String("overrides")) {
        QCOMPARE(ReadBytes(w.Root + QStringLiteral("/Jinam/Instalace.exe")), w.Vorvanex);
        QVERIFY(ReadBytes(w.Root + QStringLiteral("/Jinam/Data.dat")).contains(PackedFolder()));
        QVERIFY(!QFileInfo::exists(w.P.Vystup));
    }
    if (code == 2)
        QVERIFY(!QFileInfo::exists(w.DatPath()));
}

void TestCli::realRarReadBackByAnotherReader()
{
    const QString rar = QStandardPaths::findExecutable(QStringLiteral("rar"));
    if (rar.isEmpty())
        QSKIP("rar (RAR for Linux, Debian non-free) is not installed; scripts/install-rar.sh installs it");
    const QString bsdtar = QStandardPaths::findExecutable(QStringLiteral("bsdtar"));
    if (bsdtar.isEmpty())
        QSKIP("bsdtar (Debian libarchive-tools) is not installed; scripts/setup.sh installs it");
    Workspace w;
    // Nested folders, Czech names, an empty folder, a hidden file and a few MB, some of it incompressible.
    QByteArray noise(3 << 20, '\0');
    QRandomGenerator(17).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    QByteArray text;
    while (text.size() < (1 << 20))
        text += "Příliš žluťoučký kůň úpěl ďábelské ódy. " + QByteArray::number(text.size()) + "\n";
    const QMap<QString, QByteArray> added{
        {"data/úrovně/žluťoučký kůň.bin", noise},
        {"data/úrovně/hluboko/ještě hlouběji/čeština.txt", text},
        {"dokumenty/Přečti mě.txt", "Přečti mě\r\n"},
        {".skrytý", "h"}};
    for (auto it = added.cbegin(); it != added.cend(); ++it) {
        QDir().mkpath(QFileInfo(w.ArchAdr + QLatin1Char('/') + it.key()).path());
        WriteBytes(w.ArchAdr + QLatin1Char('/') + it.key(), it.value());
    }
    QDir().mkpath(w.ArchAdr + QStringLiteral("/prázdný"));
    w.P.WinRARExe = rar;
    // Started as a service might start it, without a UTF-8 locale.
    w.Env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    w.Env.remove(QStringLiteral("LANG"));
    w.Save();
    const Result build = Run(w.BuildArgs(), w.Env, CliPath, QString(), 240);
    QVERIFY2(build.Code == 0 && !build.Crashed, build.Err);
    QCOMPARE(build.Out, QByteArray("Hotovo.\n"));
    QVERIFY(!QFileInfo::exists(w.ArchivePath()));

    const QString out = w.Root + QStringLiteral("/rozbaleno");
    const Result extract = Run({QStringLiteral("extract"), w.DatPath(), out});
    QVERIFY2(extract.Code == 0, extract.Err);
    const QString archive = out + QStringLiteral("/archiv.rar");
    QVERIFY(ReadBytes(archive).startsWith("Rar!\x1A\x07\x01\x00"));  // RAR5

    // What libarchive lists, folders without their trailing slash, against what the folder holds.
    QProcessEnvironment utf8 = QProcessEnvironment::systemEnvironment();
    utf8.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    const Result list = Run({QStringLiteral("-tf"), archive}, utf8, bsdtar);
    QVERIFY2(list.Code == 0, list.Err);
    QStringList listed = QString::fromUtf8(list.Out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& name : listed)
        if (name.endsWith(QLatin1Char('/')))
            name.chop(1);
    listed.sort();
    QStringList expected;
    QDirIterator it(w.ArchAdr, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        expected << QDir(w.ArchAdr).relativeFilePath(it.next());
    expected.sort();
    QCOMPARE(listed, expected);

    const QString unpacked = w.Root + QStringLiteral("/bsdtar");
    QDir().mkpath(unpacked);
    const Result unpack = Run({QStringLiteral("-xf"), archive, QStringLiteral("-C"), unpacked}, utf8, bsdtar, QString(), 120);
    QVERIFY2(unpack.Code == 0, unpack.Err);
    const QStringList files = FilesBelow(w.ArchAdr);
    QCOMPARE(FilesBelow(unpacked), files);
    qint64 bytes = 0;
    for (const QString& file : files) {
        const QByteArray original = ReadBytes(w.ArchAdr + QLatin1Char('/') + file);
        QVERIFY2(ReadBytes(unpacked + QLatin1Char('/') + file) == original, qPrintable(file));
        bytes += original.size();
    }
    qInfo("rar %s: archive %lld bytes from %lld bytes in %lld files and %lld folders; bsdtar lists %lld entries, "
          "the same names as the folder (%s), and unpacks every file byte for byte",
          qPrintable(rar), QFileInfo(archive).size(), bytes, qint64(files.size()), qint64(expected.size() - files.size()),
          qint64(listed.size()), qPrintable(listed.join(QStringLiteral(" | "))));
}

void TestCli::windowsArchiverThroughWine()
{
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty())
        QSKIP("wine is not installed; scripts/install-wine.sh installs it");
    const QString windowsStandIn = QStringLiteral(ZELVAKON_WINE_STANDIN);
    if (!QFileInfo(windowsStandIn).isFile())
        QSKIP("the Windows stand-in was not built: x86_64-w64-mingw32-g++ (g++-mingw-w64-x86-64) was missing "
              "when the build was configured");
    Workspace w;
    QDir().mkpath(w.Root + QStringLiteral("/Program Files/WinRAR"));
    w.P.WinRARExe = w.Root + QStringLiteral("/Program Files/WinRAR/WinRAR.exe");
    QVERIFY(QFile::copy(windowsStandIn, w.P.WinRARExe));
    // A first run makes wine's prefix, which takes a while.
    const Result build = [&w] {
        w.Save();
        return Run(w.BuildArgs(), w.Env, CliPath, QString(), 240);
    }();
    QVERIFY2(build.Code == 0 && !build.Crashed, build.Err);
    QCOMPARE(build.Out, QByteArray("Hotovo.\n"));
    // The Windows program saw its paths on wine's drive Z:, and packed what the native stand-in packs.
    const QString z = QStringLiteral("Z:") + QString(w.Root).replace(QLatin1Char('/'), QLatin1Char('\\'));
    QCOMPARE(QString::fromUtf8(ReadBytes(w.Log)),
             QStringLiteral("a\n-r\n-ep1\n") + z + QStringLiteral("\\Projekty\\archiv.rar\n") + z
                 + QStringLiteral("\\Hra\\*.*\n"));
    QVERIFY(ReadBytes(w.DatPath()).contains(PackedFolder()));
}

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
