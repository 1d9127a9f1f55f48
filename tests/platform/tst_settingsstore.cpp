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
    void loadAfter_data();
    void loadAfter();
    void storesWhatItIsGiven_data();
    void storesWhatItIsGiven();
    void refusedWriteNamesTheValue_data();
    void refusedWriteNamesTheValue();
};

namespace {
QString Stored(const QString& ini) { return QSettings(ini, QSettings::IniFormat).value("WinRARexe").toString(); }
}  // namespace

void TestSettingsStore::loadAfter_data()
{
    QTest::addColumn<QByteArray>("iniText");  // null: no file at all
    QTest::addColumn<QString>("loaded");
    QTest::addColumn<QString>("storedAfter");
    const QString def = "C:\\Program Files\\WinRAR\\WinRAR.exe";
    QTest::newRow("first start writes the default") << QByteArray() << def << def;
    QTest::newRow("stored path comes back")
        << QByteArray("WinRARexe=D:\\\\Tools\\\\WinRAR.exe\n") << "D:\\Tools\\WinRAR.exe"
        << "D:\\Tools\\WinRAR.exe";
    QTest::newRow("empty value gives the default again") << QByteArray("WinRARexe=\n") << def << def;
    QTest::newRow("other keys only: default") << QByteArray("Other=1\n") << def << def;
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
    QTest::newRow("the stored default again") << "C:\\Program Files\\WinRAR\\WinRAR.exe"
                                              << "C:\\Program Files\\WinRAR\\WinRAR.exe";
    QTest::newRow("empty field stored empty, default on the next load")
        << QString() << "C:\\Program Files\\WinRAR\\WinRAR.exe";
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

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
