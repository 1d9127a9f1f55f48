#include "TestEnv.h"
#include <QAction>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void startsUntitled();
};

void TestMainForm::startsUntitled()
{
    TestEnv env;
    TMainForm* main = env.Start();
    QCOMPARE(main->windowTitle(), QStringLiteral("Zelvakon - Bezejmena.zpf"));
    QVERIFY(!main->BuildPrAct->isEnabled());
    QCOMPARE(main->RAREdit->text(), QStringLiteral("C:\\Program Files\\WinRAR\\WinRAR.exe"));
    for (const char* folder : {"Projekty", "Vystup", "Obrazky", "Hudba"})
        QVERIFY(QFileInfo(env.Path(QLatin1String(folder))).isDir());
    QVERIFY(!main->Modified);
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
