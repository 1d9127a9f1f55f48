#include "TestEnv.h"
#include "Paths.h"
#include <QAction>
#include <QDir>
#include <QTest>

// The main window of an installed copy: the working folders and the untitled project in the
// per-user folder, the help file still beside the executable.
class TestPerUserFolder : public QObject {
    Q_OBJECT
private slots:
    void workingFoldersGoToTheUser();
};

void TestPerUserFolder::workingFoldersGoToTheUser()
{
    TestEnv env;
    const QString exe = QDir::toNativeSeparators(env.Dir.path() + QStringLiteral("/opt"));
    const QString user = env.ProgramFolder;
    QDir().mkpath(exe);
    env.Services.ExecutableFolder = exe;
    env.Services.PartsFolders = QStringList{user, exe};
    TMainForm* main = env.Start();

    for (const char* name : {"Projekty", "Vystup", "Obrazky", "Hudba"}) {
        QVERIFY2(QFileInfo(Paths::Join(user, QLatin1String(name))).isDir(), name);
        QVERIFY2(!QFileInfo::exists(Paths::Join(exe, QLatin1String(name))), name);
    }
    const QString untitled = Paths::Join(user, QStringLiteral("Projekty")) + Paths::Separator()
                             + QStringLiteral("Bezejmena.zpf");
    QCOMPARE(main->ProjectPath, untitled);
    QCOMPARE(main->Vystup, Paths::Join(user, QStringLiteral("Vystup")));

    main->ShowHelpAct->trigger();
    QCOMPARE(env.Help.Calls,
             QStringList{Paths::Join(exe, QStringLiteral("Zelvakon.hlp")) + QStringLiteral("#HlavniStrana")});

    main->NewPrAct->trigger();  // New sets the untitled project up again, in the same place
    QCOMPARE(main->ProjectPath, untitled);
    QCOMPARE(main->Vystup, Paths::Join(user, QStringLiteral("Vystup")));
    QVERIFY2(env.Dlg.Unexpected.isEmpty(), qPrintable(env.Dlg.Unexpected.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestPerUserFolder)
#include "tst_peruserfolder.moc"
