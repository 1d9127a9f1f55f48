#include "BuildPipeline.h"
#include "ChildProcess.h"
#include "Project.h"
#include "TestEnv.h"
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// The build as both front ends prepare it, with the archiver run by the test: where each kind of stop
// leaves the build, and what a whole build hands to the writer.

class TestBuildPipeline : public QObject {
    Q_OBJECT
private slots:
    void preparesOrStops_data();
    void preparesOrStops();
};

void TestBuildPipeline::preparesOrStops_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("archiverRan");
    QTest::addColumn<bool>("archiveLeft");
    using Step = PreparedBuild::Step;
    QTest::newRow("an empty field refuses before anything runs") << "no-title" << int(Step::Fields) << false << true;
    QTest::newRow("a stop before the archiver starts it never and keeps the old archive")
        << "stop-first" << int(Step::Interrupted) << false << true;
    QTest::newRow("an archiver stopped on request leaves no partial archive")
        << "exit-stopped" << int(Step::Interrupted) << true << false;
    QTest::newRow("a failed archiver's archive stays for a look") << "exit-2" << int(Step::Archiver) << true << true;
    QTest::newRow("a whole build") << "" << int(Step::None) << true << true;
}

void TestBuildPipeline::preparesOrStops()
{
    QFETCH(QString, change);
    QTemporaryDir dir;
    const QString root = dir.path(), projectFolder = root + QStringLiteral("/Projekty");
    for (const char* folder : {"/Hra", "/User", "/Program", "/Projekty", "/Vystup"})
        QDir().mkpath(root + QLatin1String(folder));
    WriteBytes(root + QStringLiteral("/Hra/hra.exe"), "MZ hra");
    WriteBytes(root + QStringLiteral("/User/Unrar.dll"), "MZ unrar");
    WriteBytes(root + QStringLiteral("/Program/Vorvanex.exe"), "MZ vorvanex");
    WriteBytes(projectFolder + QStringLiteral("/archiv.rar"), "old");
    Project project;
    project.Nazev = change == QLatin1String("no-title") ? QString() : QStringLiteral("Hra");
    project.DiskMisto = QStringLiteral("10");
    project.ArchAdr = QStringLiteral("../Hra");  // relative paths are the project file's
    project.Vystup = QStringLiteral("../Vystup");
    project.WinRARExe = QStringLiteral("/opt/Win RAR/WinRAR");
    project.JmenoDat = project.JmenoInst = QStringLiteral("Instal");
    project.ReadmeText = QStringLiteral("čti mě");

    bool ran = false;
    BuildFrontEnd frontEnd;
    frontEnd.StopRequested = [&] { return change == QLatin1String("stop-first"); };
    frontEnd.RunArchiver = [&](const Project& resolved, const QString& arguments) {
        ran = true;
        [&] {
            QCOMPARE(resolved.WinRARExe, QStringLiteral("/opt/Win RAR/WinRAR"));
            QCOMPARE(arguments, QStringLiteral("a -r -ep1 %1/archiv.rar %2/Hra/*.*").arg(projectFolder, root));
        }();
        WriteBytes(projectFolder + QStringLiteral("/archiv.rar"), "packed");
        ChildExit exit;
        exit.Result = change == QLatin1String("exit-stopped") ? ChildExit::Kind::Stopped : ChildExit::Kind::Exited;
        exit.Code = change == QLatin1String("exit-2") ? 2 : 0;
        return exit;
    };
    const QStringList partsFolders{root + QStringLiteral("/User"), root + QStringLiteral("/Program")};
    PreparedBuild build = PrepareBuild(project, {projectFolder, partsFolders}, frontEnd);
    if (QTest::currentTestFailed())
        return;
    QTEST(int(build.StoppedAt), "step");
    QCOMPARE(build.Stop.has_value(), build.StoppedAt != PreparedBuild::Step::None);
    QTEST(ran, "archiverRan");
    QTEST(QFile::exists(projectFolder + QStringLiteral("/archiv.rar")), "archiveLeft");
    std::unique_ptr<DataFileLock> second = TakeDataFileLock(root + QStringLiteral("/Vystup/Instal.dat"));
    if (build.Stop) {
        QVERIFY(second);  // a stopped build holds no lock
        return;
    }
    QVERIFY(!second);
    const DatFileInputs& in = build.Inputs;
    QCOMPARE(in.Project.ArchAdr, root + QStringLiteral("/Hra"));
    QCOMPARE(in.Project.Vystup, root + QStringLiteral("/Vystup"));
    QCOMPARE(in.ProjectFolder, projectFolder);
    // Each part from the first folder that holds it.
    QCOMPARE(in.UnrarFolder, root + QStringLiteral("/User"));
    QCOMPARE(in.ExtractorFolder, root + QStringLiteral("/Program"));
    QVERIFY(in.ReadmeStream && *in.ReadmeStream == "\xE8ti m\xEC");
    QVERIFY(!in.RegIniStream);
}

QTEST_GUILESS_MAIN(TestBuildPipeline)
#include "tst_buildpipeline.moc"
