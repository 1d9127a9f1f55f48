#include "ChildProcess.h"
#include "TestEnv.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString StandIn = QStringLiteral(ZELVAKON_BIN_DIR "/WinRAR");

// Environment for the stand-in archiver, undone at the end of the scope.
struct EnvVar {
    QByteArray Name;
    EnvVar(const char* name, const QByteArray& value) : Name(name) { qputenv(name, value); }
    ~EnvVar() { qunsetenv(Name.constData()); }
};

}  // namespace

class TestChildProcess : public QObject {
    Q_OBJECT
private slots:
    void reportsHowTheChildEnded_data();
    void reportsHowTheChildEnded();
    void floodedOutputNeverBlocks();
    void runsAProgramWhosePathHasBlanks();
    void lastLinesAsATerminalShowsThem_data();
    void lastLinesAsATerminalShowsThem();
};

void TestChildProcess::reportsHowTheChildEnded_data()
{
    QTest::addColumn<QString>("program");  // "@" for the temporary folder
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");

    const int exited = int(ChildExit::Kind::Exited);
    QTest::newRow("exit code 0") << StandIn << QByteArray("ZELVAKON_RAR_EXIT") << QByteArray("0") << exited << 0;
    QTest::newRow("exit code 1 reported as 1") << StandIn << QByteArray("ZELVAKON_RAR_EXIT") << QByteArray("1")
                                               << exited << 1;
    QTest::newRow("exit code 255 not truncated") << StandIn << QByteArray("ZELVAKON_RAR_EXIT") << QByteArray("255")
                                                 << exited << 255;
    QTest::newRow("waits for a slow child") << StandIn << QByteArray("ZELVAKON_RAR_SLEEP_MS") << QByteArray("400")
                                            << exited << 0;
    QTest::newRow("killed by a signal") << StandIn << QByteArray("ZELVAKON_RAR_KILL") << QByteArray("1")
                                        << int(ChildExit::Kind::Killed) << 9;
    QTest::newRow("a text file is no program") << "@/notes.txt" << QByteArray() << QByteArray()
                                               << int(ChildExit::Kind::NotStarted) << 0;
    QTest::newRow("missing program") << "@/WinRAR.exe" << QByteArray() << QByteArray()
                                     << int(ChildExit::Kind::NotStarted) << 0;
    // "@/a" is a program: a path with a blank must not start it.
    QTest::newRow("a program named by the path's part before a blank")
        << "@/a b/WinRAR" << QByteArray() << QByteArray() << int(ChildExit::Kind::NotStarted) << 0;
}

void TestChildProcess::reportsHowTheChildEnded()
{
    QFETCH(QString, program);
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    QTemporaryDir dir;
    WriteBytes(dir.path() + QStringLiteral("/notes.txt"), "not a program\n");
    QVERIFY(QFile::copy(StandIn, dir.path() + QStringLiteral("/a")));
    program.replace(QLatin1Char('@'), dir.path());
    std::unique_ptr<EnvVar> env;
    if (!variable.isEmpty())
        env = std::make_unique<EnvVar>(variable.constData(), value);

    QElapsedTimer timer;
    timer.start();
    const ChildExit exit = ChildProcess().Run(program, QStringLiteral("a -r -ep1 ") + dir.path()
                                              + QStringLiteral("/x.rar ") + dir.path() + QStringLiteral("/*.*"));
    QTEST(int(exit.Result), "kind");
    if (exit.Result != ChildExit::Kind::NotStarted)
        QTEST(exit.Code, "code");
    else
        QVERIFY(!exit.Error.isEmpty());
    if (variable == "ZELVAKON_RAR_SLEEP_MS")
        QVERIFY(timer.elapsed() >= 400);
}

void TestChildProcess::floodedOutputNeverBlocks()
{
    // Far more than any pipe holds: a child writing into a pipe nobody reads would hang here.
    EnvVar flood("ZELVAKON_RAR_FLOOD", "20000000");
    EnvVar code("ZELVAKON_RAR_EXIT", "3");
    QTemporaryDir dir;
    WriteBytes(dir.path() + QStringLiteral("/a.txt"), "a");
    const ChildExit exit = ChildProcess().Run(StandIn, QStringLiteral("a -r -ep1 ") + dir.path()
                                              + QStringLiteral("/x.rar ") + dir.path() + QStringLiteral("/*.*"));
    QCOMPARE(int(exit.Result), int(ChildExit::Kind::Exited));
    QCOMPARE(exit.Code, 3);
    // One endless line: only its end is kept.
    QCOMPARE(exit.LastLines.size(), 1);
    QVERIFY(exit.LastLines[0].size() <= 8192);
}

void TestChildProcess::runsAProgramWhosePathHasBlanks()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Program Files/WinRAR");
    QDir().mkpath(folder);
    QVERIFY(QFile::copy(StandIn, folder + QStringLiteral("/WinRAR")));
    const QString log = dir.path() + QStringLiteral("/args.txt");
    EnvVar logVar("ZELVAKON_RAR_LOG", log.toLocal8Bit());
    EnvVar noArchive("ZELVAKON_RAR_NO_ARCHIVE", "1");
    const ChildExit exit = ChildProcess().Run(folder + QStringLiteral("/WinRAR"),
                                              QStringLiteral("a -r -ep1 /x/archiv.rar /y/*.*"));
    QCOMPARE(int(exit.Result), int(ChildExit::Kind::Exited));
    QCOMPARE(exit.Code, 0);
    // No shell: the mask reaches the program as written.
    QCOMPARE(ReadBytes(log), QByteArray("a\n-r\n-ep1\n/x/archiv.rar\n/y/*.*\n"));
}

void TestChildProcess::lastLinesAsATerminalShowsThem_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("progress counted back with backspaces")
        << QByteArray("Adding    /h/a.txt      \b\b\b\b 25%\b\b\b\b\b  OK \nDone\n")
        << QStringList{"Adding    /h/a.txt   OK", "Done"};
    QTest::newRow("progress rewritten after carriage returns")
        << QByteArray("10%\r55%\r100%\r\nCannot open x\r\n") << QStringList{"100%", "Cannot open x"};
    QTest::newRow("blank lines skipped, the unfinished last line kept")
        << QByteArray("\n\nRAR 7.01\n   \n\nProgram aborted") << QStringList{"RAR 7.01", "Program aborted"};
    QTest::newRow("escape and bell dropped, Czech kept")
        << QByteArray("\x1b\x07Nelze otevřít žluťoučký.txt\n") << QStringList{"Nelze otevřít žluťoučký.txt"};
    QByteArray many;
    QStringList last;
    for (int i = 1; i <= 30; ++i) {
        many += "line " + QByteArray::number(i) + "\n";
        if (i > 30 - ChildProcess::KeptLines)
            last << "line " + QString::number(i);
    }
    QTest::newRow("only the last lines kept") << many << last;
}

void TestChildProcess::lastLinesAsATerminalShowsThem()
{
    QFETCH(QByteArray, output);
    QFETCH(QStringList, lines);
    // Fed at once and byte by byte: a line split between two reads comes out the same.
    OutputTail whole, bytewise;
    whole.Add(output);
    for (const char c : output)
        bytewise.Add(QByteArray(1, c));
    QCOMPARE(whole.Lines(), lines);
    QCOMPARE(bytewise.Lines(), lines);
}

QTEST_GUILESS_MAIN(TestChildProcess)
#include "tst_childprocess.moc"
