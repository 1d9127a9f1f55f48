#include "Archiver.h"
#include "ChildProcess.h"
#include "TestEnv.h"
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestArchiver : public QObject {
    Q_OBJECT
private slots:
    void commandLineIsExact();
    void winRarName_data();
    void winRarName();
    void oldArchive_data();
    void oldArchive();
    void exitOfTheArchiver_data();
    void exitOfTheArchiver();
    void windowsArchiverWithoutWine_data();
    void windowsArchiverWithoutWine();
};

void TestArchiver::commandLineIsExact()
{
    const QString sep = QDir::separator();
    QCOMPARE(ArchiverArguments(QStringLiteral("/b/Projekty"), QStringLiteral("/hra")),
             QStringLiteral("a -r -ep1 /b/Projekty") + sep + QStringLiteral("archiv.rar /hra") + sep
                 + QStringLiteral("*.*"));
    // Nothing is quoted or trimmed, an empty path included.
    QCOMPARE(ArchiverArguments(QStringLiteral("p b"), QString()),
             QStringLiteral("a -r -ep1 p b") + sep + QStringLiteral("archiv.rar ") + sep + QStringLiteral("*.*"));
}

void TestArchiver::winRarName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("WinRAR.exe") << "/opt/WinRAR.exe" << true;
    QTest::newRow("upper case WINRAR32.EXE") << "/opt/WINRAR32.EXE" << true;
    QTest::newRow("inside the name MyWinRar.bat") << "/opt/MyWinRar.bat" << true;
    QTest::newRow("Rar.exe") << "/opt/Rar.exe" << false;
    QTest::newRow("rar.exe in a folder named WinRAR") << "/opt/WinRAR/rar.exe" << false;
    QTest::newRow("path ending in a separator") << "/opt/WinRAR/" << false;
    QTest::newRow("RAR for Linux") << "/usr/bin/rar" << true;
    QTest::newRow("rar as part of another name") << "/usr/bin/unrar" << false;
}

void TestArchiver::winRarName()
{
    QFETCH(QString, path);
    QFETCH(bool, accepted);
    const auto refusal = CheckWinRarName(path);
    QCOMPARE(!refusal, accepted);
    if (refusal) {
        QCOMPARE(refusal->Text, QStringLiteral("Pravděpodobně se nejedná a spustitelný soubor WinRARa."));
        QCOMPARE(refusal->Title, QStringLiteral("Chyba"));
        QCOMPARE(refusal->Icon, MsgIcon::Error);
    }
}

void TestArchiver::oldArchive_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("no old archive") << "none" << true;
    QTest::newRow("old archive deleted") << "file" << true;
    QTest::newRow("dangling link deleted") << "link" << true;
    QTest::newRow("a folder named archiv.rar stops the build") << "folder" << false;
}

void TestArchiver::oldArchive()
{
    QFETCH(QString, kind);
    QFETCH(bool, goesOn);
    QTemporaryDir dir;
    const QString archive = dir.path() + QStringLiteral("/archiv.rar");
    if (kind == QLatin1String("file"))
        WriteBytes(archive, "stale");
    if (kind == QLatin1String("link"))
        QVERIFY(QFile::link(dir.path() + QStringLiteral("/gone"), archive));
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(archive + QStringLiteral("/x")));

    const auto refusal = RemoveOldArchive(dir.path());
    QCOMPARE(!refusal, goesOn);
    if (goesOn) {
        QVERIFY(!QFileInfo(archive).exists() && !QFileInfo(archive).isSymLink());
    } else {
        QVERIFY(refusal->Text.startsWith(QStringLiteral("Starý archiv ") + archive + QStringLiteral(" nelze smazat")));
        QCOMPARE(refusal->Title, QStringLiteral("Chyba"));
        QCOMPARE(refusal->Icon, MsgIcon::Error);
    }
}

void TestArchiver::exitOfTheArchiver_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");  // empty: the build goes on

    const int exited = int(ChildExit::Kind::Exited);
    QTest::newRow("success") << exited << 0 << "";
    QTest::newRow("warning 1 goes on") << exited << 1 << "";
    QTest::newRow("fatal 2 stops") << exited << 2
                                   << "WinRAR skončil s chybovým kódem 2, archiv nemusí být úplný.\nSestavování bylo "
                                      "přerušeno.";
    QTest::newRow("user break 255 stops") << exited << 255
                                          << "WinRAR skončil s chybovým kódem 255, archiv nemusí být úplný.\n"
                                             "Sestavování bylo přerušeno.";
    QTest::newRow("negative code of a crash on Windows stops")
        << exited << -1073741819
        << "WinRAR skončil s chybovým kódem -1073741819, archiv nemusí být úplný.\nSestavování bylo přerušeno.";
    QTest::newRow("killed by a signal stops") << int(ChildExit::Kind::Killed) << 9
                                              << "WinRAR byl ukončen signálem 9, archiv nemusí být úplný.\n"
                                                 "Sestavování bylo přerušeno.";
    QTest::newRow("cannot start") << int(ChildExit::Kind::NotStarted) << 0
                                  << "Nemohu spustit WinRAR.\nZkontrolujte správnost zadané cesty.";
}

void TestArchiver::exitOfTheArchiver()
{
    QFETCH(int, kind);
    QFETCH(int, code);
    QFETCH(QString, message);
    ChildExit exit;
    exit.Result = ChildExit::Kind(kind);
    exit.Code = code;
    const auto refusal = ArchiverOutcome(exit);
    QCOMPARE(refusal ? refusal->Text : QString(), message);
    if (refusal) {
        QCOMPARE(refusal->Title, QStringLiteral("Chyba"));
        QCOMPARE(refusal->Icon, MsgIcon::Error);
    }
}

void TestArchiver::windowsArchiverWithoutWine_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("refused");
    QTest::newRow("WinRAR.exe needs wine") << "/opt/WinRAR/WinRAR.exe" << true;
    QTest::newRow("upper case .EXE too") << "/opt/WINRAR.EXE" << true;
    QTest::newRow("a native program does not") << "/usr/bin/rar" << false;
    QTest::newRow("a wrapper script does not") << "/opt/winrar.sh" << false;
}

void TestArchiver::windowsArchiverWithoutWine()
{
    QFETCH(QString, path);
    QFETCH(bool, refused);
    QTemporaryDir empty;
    const QByteArray saved = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(empty.path()));
    const auto refusal = CheckWine(path);
    qputenv("PATH", saved);
    QCOMPARE(bool(refusal), refused);
    if (refusal) {
        QCOMPARE(refusal->Text, "Archivátor " + path
                                    + " je program pro Windows a ke spuštění potřebuje program wine, který nebyl "
                                      "nalezen (v PATH).\nNainstalujte wine, nebo zadejte archivátor rar pro Linux.");
        QCOMPARE(refusal->Title, QStringLiteral("Chyba"));
    }
}

QTEST_GUILESS_MAIN(TestArchiver)
#include "tst_archiver.moc"
