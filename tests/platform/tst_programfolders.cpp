#include "ProgramFolders.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/mount.h>

// Where the working folders and the build's parts are taken from, beside the executable or per user.
class TestProgramFolders : public QObject {
    Q_OBJECT
private slots:
    void resolve_data();
    void resolve();
    void partsFolderFor_data();
    void partsFolderFor();
    void canCreateIn_data();
    void canCreateIn();
    void canCreateInReadOnlyFileSystem();
    void perUserFolderFollowsXdgDataHome();
};

namespace {

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

void Touch(const QString& path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

}  // namespace

void TestProgramFolders::resolve_data()
{
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("havePerUser");
    QTest::addColumn<bool>("expectPerUser");
    QTest::newRow("writable folder must keep everything beside the executable") << true << true << false;
    QTest::newRow("read-only folder must move the working folders to the user") << false << true << true;
    QTest::newRow("no per-user location must not leave an empty working folder") << false << false << false;
}

void TestProgramFolders::resolve()
{
    QFETCH(bool, writable);
    QFETCH(bool, havePerUser);
    QFETCH(bool, expectPerUser);
    QTemporaryDir dir;
    const QString exe = Native(dir.path() + QStringLiteral("/opt/zelvakon"));
    QDir().mkpath(exe);
    // Three levels below: the per-user folder must be made whole, not one level like a working folder.
    const QString perUser =
        havePerUser ? Native(dir.path() + QStringLiteral("/home/.local/share/Zelvakon")) : QString();
    QStringList asked;
    const ProgramFolders folders = ProgramFolders::Resolve(exe, perUser, [&](const QString& folder) {
        asked << folder;
        return writable;
    });
    QCOMPARE(folders.Executable, exe);
    if (havePerUser)
        QCOMPARE(asked, QStringList{exe});
    QCOMPARE(folders.PerUser(), expectPerUser);
    if (expectPerUser) {
        QCOMPARE(folders.Working, perUser);
        QVERIFY(QFileInfo(perUser).isDir());
        QCOMPARE(folders.PartsFolders(), (QStringList{perUser, exe}));
    } else {
        QCOMPARE(folders.Working, exe);
        QCOMPARE(folders.PartsFolders(), QStringList{exe});
        if (havePerUser)
            QVERIFY2(!QFileInfo::exists(perUser), "a per-user folder was made that is not used");
    }
}

void TestProgramFolders::partsFolderFor_data()
{
    QTest::addColumn<bool>("perUserMode");
    QTest::addColumn<QString>("inPerUser");  // "file", "folder" or ""
    QTest::addColumn<bool>("besideExecutable");
    QTest::addColumn<QString>("expected");  // "user" or "exe"
    QTest::newRow("the user's own copy must win over the installed one") << true << "file" << true << "user";
    QTest::newRow("an installed copy must be found when the user has none") << true << "" << true << "exe";
    QTest::newRow("the user's copy alone must be found") << true << "file" << false << "user";
    QTest::newRow("nowhere: the executable's folder, as the build always used") << true << "" << false << "exe";
    QTest::newRow("a folder of that name is not the file") << true << "folder" << true << "exe";
    QTest::newRow("beside the executable the per-user folder must not be looked at")
        << false << "file" << false << "exe";
}

void TestProgramFolders::partsFolderFor()
{
    QFETCH(bool, perUserMode);
    QFETCH(QString, inPerUser);
    QFETCH(bool, besideExecutable);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString exe = Native(dir.path() + QStringLiteral("/exe"));
    const QString user = Native(dir.path() + QStringLiteral("/user"));
    QDir().mkpath(exe);
    QDir().mkpath(user);
    if (inPerUser == QLatin1String("file"))
        Touch(user + QStringLiteral("/Unrar.dll"));
    else if (inPerUser == QLatin1String("folder"))
        QDir().mkpath(user + QStringLiteral("/Unrar.dll"));
    if (besideExecutable)
        Touch(exe + QStringLiteral("/Unrar.dll"));
    Touch(user + QStringLiteral("/Vorvanex.exe"));  // another part there must not count for this one

    ProgramFolders folders;
    folders.Executable = exe;
    folders.Working = perUserMode ? user : exe;
    QCOMPARE(folders.PartsFolderFor(QStringLiteral("Unrar.dll")), expected == QLatin1String("user") ? user : exe);
}

void TestProgramFolders::canCreateIn_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<bool>("beside");  // the working folders stay beside the executable
    QTest::newRow("a writable folder") << "folder" << true << true;
    QTest::newRow("a missing folder is not writable") << "missing" << false << false;
    QTest::newRow("a file where the folder should be") << "file" << false << false;
    QTest::newRow("an installed copy's folder, writable by root, must not be written") << "installed" << true << false;
}

void TestProgramFolders::canCreateIn()
{
    QFETCH(QString, kind);
    QFETCH(bool, expected);
    QFETCH(bool, beside);
    QTemporaryDir dir;
    const QString path = Native(dir.path() + QStringLiteral("/target"));
    if (kind == QLatin1String("folder") || kind == QLatin1String("installed"))
        QDir().mkpath(path);
    else if (kind == QLatin1String("file"))
        Touch(path);
    if (kind == QLatin1String("installed"))
        Touch(path + QStringLiteral("/installed-copy"));
    QCOMPARE(ProgramFolders::CanCreateIn(path), expected);
    QCOMPARE(ProgramFolders::WorkingFoldersBeside(path), beside);
    if (kind == QLatin1String("folder"))
        QVERIFY2(QDir(path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 "the probe was left behind");
}

void TestProgramFolders::canCreateInReadOnlyFileSystem()
{
    // Root writes through any permission bits; only a read-only file system stops it.
    QTemporaryDir dir;
    const QByteArray target = QFile::encodeName(dir.path());
    if (mount("tmpfs", target.constData(), "tmpfs", MS_RDONLY, "size=64k") != 0)
        QSKIP("cannot mount a read-only tmpfs here (needs root); the install test covers the real case");
    const bool writable = ProgramFolders::CanCreateIn(dir.path());
    umount2(target.constData(), MNT_DETACH);
    QVERIFY(!writable);
}

void TestProgramFolders::perUserFolderFollowsXdgDataHome()
{
    QTemporaryDir dir;
    const bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));
    const QString folder = ProgramFolders::PerUserFolder();
    if (wasSet)
        qputenv("XDG_DATA_HOME", old);
    else
        qunsetenv("XDG_DATA_HOME");
    QCOMPARE(folder, Native(dir.path() + QStringLiteral("/Zelvakon")));
}

QTEST_GUILESS_MAIN(TestProgramFolders)
#include "tst_programfolders.moc"
