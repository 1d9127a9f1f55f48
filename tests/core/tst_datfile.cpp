#include "DatFormat.h"
#include "Datfile.h"
#include "TestEnv.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

// "*" stands for any text, "/" included.
bool Matches(const QString& text, const QString& pattern)
{
    const QStringList pieces = pattern.split(QLatin1Char('*'));
    if (!text.startsWith(pieces.first()) || !text.endsWith(pieces.last()))
        return false;
    qsizetype at = pieces.first().size();
    for (qsizetype i = 1; i + 1 < pieces.size(); ++i) {
        at = text.indexOf(pieces[i], at);
        if (at < 0)
            return false;
        at += pieces[i].size();
    }
    return at <= text.size() - pieces.last().size() || pieces.size() == 1;
}

void Resize(const QString& path, qint64 size)
{
    QFile file(path);
    QVERIFY(file.resize(size));
}

// A program folder, a project folder with its archive, and an output folder.
struct Fixture {
    QTemporaryDir Dir;
    QString Program = Dir.path() + QStringLiteral("/Program");
    QString Project = Dir.path() + QStringLiteral("/Projekt");
    QString Output = Dir.path() + QStringLiteral("/Vystup");
    QString Archive = Project + QStringLiteral("/archiv.rar");
    QString Picture = Dir.path() + QStringLiteral("/titul.bmp");
    QString Music = Dir.path() + QStringLiteral("/hudba.mid");
    QString Unrar = Program + QStringLiteral("/Unrar.dll");
    QString Extractor = Program + QStringLiteral("/Vorvanex.exe");
    QString DatPath = Output + QStringLiteral("/Instal.dat");
    QString ExePath = Output + QStringLiteral("/Setup.exe");

    QStringList Calls;
    std::function<void(qint32)> OnPartSize;
    std::function<void(const QString&, qint32)> OnProgress;
    std::function<bool()> Stop;

    Fixture()
    {
        for (const QString& folder : {Program, Project, Output})
            QDir().mkpath(folder);
        WriteBytes(Archive, Pattern(100000, 'a'));
        WriteBytes(Picture, Pattern(3000, 'p'));
        WriteBytes(Music, Pattern(45000, 'm'));
        WriteBytes(Unrar, Pattern(10, 'u'));
        WriteBytes(Extractor, QByteArray("MZ vorvanex"));
    }

    DatFileInputs Inputs(bool withPicture = true, bool withMusic = true) const
    {
        DatFileInputs in;
        in.UnrarFolder = in.ExtractorFolder = Program;
        in.ProjectFolder = Project;
        in.Project.Nazev = QStringLiteral("Hra");
        in.Project.DiskMisto = QStringLiteral("500");
        in.Project.CilAdr = QStringLiteral("C:\\Hry");
        in.Project.Obrazek = withPicture ? Picture : QString();
        in.Project.Hudba = withMusic ? Music : QString();
        in.Project.Vystup = Output;
        in.Project.JmenoInst = QStringLiteral("Setup");
        in.Project.JmenoDat = QStringLiteral("Instal");
        in.ReadmeStream = std::make_unique<QByteArray>("ahoj\r\n");
        return in;
    }

    DatFileReport Report()
    {
        DatFileReport report;
        report.ShowPartSize = [this](qint32 size) {
            Calls << QStringLiteral("size %1").arg(size);
            if (OnPartSize)
                OnPartSize(size);
        };
        report.ShowProgress = [this](const QString& status, qint32 position) {
            Calls << QStringLiteral("%1 %2").arg(status).arg(position);
            if (OnProgress)
                OnProgress(status, position);
        };
        report.StopRequested = [this] { return Stop && Stop(); };
        return report;
    }
};

}  // namespace

class TestDatFile : public QObject {
    Q_OBJECT
private slots:
    void streamsEveryPartInChunks();
    void largerChunksWriteTheSameBytes();
    void failures_data();
    void failures();
    void writeFailureWhenTheDiskIsFull();
    void stopBetweenChunks_data();
    void stopBetweenChunks();
    void threadCallsTheWindowOnTheGuiThread();
};

void TestDatFile::streamsEveryPartInChunks()
{
    Fixture f;
    WriteBytes(f.Music, QByteArray());  // an empty part: its size, no chunk
    DatFileWriter writer(f.Inputs(), f.Report());
    QCOMPARE(writer.Execute(), DatFileOutcome::Done);

    QCOMPARE(f.Calls, QStringList({
                          QStringLiteral("size 100000"),
                          QStringLiteral("Připojuji archiv... 40196"),
                          QStringLiteral("Připojuji archiv... 80392"),
                          QStringLiteral("Připojuji archiv... 100000"),
                          QStringLiteral("size 3000"),
                          QStringLiteral("Připojuji soubor s obrázkem... 3000"),
                          QStringLiteral("size 0"),
                          QStringLiteral("size 6"),
                          QStringLiteral("Připojuji soubor Readme.nfo... 6"),
                          QStringLiteral("size 10"),
                          QStringLiteral("Připojuji soubor Unrar.dll... 10"),
                          QStringLiteral("Hotovo. 0"),
                      }));
    const QByteArray dat = ReadBytes(f.DatPath);
    const DatCheck check = VerifyDatHeader(dat, dat.size());
    QVERIFY2(check.Ok, qPrintable(check.Error));
    QCOMPARE(check.Layout.Header.PartSizes[2], 0);  // the music
    QCOMPARE(check.Layout.Header.TextLengths[3], 9);  // the music's name "hudba.mid"
    QCOMPARE(dat.mid(check.Layout.PartOffsets[0], 100000), Pattern(100000, 'a'));
    QCOMPARE(dat.mid(check.Layout.UnrarOffset), Pattern(10, 'u'));
    QCOMPARE(ReadBytes(f.ExePath), QByteArray("MZ vorvanex"));
    QVERIFY(!QFile::exists(f.Archive));
}

void TestDatFile::largerChunksWriteTheSameBytes()
{
    Fixture f;
    DatFileWriter standard(f.Inputs(), f.Report());
    QCOMPARE(standard.Execute(), DatFileOutcome::Done);
    const QByteArray expected = ReadBytes(f.DatPath);
    WriteBytes(f.Archive, Pattern(100000, 'a'));  // a build removes the archive it appended
    f.Calls.clear();
    DatFileReport report = f.Report();
    report.ChunkBytes = 65536;
    DatFileWriter larger(f.Inputs(), std::move(report));
    QCOMPARE(larger.Execute(), DatFileOutcome::Done);
    QCOMPARE(ReadBytes(f.DatPath), expected);
    QCOMPARE(f.Calls.mid(0, 4), QStringList({QStringLiteral("size 100000"), QStringLiteral("Připojuji archiv... 65536"),
                                             QStringLiteral("Připojuji archiv... 100000"), QStringLiteral("size 3000")}));
}

void TestDatFile::failures_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("label");  // the label's text, "*" standing for any text
    QTest::addColumn<bool>("datWritten");

    QTest::newRow("archive missing") << "rm:archive" << "Chyba: Archiv nelze otevřít." << true;
    QTest::newRow("archive shrinks while appended") << "shrink:archive" << "Chyba: Chyba při připojování archivu."
                                                     << true;
    QTest::newRow("archive grows after it was measured")
        << "grow:archive" << "Chyba: Chyba při připojování archivu." << true;
    QTest::newRow("picture missing") << "rm:picture" << "Chyba: Soubor s obrázkem nelze otevřít." << true;
    QTest::newRow("picture cut short") << "shrink:picture" << "Chyba: Chyba při připojování souboru s obrázkem."
                                        << true;
    QTest::newRow("music missing") << "rm:music" << "Chyba: Soubor s hudbou nelze otevřít." << true;
    QTest::newRow("music cut short") << "shrink:music" << "Chyba: Chyba při připojování souboru s hudbou." << true;
    QTest::newRow("Unrar.dll missing") << "rm:unrar" << "Chyba: Soubor Unrar.dll nelze otevřít." << true;
    QTest::newRow("Unrar.dll cut short") << "shrink:unrar" << "Chyba: Chyba při připojování souboru Unrar.dll."
                                          << true;
    QTest::newRow("Vorvanex.exe missing") << "rm:vorvanex" << "Chyba: Vorvanex.exe nelze otevřít." << true;
    QTest::newRow("installer name taken by a folder")
        << "dir:exe" << "Chyba: Chyba při kopírování spustitelného souboru instalace." << true;
    QTest::newRow("data file name taken by a folder")
        << "dir:dat" << "Chyba: Datový soubor Instal.dat nelze vytvořit: *." << false;
    QTest::newRow("archive of 2 GiB wraps no size") << "huge:archive"
        << "Chyba: Archiv archiv.rar má 2 GiB nebo víc, to datový soubor nepojme." << false;
    QTest::newRow("picture of 2 GiB wraps no size") << "huge:picture"
        << "Chyba: Soubor s obrázkem titul.bmp má 2 GiB nebo víc, to datový soubor nepojme." << false;
    QTest::newRow("music of 2 GiB wraps no size") << "huge:music"
        << "Chyba: Soubor s hudbou hudba.mid má 2 GiB nebo víc, to datový soubor nepojme." << false;
    // The side texts are held in memory: a limit just above the archive stands in for 2 GiB.
    QTest::newRow("readme text over the limit") << "limit:readme"
        << "Chyba: Text Readme.nfo má 2 GiB nebo víc, to datový soubor nepojme." << false;
    QTest::newRow("registry text over the limit") << "limit:registry"
        << "Chyba: Text Reg.ini má 2 GiB nebo víc, to datový soubor nepojme." << false;
}

void TestDatFile::failures()
{
    QFETCH(QString, setup);
    QFETCH(QString, label);
    QFETCH(bool, datWritten);
    Fixture f;
    const QString what = setup.section(QLatin1Char(':'), 1);
    const QString path = what == QLatin1String("archive") ? f.Archive
                         : what == QLatin1String("picture") ? f.Picture
                         : what == QLatin1String("music")   ? f.Music
                         : what == QLatin1String("unrar")   ? f.Unrar
                                                            : f.Extractor;
    const qint64 size = QFileInfo(path).size();
    if (setup.startsWith(QLatin1String("rm:")))
        QVERIFY(QFile::remove(path));
    if (setup.startsWith(QLatin1String("huge:")))
        Resize(path, qint64(1) << 31);  // sparse: costs no disk
    if (setup == QLatin1String("dir:exe"))
        QVERIFY(QDir().mkpath(f.ExePath + QStringLiteral("/inside")));
    if (setup == QLatin1String("dir:dat"))
        QVERIFY(QDir().mkpath(f.DatPath + QStringLiteral("/inside")));
    if (setup.startsWith(QLatin1String("shrink:")))
        f.OnPartSize = [&](qint32 partSize) {
            if (partSize == size)
                Resize(path, partSize / 2);
        };
    if (setup.startsWith(QLatin1String("grow:"))) {
        // The first stop check comes after the parts are measured, before the file is created.
        f.Stop = [&] {
            if (QFileInfo(path).size() == size)
                WriteBytes(path, Pattern(int(size) + 1, 'a'));
            return false;
        };
    }
    const QByteArray oldDat("old data file");
    if (!setup.startsWith(QLatin1String("dir:")))
        WriteBytes(f.DatPath, oldDat);

    DatFileInputs inputs = f.Inputs();
    if (setup.startsWith(QLatin1String("limit:"))) {
        inputs.PartLimit = 100000;  // the archive's size
        auto& text = what == QLatin1String("readme") ? inputs.ReadmeStream : inputs.RegIniStream;
        text = std::make_unique<QByteArray>(100001, 'x');
    }
    DatFileWriter writer(std::move(inputs), f.Report());
    QCOMPARE(writer.Execute(), DatFileOutcome::Failed);

    QVERIFY(!f.Calls.isEmpty());
    const QString last = f.Calls.last();
    QVERIFY2(last.endsWith(QLatin1String(" 0")), qPrintable(last));  // the bar back at its start
    const QString shown = last.chopped(2);
    QVERIFY2(Matches(shown, label), qPrintable(shown));
    QVERIFY(!QFileInfo(f.ExePath).isFile());
    QVERIFY(QFile::exists(f.Archive) || setup == QLatin1String("rm:archive"));
    // Whatever the step, the earlier data file stays as it was and nothing half-written is left: a
    // file cut short could pass for a whole one (Unrar.dll has no size field).
    if (!setup.startsWith(QLatin1String("dir:")))
        QCOMPARE(ReadBytes(f.DatPath), oldDat);
    QCOMPARE(QDir(QFileInfo(f.DatPath).path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".tmp")),
             QStringList());
    if (!datWritten)  // refused before anything was written
        QVERIFY(!f.Calls.join(QLatin1Char('\n')).contains(QLatin1String("size")));
}

void TestDatFile::writeFailureWhenTheDiskIsFull()
{
    Fixture f;
    // A file size limit stands in for a full disk; the signal would end the test instead.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = 60000;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    DatFileWriter writer(f.Inputs(), f.Report());
    const DatFileOutcome outcome = writer.Execute();
    setrlimit(RLIMIT_FSIZE, &old);

    QCOMPARE(outcome, DatFileOutcome::Failed);
    const QString last = f.Calls.last();
    QVERIFY2(Matches(last, QStringLiteral("Chyba: Do datového souboru Instal.dat nelze zapisovat: *. 0")),
             qPrintable(last));
    QVERIFY(!QFile::exists(f.ExePath));
    QVERIFY(!QFile::exists(f.DatPath));  // a file cut short by the disk is not left behind
    QVERIFY(QFile::exists(f.Archive));
}

void TestDatFile::stopBetweenChunks_data()
{
    QTest::addColumn<QString>("stopAfter");  // the progress line after which the stop comes
    QTest::addColumn<int>("callsAfterStop");

    QTest::newRow("stop during the archive") << "Připojuji archiv... 40196" << 1;
    QTest::newRow("stop after the archive's last chunk") << "Připojuji archiv... 100000" << 1;
    QTest::newRow("stop after the readme") << "Připojuji soubor Readme.nfo... 6" << 1;
    QTest::newRow("stop during Unrar.dll, the last part") << "Připojuji soubor Unrar.dll... 40196" << 1;
}

void TestDatFile::stopBetweenChunks()
{
    QFETCH(QString, stopAfter);
    QFETCH(int, callsAfterStop);
    Fixture f;
    WriteBytes(f.Unrar, Pattern(90000, 'u'));
    bool stop = false;
    f.OnProgress = [&](const QString& status, qint32 position) {
        if (QStringLiteral("%1 %2").arg(status).arg(position) == stopAfter)
            stop = true;
    };
    f.Stop = [&] { return stop; };
    DatFileWriter writer(f.Inputs(), f.Report());
    QCOMPARE(writer.Execute(), DatFileOutcome::Cancelled);

    // Nothing is appended after the request: only the closing line follows it.
    const qsizetype at = f.Calls.indexOf(stopAfter);
    QVERIFY(at >= 0);
    QCOMPARE(f.Calls.size() - at - 1, qsizetype(callsAfterStop));
    QCOMPARE(f.Calls.last(), QStringLiteral("Sestavování bylo přerušeno. 0"));
    QVERIFY(!QFile::exists(f.DatPath));
    QVERIFY(!QFile::exists(f.ExePath));
    QVERIFY(QFile::exists(f.Archive));
}

namespace {

// Records where and when the writer's calls arrive.
class RecordingProgress : public DatFileProgress {
public:
    void ShowPartSize(qint32) override { Note(); }
    void ShowProgress(const QString& status, qint32) override
    {
        Note();
        Last = status;
        if (OnProgress)
            OnProgress();
    }
    void ThreadDone() override
    {
        Note();
        Done = true;
    }
    void Note()
    {
        ++Calls;
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            ++OffGuiThread;
    }
    int Calls = 0;
    int OffGuiThread = 0;
    bool Done = false;
    QString Last;
    std::function<void()> OnProgress;
};

}  // namespace

void TestDatFile::threadCallsTheWindowOnTheGuiThread()
{
    Fixture f;
    RecordingProgress progress;
    QPointer<TDatFileThread> worker = new TDatFileThread(f.Inputs(), &progress);
    QVERIFY(QTest::qWaitFor([&] { return progress.Done; }, 20000));
    QCOMPARE(progress.OffGuiThread, 0);
    QCOMPARE(progress.Last, QStringLiteral("Hotovo."));
    QVERIFY(progress.Calls > 8);
    QTRY_VERIFY(worker.isNull());  // it frees itself
    QVERIFY(QFile::exists(f.ExePath));
}

QTEST_GUILESS_MAIN(TestDatFile)
#include "tst_datfile.moc"
