#include "Project.h"
#include "TestEnv.h"
#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

// The Debian package, built by CPack from this build tree and unpacked into a scratch root: its
// layout, its dependencies, and the installed programs started from there.
class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void packageHoldsExactlyTheProgram();
    void installedFiles_data();
    void installedFiles();
    void dependsOnWhatTheProgramLinks();
    void desktopEntryStartsTheLauncher();
    void startsBesideItsFolderWhenWritable();
    void fallsBackToPerUserFolderWhenReadOnly();
    void buildsProjectThroughCli();

private:
    QString Unpack(const QString& name);
    QProcessEnvironment UserEnvironment(const QString& home) const;
    QStringList ReadOnlyProgramFolder(const QString& root, const QStringList& command) const;
    bool CanMountReadOnly();
    static bool HasWorkingFolders(const QString& folder);
    void StartAndClose(const QString& root, bool readOnly, const QString& expectFolders, const QString& home);

    QTemporaryDir Scratch;
    QString Deb;
    QString Root;  // the package unpacked once, for the checks that only read
    QStringList Programs{QStringLiteral("zelvakon")};
    int MountState = -1;  // -1: not tried yet
};

namespace {

const QString ProgramDir = QStringLiteral("opt/zelvakon");
const char* const WorkingFolders[] = {"Projekty", "Vystup", "Obrazky", "Hudba"};

QString BuildDir() { return QFileInfo(QStringLiteral(ZELVAKON_BIN_DIR)).path(); }

struct Run {
    bool Finished = false;
    int Code = -1;
    QByteArray Out;
    QByteArray Err;
};

Run Execute(const QString& program, const QStringList& args, int timeoutMs = 30000,
            const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    Run run;
    if (!process.waitForStarted(timeoutMs))
        return run;
    run.Finished = process.waitForFinished(timeoutMs);
    if (!run.Finished) {
        process.kill();
        process.waitForFinished();
    }
    run.Code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}

QStringList Lines(const QByteArray& text)
{
    return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The libraries a binary links by name (NEEDED), with the files the loader finds for them.
QList<std::pair<QString, QString>> LinkedLibraries(const QString& binary)
{
    const QStringList loaded = Lines(Execute(QStringLiteral("ldd"), {binary}).Out);
    QList<std::pair<QString, QString>> libraries;
    for (const QString& line : Lines(Execute(QStringLiteral("readelf"), {QStringLiteral("-d"), binary}).Out)) {
        if (!line.contains(QLatin1String("(NEEDED)")))
            continue;
        const QString name = line.section(QLatin1Char('['), 1).section(QLatin1Char(']'), 0, 0);
        QString path;
        for (const QString& l : loaded) {
            if (l.trimmed().startsWith(name + QLatin1String(" => ")))
                path = l.section(QLatin1String(" => "), 1).section(QLatin1Char(' '), 0, 0);
        }
        libraries.append({name, path});
    }
    return libraries;
}

// The Debian package that owns a file; /lib and /usr/lib are one folder here, dpkg knows one of them.
QString PackageOwning(const QString& path)
{
    const QString other = path.startsWith(QLatin1String("/usr/")) ? path.mid(4) : QStringLiteral("/usr") + path;
    for (const QString& candidate : {path, QFileInfo(path).canonicalFilePath(), other}) {
        const Run search = Execute(QStringLiteral("dpkg"), {QStringLiteral("-S"), candidate});
        if (search.Code == 0)
            return QString::fromUtf8(search.Out).section(QLatin1Char(':'), 0, 0);
    }
    return QString();
}

#ifdef ZELVAKON_HAVE_CLI
QByteArray RandomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes)
        b = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}
#endif

}  // namespace

void TestInstall::initTestCase()
{
    QVERIFY(Scratch.isValid());
#ifdef ZELVAKON_HAVE_CLI
    Programs << QStringLiteral("zelvakon-cli");
#endif
    // CPack packs what the build tree holds; it does not build. The staging goes to the scratch folder.
    const QString debDir = Scratch.filePath(QStringLiteral("deb"));
    const Run cpack = Execute(QStringLiteral(ZELVAKON_CPACK),
                              {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                               BuildDir() + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-B"), debDir},
                              50000);
    QVERIFY2(cpack.Finished && cpack.Code == 0, cpack.Out + cpack.Err);
    const QStringList debs = QDir(debDir).entryList({QStringLiteral("*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    Deb = debDir + QLatin1Char('/') + debs.first();
    Root = Unpack(QStringLiteral("root"));
}

QString TestInstall::Unpack(const QString& name)
{
    const QString root = Scratch.filePath(name);
    const Run run = Execute(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), Deb, root});
    if (!run.Finished || run.Code != 0)
        qWarning("dpkg-deb -x failed: %s", run.Err.constData());
    return root;
}

void TestInstall::packageHoldsExactlyTheProgram()
{
    // Nothing of the build tree besides the program: no test helper, no stand-in archiver, no tests.
    QSet<QString> expected{ProgramDir + QStringLiteral("/Zelvakon.hlp"),
                           ProgramDir + QStringLiteral("/Readme.txt"),
                           ProgramDir + QStringLiteral("/zelvakon.svg"),
                           QStringLiteral("usr/share/applications/zelvakon.desktop"),
                           QStringLiteral("usr/share/icons/hicolor/scalable/apps/zelvakon.svg"),
                           QStringLiteral("usr/share/icons/hicolor/48x48/apps/zelvakon.png"),
                           QStringLiteral("usr/share/icons/hicolor/256x256/apps/zelvakon.png")};
    for (const QString& program : Programs) {
        expected << ProgramDir + QLatin1Char('/') + program;
        expected << QStringLiteral("usr/bin/") + program;
    }
    QSet<QString> found;
    QDirIterator it(Root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(Root).relativeFilePath(it.next());
    QCOMPARE(found, expected);
}

void TestInstall::installedFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<QString>("mustContain");
    QTest::newRow("the program in its folder") << ProgramDir + QStringLiteral("/zelvakon") << true << QString();
    QTest::newRow("the help file beside it") << ProgramDir + QStringLiteral("/Zelvakon.hlp") << false
                                             << QStringLiteral("HlavniStrana");
    QTest::newRow("the note says where Unrar.dll goes") << ProgramDir + QStringLiteral("/Readme.txt") << false
                                                         << QStringLiteral("Unrar.dll");
    QTest::newRow("the note says where Vorvanex.exe goes") << ProgramDir + QStringLiteral("/Readme.txt") << false
                                                            << QStringLiteral("Vorvanex.exe");
    QTest::newRow("the note names the per-user folder") << ProgramDir + QStringLiteral("/Readme.txt") << false
                                                         << QStringLiteral("~/.local/share/Zelvakon");
    QTest::newRow("the launcher on the PATH") << QStringLiteral("usr/bin/zelvakon") << true
                                              << QStringLiteral("exec ");
    QTest::newRow("the menu entry") << QStringLiteral("usr/share/applications/zelvakon.desktop") << false
                                    << QStringLiteral("[Desktop Entry]");
#ifdef ZELVAKON_HAVE_CLI
    QTest::newRow("the command-line program") << ProgramDir + QStringLiteral("/zelvakon-cli") << true << QString();
    QTest::newRow("its launcher") << QStringLiteral("usr/bin/zelvakon-cli") << true << QStringLiteral("exec ");
#endif
}

void TestInstall::installedFiles()
{
    QFETCH(QString, path);
    QFETCH(bool, executable);
    QFETCH(QString, mustContain);
    const QFileInfo info(Root + QLatin1Char('/') + path);
    QVERIFY2(info.isFile(), qPrintable(path));
    QCOMPARE(info.isExecutable(), executable);
    // Installed files belong to root and only root may change them.
    QCOMPARE(info.permission(QFile::WriteGroup) || info.permission(QFile::WriteOther), false);
    if (!mustContain.isEmpty())
        QVERIFY2(QString::fromUtf8(ReadBytes(info.filePath())).contains(mustContain), qPrintable(mustContain));
}

void TestInstall::dependsOnWhatTheProgramLinks()
{
    const Run field = Execute(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), Deb, QStringLiteral("Depends")});
    QVERIFY(field.Finished && field.Code == 0);
    QSet<QString> depends;  // the package names, without versions
    for (const QString& item : QString::fromUtf8(field.Out).split(QLatin1Char(','), Qt::SkipEmptyParts))
        depends << item.trimmed().section(QLatin1Char(' '), 0, 0);
    // Loaded at run time, so no linker sees them: the platform plugin, SDL with its mixer (on the
    // first music test) and the MIDI sound font.
    for (const char* name : {"qt6-qpa-plugins", "timgm6mb-soundfont", "libsdl2-2.0-0", "libsdl2-mixer-2.0-0"})
        QVERIFY2(depends.contains(QLatin1String(name)), name);
    // Every name must be a real Debian package: this machine has the whole runtime installed.
    for (const QString& name : depends) {
        const Run status =
            Execute(QStringLiteral("dpkg-query"), {QStringLiteral("-W"), QStringLiteral("-f=${Status}"), name});
        QVERIFY2(status.Out.contains("installed"), qPrintable(name + QStringLiteral(" is not a package here")));
    }
#ifdef ZELVAKON_SANITIZED
    QSKIP("a sanitizer build links its runtime and more of Qt's libraries; packages are made of plain builds");
#endif
    // Every library the shipped programs link comes from a package that the package depends on.
    for (const QString& program : Programs) {
        const auto libraries = LinkedLibraries(Root + QLatin1Char('/') + ProgramDir + QLatin1Char('/') + program);
        QVERIFY(!libraries.isEmpty());
        for (const auto& [name, path] : libraries) {
            QVERIFY2(!path.isEmpty(), qPrintable(name + QStringLiteral(" not found by ldd")));
            const QString owner = PackageOwning(path);
            QVERIFY2(!owner.isEmpty(), qPrintable(path + QStringLiteral(" belongs to no package")));
            QVERIFY2(depends.contains(owner), qPrintable(program + QStringLiteral(" links ") + name
                                                         + QStringLiteral(" of ") + owner));
        }
    }
}

void TestInstall::desktopEntryStartsTheLauncher()
{
    QMap<QString, QString> keys;
    const QStringList lines = Lines(ReadBytes(Root + QStringLiteral("/usr/share/applications/zelvakon.desktop")));
    QCOMPARE(lines.value(0), QStringLiteral("[Desktop Entry]"));
    for (const QString& line : lines.mid(1)) {
        QVERIFY2(line.contains(QLatin1Char('=')), qPrintable(line));
        keys.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    QCOMPARE(keys.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(keys.value(QStringLiteral("Name")), QStringLiteral("Zelvakon"));
    // The menu starts the launcher by name, and the icon theme finds the icon by name.
    const QString exec = keys.value(QStringLiteral("Exec"));
    QVERIFY2(QFileInfo(Root + QStringLiteral("/usr/bin/") + exec).isExecutable(), qPrintable(exec));
    const QString icon = keys.value(QStringLiteral("Icon"));
    const QString icons = Root + QStringLiteral("/usr/share/icons/hicolor/");
    for (const int size : {48, 256}) {
        QImageReader reader(icons + QStringLiteral("%1x%1/apps/").arg(size) + icon + QStringLiteral(".png"));
        QCOMPARE(reader.size(), QSize(size, size));
    }
    QXmlStreamReader svg(ReadBytes(icons + QStringLiteral("scalable/apps/") + icon + QStringLiteral(".svg")));
    QVERIFY(svg.readNextStartElement());
    QCOMPARE(svg.name(), QStringLiteral("svg"));
    while (!svg.atEnd())
        svg.readNext();
    QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
}

QProcessEnvironment TestInstall::UserEnvironment(const QString& home) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    return env;
}

// The command, run in a private mount namespace in which the program folder is read-only: root
// writes through permission bits, but not through a read-only mount. Nothing leaks to the host.
QStringList TestInstall::ReadOnlyProgramFolder(const QString& root, const QStringList& command) const
{
    return QStringList{QStringLiteral("--mount"), QStringLiteral("--propagation"), QStringLiteral("private"),
                       QStringLiteral("sh"), QStringLiteral("-c"),
                       QStringLiteral("mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\""
                                      " && shift && exec \"$@\""),
                       QStringLiteral("sh"), root + QLatin1Char('/') + ProgramDir}
           + command;
}

bool TestInstall::CanMountReadOnly()
{
    if (MountState < 0) {
        const QString probeRoot = Unpack(QStringLiteral("probe"));
        const Run run = Execute(QStringLiteral("unshare"),
                                ReadOnlyProgramFolder(probeRoot, {QStringLiteral("sh"), QStringLiteral("-c"),
                                                                  QStringLiteral("! mkdir \"$0/probe\" 2>/dev/null"),
                                                                  probeRoot + QLatin1Char('/') + ProgramDir}));
        MountState = run.Finished && run.Code == 0 ? 1 : 0;
    }
    return MountState == 1;
}

bool TestInstall::HasWorkingFolders(const QString& folder)
{
    for (const char* name : WorkingFolders) {
        if (!QFileInfo(folder + QLatin1Char('/') + QLatin1String(name)).isDir())
            return false;
    }
    return true;
}

// Starts the installed program through its launcher and lets it quit once its main window has been
// activated (the start-up benchmark's switch); by then it has made its working folders and stored
// the default WinRAR path.
void TestInstall::StartAndClose(const QString& root, bool readOnly, const QString& expectFolders, const QString& home)
{
    const QString launcher = root + QStringLiteral("/usr/bin/zelvakon");
    QProcessEnvironment env = UserEnvironment(home);
    env.insert(QStringLiteral("ZELVAKON_QUIT_AFTER_ACTIVATION"), QStringLiteral("1"));
    const Run run = readOnly ? Execute(QStringLiteral("unshare"), ReadOnlyProgramFolder(root, {launcher}), 30000, env)
                             : Execute(launcher, {}, 30000, env);
    QVERIFY2(run.Finished, "the program did not come up and quit within 30 s");
    QVERIFY2(run.Code == 0, run.Err);
    QVERIFY(HasWorkingFolders(expectFolders));
    QVERIFY(QFileInfo::exists(home + QStringLiteral("/.config/Zelvakon.ini")));
}

void TestInstall::startsBesideItsFolderWhenWritable()
{
    // A copy whose folder can be written (unpacked by the user, say) works as a portable copy.
    const QString root = Unpack(QStringLiteral("writable"));
    const QString home = Scratch.filePath(QStringLiteral("home-writable"));
    StartAndClose(root, false, root + QLatin1Char('/') + ProgramDir, home);
    QVERIFY2(!QFileInfo::exists(home + QStringLiteral("/.local/share/Zelvakon")), "a per-user folder was made");
}

void TestInstall::fallsBackToPerUserFolderWhenReadOnly()
{
    if (!CanMountReadOnly())
        QSKIP("cannot mount the program folder read-only in a private mount namespace here (needs root and unshare)");
    const QString root = Unpack(QStringLiteral("readonly"));
    const QString home = Scratch.filePath(QStringLiteral("home-readonly"));
    StartAndClose(root, true, home + QStringLiteral("/.local/share/Zelvakon"), home);
    for (const char* name : WorkingFolders)
        QVERIFY2(!QFileInfo::exists(root + QLatin1Char('/') + ProgramDir + QLatin1Char('/') + QLatin1String(name)),
                 name);
}

void TestInstall::buildsProjectThroughCli()
{
#ifndef ZELVAKON_HAVE_CLI
    QSKIP("zelvakon-cli is not part of this build, so there is no installed headless build to run");
#else
    const bool readOnly = CanMountReadOnly();
    const QString root = Unpack(QStringLiteral("cli"));
    const QString home = Scratch.filePath(QStringLiteral("home-cli"));
    const QString cli = root + QStringLiteral("/usr/bin/zelvakon-cli");
    const QProcessEnvironment env = UserEnvironment(home);

    const Run version = Execute(cli, {QStringLiteral("--version")}, 30000, env);
    QVERIFY2(version.Finished && version.Code == 0, version.Err);

    // The stand-in archiver of the build tree: its file name contains "WinRAR", as the build demands.
    QString archiver;
    for (const QFileInfo& info : QDir(QStringLiteral(ZELVAKON_BIN_DIR)).entryInfoList(QDir::Files | QDir::Executable)) {
        if (info.fileName().contains(QLatin1String("winrar"), Qt::CaseInsensitive))
            archiver = QDir::toNativeSeparators(info.filePath());
    }
    QVERIFY2(!archiver.isEmpty(), "no stand-in archiver in the build tree");

    // With a read-only program folder the parts come from the user's folder, as a user installs them.
    const QString partsFolder =
        readOnly ? home + QStringLiteral("/.local/share/Zelvakon") : root + QLatin1Char('/') + ProgramDir;
    QDir().mkpath(partsFolder);
    const QByteArray unrar = RandomBytes(5000);
    const QByteArray vorvanex = RandomBytes(7000);
    WriteBytes(partsFolder + QStringLiteral("/Unrar.dll"), unrar);
    WriteBytes(partsFolder + QStringLiteral("/Vorvanex.exe"), vorvanex);

    const QString work = Scratch.filePath(QStringLiteral("cli-work"));
    QDir().mkpath(work + QStringLiteral("/Projekty"));
    QDir().mkpath(work + QStringLiteral("/Program"));
    WriteBytes(work + QStringLiteral("/Program/setup.txt"), "hello");
    Project project;
    project.Nazev = QStringLiteral("Želví program");
    project.DiskMisto = QStringLiteral("120");
    project.ArchAdr = QDir::toNativeSeparators(work + QStringLiteral("/Program"));
    project.CilAdr = QStringLiteral("C:\\Program Files\\Zelva");
    project.WinRARExe = archiver;
    project.Vystup = QDir::toNativeSeparators(work + QStringLiteral("/Vystup"));
    project.JmenoInst = QStringLiteral("Setup");
    project.JmenoDat = QStringLiteral("Balik");
    const QString projectFile = QDir::toNativeSeparators(work + QStringLiteral("/Projekty/Zelva.zpf"));
    WriteProjectFile(projectFile, project);

    const QStringList command{cli, QStringLiteral("build"), projectFile};
    const Run build = readOnly ? Execute(QStringLiteral("unshare"), ReadOnlyProgramFolder(root, command), 50000, env)
                               : Execute(cli, command.mid(1), 50000, env);
    QVERIFY2(build.Finished && build.Code == 0, build.Err);
    QVERIFY2(build.Out.contains("Hotovo."), build.Out);
    const QByteArray data = ReadBytes(work + QStringLiteral("/Vystup/Balik.dat"));
    QVERIFY(data.size() > unrar.size());
    QVERIFY2(data.endsWith(unrar), "the data file does not end with Unrar.dll");
    QCOMPARE(ReadBytes(work + QStringLiteral("/Vystup/Setup.exe")), vorvanex);
#endif
}

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
