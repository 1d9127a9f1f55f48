#include "Project.h"
#include "TestEnv.h"
#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

// The Debian packages zelvakon-cli and zelvakon, built by CPack from this build tree and unpacked into
// a scratch root: their layout, their dependencies, Debian's own checks, and the installed programs
// started from there.
class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void packageHoldsExactlyTheProgram();
    void installedFiles_data();
    void installedFiles();
    void dependsOnWhatTheProgramLinks();
    void desktopEntryStartsTheLauncher();
    void projectFilesHaveTheirOwnType();
    void helpFindsItsPictures_data();
    void helpFindsItsPictures();
    void debianChecksPass();
    void installedCopyNeverWritesIntoItsFolder();
    void fallsBackToPerUserFolderWhenReadOnly();
    void opensProjectNamedOnCommandLine();
    void buildsProjectThroughCli();

private:
    QString Unpack(const QString& name);
    QString Deb(const QString& package) const { return Debs.value(package); }
    QProcessEnvironment UserEnvironment(const QString& home) const;
    QStringList ReadOnlyProgramFolder(const QString& root, const QStringList& command) const;
    bool CanMountReadOnly();
    static bool HasWorkingFolders(const QString& folder);
    void StartAndClose(const QString& root, bool readOnly, const QString& expectFolders, const QString& home);

    QTemporaryDir Scratch;
    QMap<QString, QString> Debs;  // package name: file
    QString Root;                 // both packages unpacked once, for the checks that only read
    const QStringList Programs{QStringLiteral("zelvakon"), QStringLiteral("zelvakon-cli")};
    int MountState = -1;  // -1: not tried yet
};

namespace {

const QString ProgramDir = QStringLiteral("usr/lib/zelvakon");
const char* const WorkingFolders[] = {"Projekty", "Vystup", "Obrazky", "Hudba"};

QString BuildDir() { return QFileInfo(QStringLiteral(ZELVAKON_BIN_DIR)).path(); }

struct Run {
    bool Finished = false;
    int Code = -1;
    QByteArray Out;
    QByteArray Err;
};

Run Execute(const QString& program, const QStringList& args, int timeoutMs = 30000,
            const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
            const QString& workingFolder = QString())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workingFolder);
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

QByteArray RandomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes)
        b = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

// The files of a folder tree, relative to it.
QSet<QString> FilesBelow(const QString& root)
{
    QSet<QString> found;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(root).relativeFilePath(it.next());
    return found;
}

QSet<QString> PackageNames(const QString& field)
{
    QSet<QString> names;  // without versions
    for (const QString& item : field.split(QLatin1Char(','), Qt::SkipEmptyParts))
        names << item.trimmed().section(QLatin1Char(' '), 0, 0);
    return names;
}

}  // namespace

void TestInstall::initTestCase()
{
    QVERIFY(Scratch.isValid());
    // CPack packs what the build tree holds; it does not build. The staging goes to the scratch folder.
    const QString debDir = Scratch.filePath(QStringLiteral("deb"));
    const Run cpack = Execute(QStringLiteral(ZELVAKON_CPACK),
                              {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                               BuildDir() + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-B"), debDir},
                              120000);
    QVERIFY2(cpack.Finished && cpack.Code == 0, cpack.Out + cpack.Err);
    const QStringList debs = QDir(debDir).entryList({QStringLiteral("*.deb")}, QDir::Files);
    for (const QString& deb : debs)
        Debs.insert(deb.section(QLatin1Char('_'), 0, 0), debDir + QLatin1Char('/') + deb);
    QCOMPARE(Debs.keys(), Programs);
    for (const QString& program : Programs)
        QVERIFY2(Deb(program).endsWith(QStringLiteral("_" ZELVAKON_DEB_VERSION "_amd64.deb")), qPrintable(Deb(program)));
    Root = Unpack(QStringLiteral("root"));
}

// Both packages, as dpkg installs them, into a scratch root.
QString TestInstall::Unpack(const QString& name)
{
    const QString root = Scratch.filePath(name);
    for (const QString& deb : std::as_const(Debs)) {
        const Run run = Execute(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, root});
        if (!run.Finished || run.Code != 0)
            qWarning("dpkg-deb -x failed: %s", run.Err.constData());
    }
    return root;
}

void TestInstall::packageHoldsExactlyTheProgram()
{
    // Nothing of the build tree besides the program: no test helper, no stand-in archiver, no tests;
    // nothing below /opt. The window's package holds what only the window needs.
    const QString icons = QStringLiteral("usr/share/icons/hicolor/");
    QMap<QString, QSet<QString>> expected;
    expected[QStringLiteral("zelvakon-cli")] = {
        ProgramDir + QStringLiteral("/zelvakon-cli"), ProgramDir + QStringLiteral("/Readme.txt"),
        ProgramDir + QStringLiteral("/installed-copy"), QStringLiteral("usr/bin/zelvakon-cli"),
        QStringLiteral("usr/share/man/man1/zelvakon-cli.1.gz")};
    expected[QStringLiteral("zelvakon")] = {
        ProgramDir + QStringLiteral("/zelvakon"), ProgramDir + QStringLiteral("/Zelvakon.hlp"),
        ProgramDir + QStringLiteral("/zelvakon.svg"), ProgramDir + QStringLiteral("/napoveda-program.png"),
        ProgramDir + QStringLiteral("/napoveda-plochy.png"), QStringLiteral("usr/bin/zelvakon"),
        QStringLiteral("usr/share/man/man1/zelvakon.1.gz"),
        QStringLiteral("usr/share/applications/zelvakon.desktop"), QStringLiteral("usr/share/mime/packages/zelvakon.xml"),
        icons + QStringLiteral("scalable/apps/zelvakon.svg"),
        icons + QStringLiteral("scalable/mimetypes/application-x-zelvakon-project.svg")};
    for (const char* size : {"48x48", "256x256"}) {
        expected[QStringLiteral("zelvakon")] << icons + QLatin1String(size) + QStringLiteral("/apps/zelvakon.png")
                                             << icons + QLatin1String(size)
                                                    + QStringLiteral("/mimetypes/application-x-zelvakon-project.png");
    }
    for (const QString& package : Programs) {
        for (const char* doc : {"copyright", "changelog.Debian.gz"})
            expected[package] << QStringLiteral("usr/share/doc/") + package + QLatin1Char('/') + QLatin1String(doc);
        const QString root = Scratch.filePath(QStringLiteral("only-") + package);
        QVERIFY(Execute(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), Deb(package), root}).Code == 0);
        QCOMPARE(FilesBelow(root), expected[package]);
    }
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
    QTest::newRow("the command-line program") << ProgramDir + QStringLiteral("/zelvakon-cli") << true << QString();
    QTest::newRow("its launcher") << QStringLiteral("usr/bin/zelvakon-cli") << true << QStringLiteral("exec ");
    QTest::newRow("the licence") << QStringLiteral("usr/share/doc/zelvakon/copyright") << false
                                 << QStringLiteral("License: Expat");
    QTest::newRow("the mark of an installed copy") << ProgramDir + QStringLiteral("/installed-copy") << false
                                                   << QStringLiteral("~/.local/share/Zelvakon");
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
    QMap<QString, QSet<QString>> depends;  // package: the package names it depends on
    for (const QString& package : Programs) {
        const Run field =
            Execute(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), Deb(package), QStringLiteral("Depends")});
        QVERIFY(field.Finished && field.Code == 0);
        depends[package] = PackageNames(QString::fromUtf8(field.Out));
    }
    // The headless package needs no widgets, no display and no sound.
    for (const char* name : {"libqt6widgets6", "libqt6gui6", "qt6-qpa-plugins", "libsdl2-2.0-0"})
        QVERIFY2(!depends[QStringLiteral("zelvakon-cli")].contains(QLatin1String(name)), name);
    // Loaded at run time, so no linker sees them: the headless package with the installed-copy mark,
    // the platform plugin, SDL with its mixer (on the first music test), the MIDI sound font, Qt's
    // Czech texts.
    for (const char* name : {"zelvakon-cli", "qt6-qpa-plugins", "timgm6mb-soundfont", "libsdl2-2.0-0",
                             "libsdl2-mixer-2.0-0", "qt6-translations-l10n"})
        QVERIFY2(depends[QStringLiteral("zelvakon")].contains(QLatin1String(name)), name);
    // Every name must be a real Debian package: this machine has the whole runtime installed.
    for (const QString& name : depends[QStringLiteral("zelvakon")] + depends[QStringLiteral("zelvakon-cli")]) {
        if (name == QLatin1String("zelvakon-cli"))
            continue;
        const Run status =
            Execute(QStringLiteral("dpkg-query"), {QStringLiteral("-W"), QStringLiteral("-f=${Status}"), name});
        QVERIFY2(status.Out.contains("installed"), qPrintable(name + QStringLiteral(" is not a package here")));
    }
#ifdef ZELVAKON_SANITIZED
    QSKIP("a sanitizer build links its runtime and more of Qt's libraries; packages are made of plain builds");
#endif
    // Every library a shipped program links comes from a package that its package depends on.
    depends[QStringLiteral("zelvakon")] += depends[QStringLiteral("zelvakon-cli")];
    for (const QString& program : Programs) {
        const auto libraries = LinkedLibraries(Root + QLatin1Char('/') + ProgramDir + QLatin1Char('/') + program);
        QVERIFY(!libraries.isEmpty());
        for (const auto& [name, path] : libraries) {
            QVERIFY2(!path.isEmpty(), qPrintable(name + QStringLiteral(" not found by ldd")));
            const QString owner = PackageOwning(path);
            QVERIFY2(!owner.isEmpty(), qPrintable(path + QStringLiteral(" belongs to no package")));
            QVERIFY2(depends[program].contains(owner), qPrintable(program + QStringLiteral(" links ") + name
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
    // The menu starts the launcher by name, with the file the user opens; the icon theme finds the
    // icon by name.
    QCOMPARE(keys.value(QStringLiteral("Exec")).section(QLatin1Char(' '), 1), QStringLiteral("%f"));
    QCOMPARE(keys.value(QStringLiteral("MimeType")), QStringLiteral("application/x-zelvakon-project;"));
    const QString exec = keys.value(QStringLiteral("Exec")).section(QLatin1Char(' '), 0, 0);
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

void TestInstall::projectFilesHaveTheirOwnType()
{
    // The file type the menu entry names: *.zpf, with an icon of that name in the theme.
    QXmlStreamReader xml(ReadBytes(Root + QStringLiteral("/usr/share/mime/packages/zelvakon.xml")));
    QString type;
    QStringList globs;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("mime-type"))
            type = xml.attributes().value(QLatin1String("type")).toString();
        if (xml.name() == QLatin1String("glob"))
            globs << xml.attributes().value(QLatin1String("pattern")).toString();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(type, QStringLiteral("application/x-zelvakon-project"));
    QCOMPARE(globs, QStringList{QStringLiteral("*.zpf")});
    QImageReader icon(Root + QStringLiteral("/usr/share/icons/hicolor/48x48/mimetypes/application-x-zelvakon-project.png"));
    QCOMPARE(icon.size(), QSize(48, 48));
}

void TestInstall::helpFindsItsPictures_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("installed") << Root + QLatin1Char('/') + ProgramDir;
    QTest::newRow("build tree") << QStringLiteral(ZELVAKON_BIN_DIR);
}

void TestInstall::helpFindsItsPictures()
{
    QFETCH(QString, folder);
    const QString help = QString::fromUtf8(ReadBytes(folder + QStringLiteral("/Zelvakon.hlp")));
    for (const char* topic : {"HlavniStrana", "NastKlikPloch"})
        QVERIFY2(help.contains(QStringLiteral("name=\"%1\"").arg(QLatin1String(topic))), topic);
    static const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\""));
    int pictures = 0;
    for (auto it = picture.globalMatch(help); it.hasNext(); ++pictures) {
        const QString name = it.next().captured(1);
        QVERIFY2(!QImageReader(folder + QLatin1Char('/') + name).read().isNull(), qPrintable(name));
    }
    QVERIFY(pictures > 0);
}

void TestInstall::debianChecksPass()
{
    const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    const QString lintian = QStandardPaths::findExecutable(QStringLiteral("lintian"));
    if (validate.isEmpty() && lintian.isEmpty())
        QSKIP("neither desktop-file-validate nor lintian is installed (scripts/setup.sh installs both)");
    if (!validate.isEmpty()) {
        const Run run = Execute(validate, {Root + QStringLiteral("/usr/share/applications/zelvakon.desktop")});
        QVERIFY2(run.Finished && run.Code == 0 && run.Out.trimmed().isEmpty(), run.Out + run.Err);
    }
    if (lintian.isEmpty())
        QSKIP("lintian is not installed (scripts/setup.sh installs it)");
    const QStringList args{QStringLiteral("--fail-on"), QStringLiteral("error,warning"),
                           QStringLiteral("--tag-display-limit"), QStringLiteral("0")};
    const Run run = Execute(lintian, args + Debs.values(), 240000);
    QVERIFY2(run.Finished, "lintian did not finish within 4 minutes");
    // Errors and warnings fail; information and pedantic notes do not.
    QStringList reported;
    for (const QString& line : Lines(run.Out))
        if (line.startsWith(QLatin1String("E: ")) || line.startsWith(QLatin1String("W: ")))
            reported << line;
    QVERIFY2(reported.isEmpty() && run.Code == 0, qPrintable(reported.join(QLatin1Char('\n')) + QString::fromUtf8(run.Err)));
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

void TestInstall::installedCopyNeverWritesIntoItsFolder()
{
    // Root may write to the program folder; an installed copy still keeps its folders per user.
    const QString root = Unpack(QStringLiteral("writable"));
    const QString home = Scratch.filePath(QStringLiteral("home-writable"));
    const QSet<QString> before = FilesBelow(root);
    StartAndClose(root, false, home + QStringLiteral("/.local/share/Zelvakon"), home);
    QCOMPARE(FilesBelow(root), before);
    QCOMPARE(QDir(root + QLatin1Char('/') + ProgramDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
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

void TestInstall::opensProjectNamedOnCommandLine()
{
    // As a file manager or a user in a terminal starts it: a project file named relative to the
    // current folder, elsewhere than the program's own folders.
    const QString root = Unpack(QStringLiteral("argument"));
    const QString home = Scratch.filePath(QStringLiteral("home-argument"));
    const QString work = Scratch.filePath(QStringLiteral("argument-work"));
    QDir().mkpath(work + QStringLiteral("/Hry"));
    Project project;
    project.Nazev = QStringLiteral("Želví hra");
    WriteProjectFile(work + QStringLiteral("/Hry/Hra.zpf"), project);
    QProcessEnvironment env = UserEnvironment(home);
    env.insert(QStringLiteral("ZELVAKON_QUIT_AFTER_ACTIVATION"), QStringLiteral("1"));
    const Run run = Execute(root + QStringLiteral("/usr/bin/zelvakon"), {QStringLiteral("Hry/Hra.zpf")}, 30000, env, work);
    QVERIFY2(run.Finished && run.Code == 0, run.Err);
    // The caption the window has when the run ends.
    QVERIFY2(Lines(run.Out).contains(QStringLiteral("Zelvakon - Hra.zpf")), run.Out + run.Err);
}

void TestInstall::buildsProjectThroughCli()
{
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

    // An installed copy takes the parts from the user's folder, as a user installs them.
    const QString partsFolder = home + QStringLiteral("/.local/share/Zelvakon");
    QDir().mkpath(partsFolder);
    const QByteArray unrar = "MZ" + RandomBytes(4998);
    const QByteArray vorvanex = "MZ" + RandomBytes(6998);
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
}

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
