#include "Error.h"
#include "ProfileFile.h"
#include "Project.h"
#include "TestEnv.h"
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

class TestProject : public QObject {
    Q_OBJECT
private slots:
    void demoProjectByteForByte();
    void roundTripKeepsEveryField();
    void readIntegers_data();
    void readIntegers();
    void missingKeysReadEmpty();
    void firstSectionIsMainWhateverItsName();
    void copiedFileRenamesItsMainSection();
    void fileWithoutSectionsRefused_data();
    void fileWithoutSectionsRefused();
    void saveKeepsForeignLines();
    void savedFileReadsBack_data();
    void savedFileReadsBack();
    void unencodableTextRefused();
    void failedSaveLeavesEarlierFile();
    void readmeLineBreaks_data();
    void readmeLineBreaks();
    void readmeLineCount_data();
    void readmeLineCount();
};

static Project DemoProject()
{
    Project p;
    p.Nazev = "Demo";
    p.DiskMisto = "2345";
    p.ArchAdr = "C:\\Demo";
    p.WinRARExe = "C:\\Program Files\\WinRAR\\WinRAR.exe";
    p.Vystup = "C:\\Prog\\Vystup";
    p.JmenoInst = "Instal";
    p.JmenoDat = "Instal";
    return p;
}

void TestProject::demoProjectByteForByte()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Demo.zpf");
    WriteProjectFile(path, DemoProject());
    QByteArray expected = "[Demo.zpf]\r\nNazev=Demo\r\nDiskMisto=2345\r\nArchAdr=C:\\Demo\r\nCilAdr=\r\n"
                          "WinRARExe=C:\\Program Files\\WinRAR\\WinRAR.exe\r\nHudba=\r\nObrazek=\r\nNazevProg=\r\n"
                          "PrikRadka=\r\nVystup=C:\\Prog\\Vystup\r\nJmenoInst=Instal\r\nJmenoDat=Instal\r\n"
                          "SpustitPrg=0\r\nZeptat=0\r\n";
    for (const char* section : {"Rozbal", "Readme", "Konec"})
        expected += QByteArray("[") + section + "]\r\nLevy=0\r\nPravy=0\r\nHorni=0\r\nDolni=0\r\n";
    QCOMPARE(ReadBytes(path), expected);
    QCOMPARE(expected.count("\r\n"), 30);
}

void TestProject::roundTripKeepsEveryField()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Hra.zpf");
    Project p = DemoProject();
    p.Nazev = "Žluťoučký kůň €";
    p.CilAdr = "C:\\Hry\\Kůň";
    p.Hudba = "/hudba/a.mid";
    p.Obrazek = "/obr/b.bmp";
    p.SpustitPrg = true;
    p.NazevProg = "hra.exe";
    p.PrikRadka = "-x \"a b\"";
    p.Zeptat = true;
    p.Rozbal = {-5, 10, 2147483647, -2147483647 - 1};
    p.Readme = {1, 2, 3, 4};
    p.Konec = {100, 200, 300, 400};
    WriteProjectFile(path, p);
    Project back = ReadProjectFile(path);
    QVERIFY(back == p);
    // The keys of an area are written left, right, top, bottom.
    QVERIFY(ReadBytes(path).contains("[Rozbal]\r\nLevy=-5\r\nPravy=2147483647\r\nHorni=10\r\nDolni=-2147483648\r\n"));
}

void TestProject::readIntegers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << "42" << 42;
    QTest::newRow("negative") << "-7" << -7;
    QTest::newRow("hex lower prefix") << "0x1F" << 31;
    QTest::newRow("hex upper prefix") << "0X1f" << 31;
    QTest::newRow("hex all ones is minus one") << "0xFFFFFFFF" << -1;
    QTest::newRow("text gives default") << "abc" << 0;
    QTest::newRow("trailing garbage gives default") << "12abc" << 0;
    QTest::newRow("empty gives default") << "" << 0;
    QTest::newRow("out of range gives default") << "99999999999" << 0;
    QTest::newRow("bare prefix gives default") << "0x" << 0;
}

void TestProject::readIntegers()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(ReadProfileInt(text), expected);
}

void TestProject::missingKeysReadEmpty()
{
    const ProfileFile profile = ProfileFile::Parse("[x.zpf]\r\nNazev=A\r\nSpustitPrg=abc\r\nZeptat=0x2\r\n[Konec]\r\nLevy=9\r\n");
    const Project p = ReadProjectKeys(profile, "x.zpf");
    QCOMPARE(p.Nazev, "A");
    QVERIFY(p.WinRARExe.isEmpty());
    QVERIFY(p.Vystup.isEmpty());
    QVERIFY(!p.SpustitPrg);
    QVERIFY(p.Zeptat);
    QVERIFY(p.Konec == (ClickArea{9, 0, 0, 0}));
    QVERIFY(p.Rozbal == ClickArea());
}

void TestProject::firstSectionIsMainWhateverItsName()
{
    const ProfileFile profile = ProfileFile::Parse("[Other.zpf]\r\nNazev=First\r\n[Mine.zpf]\r\nNazev=Second\r\n");
    QCOMPARE(ReadProjectKeys(profile, "Mine.zpf").Nazev, "First");
}

void TestProject::copiedFileRenamesItsMainSection()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Copy.zpf");
    WriteBytes(path, "[Orig.zpf]\r\nNazev=Old\r\nExtra=keep\r\n[Rozbal]\r\nLevy=1\r\n[Copy.zpf]\r\nNazev=stale\r\n");
    Project p = DemoProject();
    p.Nazev = "New";
    WriteProjectFile(path, p);
    const ProfileFile profile = ProfileFile::Load(path);
    QCOMPARE(profile.Sections().first(), "Copy.zpf");
    QCOMPARE(profile.Sections().count("Copy.zpf"), 1);
    QCOMPARE(profile.Read("Copy.zpf", "Extra"), "keep");
    QCOMPARE(ReadProjectFile(path).Nazev, "New");
}

void TestProject::fileWithoutSectionsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("keys without section") << QByteArray("Nazev=x\r\n");
    QTest::newRow("nul bytes") << QByteArray(4096, '\0');
}

void TestProject::fileWithoutSectionsRefused()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.zpf");
    WriteBytes(path, bytes);
    QVERIFY_THROWS_EXCEPTION(ZelvakonError, ReadProjectFile(path));
}

void TestProject::saveKeepsForeignLines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Demo.zpf");
    WriteBytes(path, "; comment\n[Demo.zpf]\nNazev=old\nVlastni=1\n[Jine]\nx=y\n");
    WriteProjectFile(path, DemoProject());
    const QByteArray bytes = ReadBytes(path);
    QVERIFY2(bytes.startsWith("; comment\r\n[Demo.zpf]\r\nNazev=Demo\r\nVlastni=1\r\nDiskMisto=2345\r\n"),
             bytes.constData());
    QVERIFY(bytes.contains("[Jine]\r\nx=y\r\n"));
}

void TestProject::savedFileReadsBack_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("kept");  // a foreign line that must stay
    QTest::newRow("[Rozbal] first") << QByteArray("[Rozbal]\r\nLevy=1\r\nJiny=1\r\n") << QByteArray("Jiny=1\r\n");
    QTest::newRow("[Readme] first") << QByteArray("[Readme]\r\nJiny=2\r\n[Hra.zpf]\r\nNazev=x\r\n")
                                    << QByteArray("Jiny=2\r\n");
    QTest::newRow("[konec] first, another case") << QByteArray("; pozn\r\n[konec]\r\nDolni=3\r\n")
                                                 << QByteArray("; pozn\r\n");
    QTest::newRow("UTF-8 byte order mark") << QByteArray("\xEF\xBB\xBF[Hra.zpf]\r\nNazev=x\r\nJiny=4\r\n")
                                           << QByteArray("Jiny=4\r\n");
    QTest::newRow("LF lines") << QByteArray("[Hra.zpf]\nNazev=x\n[Jine]\nJiny=5\n") << QByteArray("[Jine]\r\nJiny=5\r\n");
}

void TestProject::savedFileReadsBack()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, kept);
    QTemporaryDir dir;
    const QString path = dir.filePath("Hra.zpf");
    WriteBytes(path, before);
    Project p = DemoProject();
    p.Rozbal = {1, 2, 3, 4};
    WriteProjectFile(path, p);
    QVERIFY(ReadProjectFile(path) == p);
    const QByteArray bytes = ReadBytes(path);
    QCOMPARE(ProfileFile::Parse(bytes).Sections().first(), "Hra.zpf");
    QVERIFY2(bytes.contains(kept), bytes.constData());
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    QVERIFY(bytes.endsWith("\r\n"));
}

void TestProject::unencodableTextRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Hra.zpf");
    for (const QString field : {"WinRARExe", "Readme.nfo"}) {  // the first from the settings, the second pasted
        Project p = DemoProject();
        (field == "WinRARExe" ? p.WinRARExe : p.ReadmeText) = QStringLiteral("C:\\Программы\\✓");
        try {
            WriteProjectFile(path, p);
            QFAIL("written");
        } catch (const ZelvakonError& error) {
            QVERIFY2(error.Message().contains(field + " obsahuje znaky"), qPrintable(error.Message()));
        }
        QVERIFY(!QFileInfo::exists(path));
    }
}

void TestProject::failedSaveLeavesEarlierFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Demo.zpf");
    WriteProjectFile(path, DemoProject());
    const QByteArray before = ReadBytes(path);
    Project big = DemoProject();
    big.Nazev = QString(600, 'x');
    // A disk that fills up during the save: a file-size limit below the new file's size.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old;
    limit.rlim_cur = 300;
    setrlimit(RLIMIT_FSIZE, &limit);
    bool failed = false;
    try {
        WriteProjectFile(path, big);
    } catch (const ZelvakonError& error) {
        failed = error.Message().contains("Demo.zpf");
    }
    setrlimit(RLIMIT_FSIZE, &old);
    QVERIFY(failed);
    QCOMPARE(ReadBytes(path), before);
}

void TestProject::readmeLineBreaks_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");
    QTest::newRow("LF") << QByteArray("a\nb\n") << "a\r\nb\r\n";
    QTest::newRow("CR") << QByteArray("a\rb") << "a\r\nb";
    QTest::newRow("CR LF kept") << QByteArray("a\r\nb") << "a\r\nb";
    QTest::newRow("mixed") << QByteArray("a\r\r\nb\n\rc") << "a\r\n\r\nb\r\n\r\nc";
    QTest::newRow("windows-1250") << QByteArray("\xE8\x9A") << "čš";
}

void TestProject::readmeLineBreaks()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("Readme.nfo");
    WriteBytes(path, file);
    QCOMPARE(LoadReadmeText(path), expected);
    SaveReadmeText(path, expected);
    QCOMPARE(LoadReadmeText(path), expected);
}

void TestProject::readmeLineCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("single break") << "\r\n" << 1;
    QTest::newRow("one line") << "a" << 1;
    QTest::newRow("one line with break") << "a\r\n" << 1;
    QTest::newRow("two lines") << "a\r\nb" << 2;
    QTest::newRow("empty line inside") << "a\r\n\r\nb\r\n" << 3;
}

void TestProject::readmeLineCount()
{
    QFETCH(QString, text);
    QFETCH(int, lines);
    QCOMPARE(ReadmeLineCount(text), lines);
}

QTEST_MAIN(TestProject)
#include "tst_project.moc"
