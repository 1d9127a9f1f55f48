#include "Error.h"
#include "SettingsStore.h"
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The WinRAR path store against an ini file of its own.
class TestSettingsStore : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void loadAfter_data();
    void loadAfter();
    void storesWhatItIsGiven_data();
    void storesWhatItIsGiven();
    void refusedWriteNamesTheValue_data();
    void refusedWriteNamesTheValue();
    void defaultIsTheArchiverOnPath_data();
    void defaultIsTheArchiverOnPath();

private:
    QTemporaryDir EmptyPath;
};

void TestSettingsStore::initTestCase()
{
    // No archiver on PATH: the default is where Debian's package puts rar.
    qputenv("PATH", QFile::encodeName(EmptyPath.path()));
}

namespace {
QString Stored(const QString& ini) { return QSettings(ini, QSettings::IniFormat).value("WinRARexe").toString(); }
}  // namespace

void TestSettingsStore::loadAfter_data()
{
    QTest::addColumn<QByteArray>("iniText");  // null: no file at all
    QTest::addColumn<QString>("loaded");
    QTest::addColumn<QString>("storedAfter");
    const QString def = "/usr/bin/rar";
    QTest::newRow("first start writes the default") << QByteArray() << def << def;
    QTest::newRow("stored path comes back")
        << QByteArray("WinRARexe=D:\\\\Tools\\\\WinRAR.exe\n") << "D:\\Tools\\WinRAR.exe"
        << "D:\\Tools\\WinRAR.exe";
    QTest::newRow("empty value gives the default again") << QByteArray("WinRARexe=\n") << def << def;
    QTest::newRow("other keys only: default") << QByteArray("Other=1\n") << def << def;
    QTest::newRow("UTF-8 byte order mark before the file")
        << QByteArray("\xEF\xBB\xBFWinRARexe=/opt/rar\n") << "/opt/rar" << "/opt/rar";
}

void TestSettingsStore::loadAfter()
{
    QFETCH(QByteArray, iniText);
    QFETCH(QString, loaded);
    QFETCH(QString, storedAfter);
    QTemporaryDir dir;
    const QString ini = dir.filePath("Zelvakon.ini");
    if (!iniText.isNull()) {
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray bom = "\xEF\xBB\xBF";
        if (iniText.startsWith(bom))
            file.write(bom + "[General]\n" + iniText.mid(bom.size()));
        else
            file.write("[General]\n" + iniText);
    }
    QtSettingsStore store(ini);
    QCOMPARE(store.LoadWinRarPath(), loaded);
    QCOMPARE(Stored(ini), storedAfter);
}

void TestSettingsStore::storesWhatItIsGiven_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("nextLoad");
    QTest::newRow("a path") << "D:\\Tools\\WinRAR.exe"
                            << "D:\\Tools\\WinRAR.exe";
    QTest::newRow("Czech path") << "C:\\Programy\\Žluťoučký\\WinRAR.exe"
                                << "C:\\Programy\\Žluťoučký\\WinRAR.exe";
    QTest::newRow("the stored default again") << "/usr/bin/rar"
                                              << "/usr/bin/rar";
    QTest::newRow("empty field stored empty, default on the next load")
        << QString() << "/usr/bin/rar";
}

void TestSettingsStore::storesWhatItIsGiven()
{
    QFETCH(QString, path);
    QFETCH(QString, nextLoad);
    QTemporaryDir dir;
    const QString ini = dir.filePath("Zelvakon.ini");
    QtSettingsStore store(ini);
    store.LoadWinRarPath();
    store.StoreWinRarPath(path);
    QVERIFY(QFileInfo::exists(ini));
    QCOMPARE(Stored(ini), path);
    QCOMPARE(QtSettingsStore(ini).LoadWinRarPath(), nextLoad);
}

void TestSettingsStore::refusedWriteNamesTheValue_data()
{
    QTest::addColumn<bool>("store");  // false: the default written by a load
    QTest::newRow("storing at close") << true;
    QTest::newRow("writing the default on first load") << false;
}

void TestSettingsStore::refusedWriteNamesTheValue()
{
    QFETCH(bool, store);
    QTemporaryDir dir;
    // A folder where the ini file should be: no write can succeed, even for root.
    const QString ini = dir.filePath("Zelvakon.ini");
    QVERIFY(QDir().mkdir(ini));
    QtSettingsStore settings(ini);
    try {
        if (store)
            settings.StoreWinRarPath("D:\\WinRAR.exe");
        else
            settings.LoadWinRarPath();
        QFAIL("the refused write was reported as success");
    } catch (const ZelvakonError& error) {
        QVERIFY2(error.Message().contains(QLatin1String("WinRARexe")), qPrintable(error.Message()));
    }
    QVERIFY(QFileInfo(ini).isDir());
}

void TestSettingsStore::defaultIsTheArchiverOnPath_data()
{
    QTest::addColumn<QStringList>("programs");  // executables in the two PATH folders, "a/" or "b/"
    QTest::addColumn<QString>("expected");      // "@" for the private folder
    QTest::newRow("rar on PATH") << QStringList{"a/rar"} << "@/a/rar";
    QTest::newRow("winrar when there is no rar") << QStringList{"b/winrar"} << "@/b/winrar";
    QTest::newRow("rar before winrar, wherever it is") << QStringList{"a/winrar", "b/rar"} << "@/b/rar";
    QTest::newRow("a rar that cannot run is passed over") << QStringList{"a/rar-"} << "/usr/bin/rar";
}

void TestSettingsStore::defaultIsTheArchiverOnPath()
{
    QFETCH(QStringList, programs);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const char* folder : {"a", "b"})
        QDir().mkpath(dir.filePath(folder));
    for (const QString& program : programs) {
        const bool runnable = !program.endsWith(QLatin1Char('-'));
        const QString path = dir.filePath(runnable ? program : program.chopped(1));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        if (runnable)
            file.setPermissions(file.permissions() | QFile::ExeOwner);
    }
    const QByteArray saved = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.filePath("a") + QLatin1Char(':') + dir.filePath("b")));
    const QString ini = dir.filePath("Zelvakon.ini");
    const QString loaded = QtSettingsStore(ini).LoadWinRarPath();
    qputenv("PATH", saved);
    QCOMPARE(loaded, expected.replace(QLatin1Char('@'), dir.path()));
    QCOMPARE(Stored(ini), expected);
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
