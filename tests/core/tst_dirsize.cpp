#include "DirSize.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// A tree described as lines: "name/" makes a folder, "name=N" a file of N bytes (sparse), and on POSIX
// "name->target" a symbolic link and "name|" a fifo.
using Layout = QStringList;
Q_DECLARE_METATYPE(Layout)

namespace {

using Walker = std::function<qint64(const QString&, const DirSizeProbe&)>;

struct NamedWalker {
    const char* Name;
    Walker Walk;
    bool LinksOwnSize;  // counts a link as its own lstat size (POSIX) or as 0 (the listing elsewhere)
};

QList<NamedWalker> Walkers()
{
    QList<NamedWalker> walkers;
#ifdef Q_OS_UNIX
    walkers.append({"posix", &DirSizeDetail::GetDirSizePosix, true});
#endif
    walkers.append({"qt", &DirSizeDetail::GetDirSizeQt, false});
    return walkers;
}

// Builds the layout below root; returns the bytes of the plain files and, separately, of the links.
void MakeTree(const QString& root, const Layout& layout, qint64* linkBytes = nullptr)
{
    for (const QString& line : layout) {
        if (line.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir(root).mkpath(line));
        } else if (line.contains(QLatin1String("->"))) {
#ifdef Q_OS_UNIX
            const QString name = line.section(QLatin1String("->"), 0, 0);
            const QString target = line.section(QLatin1String("->"), 1);
            QVERIFY(symlink(QFile::encodeName(target).constData(), QFile::encodeName(root + QLatin1Char('/') + name).constData()) == 0);
            if (linkBytes)
                *linkBytes += QFile::encodeName(target).size();
#endif
        } else if (line.endsWith(QLatin1Char('|'))) {
#ifdef Q_OS_UNIX
            QVERIFY(mkfifo(QFile::encodeName(root + QLatin1Char('/') + line.chopped(1)).constData(), 0600) == 0);
#endif
        } else {
            const QString name = line.section(QLatin1Char('='), 0, 0);
            QFile file(root + QLatin1Char('/') + name);
            QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(name));
            QVERIFY(file.resize(line.section(QLatin1Char('='), 1).toLongLong()));
        }
    }
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The trees with many entries go to memory when the system offers it: on a disk, making them takes
// most of a minute.
QString ScratchTemplate()
{
    const QString shm = QStringLiteral("/dev/shm");
    if (QFileInfo(shm).isDir() && QFileInfo(shm).isWritable())
        return shm + QStringLiteral("/zelvakon-test-XXXXXX");
    return QDir::tempPath() + QStringLiteral("/zelvakon-test-XXXXXX");
}

int OpenDescriptors() { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size()); }

}  // namespace

class TestDirSize : public QObject {
    Q_OBJECT
private slots:
    void countsEveryFile_data();
    void countsEveryFile();
    void linksAreNotFollowed_data();
    void linksAreNotFollowed();
    void unlistableSubfolderAddsNothing_data();
    void unlistableSubfolderAddsNothing();
    void noFolderGivesZero_data();
    void noFolderGivesZero();
    void deepTree();
    void wideAndDeepTreeBeyondKeptDescriptors();
    void hugeFolder();
};

void TestDirSize::countsEveryFile_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("kb");
    QTest::newRow("1023 bytes are still 0 KB") << Layout{QStringLiteral("a=1000"), QStringLiteral("b=23")} << qint64(1023) << QStringLiteral("0");
    QTest::newRow("1024 bytes make 1 KB") << Layout{QStringLiteral("a=1024")} << qint64(1024) << QStringLiteral("1");
    QTest::newRow("1536 bytes truncate to 1 KB, not round to 2")
        << Layout{QStringLiteral("a=512"), QStringLiteral("s/"), QStringLiteral("s/b=1024")} << qint64(1536) << QStringLiteral("1");
    QTest::newRow("empty folder") << Layout{} << qint64(0) << QStringLiteral("0");
    QTest::newRow("hidden file counted") << Layout{QStringLiteral(".hidden=2000"), QStringLiteral("shown=48")} << qint64(2048)
                                         << QStringLiteral("2");
    QTest::newRow("hidden subfolder counted")
        << Layout{QStringLiteral(".git/objects/"), QStringLiteral(".git/objects/pack=3072"), QStringLiteral(".git/HEAD=1024")}
        << qint64(4096) << QStringLiteral("4");
    QTest::newRow("every depth counted")
        << Layout{QStringLiteral("a/b/c/d/e/f/"), QStringLiteral("a/1=1"), QStringLiteral("a/b/c/2=2"), QStringLiteral("a/b/c/d/e/f/3=1021")}
        << qint64(1024) << QStringLiteral("1");
    QTest::newRow("empty folders add nothing of their own")
        << Layout{QStringLiteral("x/y/z/"), QStringLiteral("w/")} << qint64(0) << QStringLiteral("0");
    QTest::newRow("odd names")
        << Layout{QStringLiteral("žluťoučký kůň/"), QStringLiteral("žluťoučký kůň/ú=10"), QStringLiteral("new\nline=20"),
                  QStringLiteral(" lead and trail =30"), QStringLiteral("-dash/"), QStringLiteral("-dash/*?[x]=40"),
                  QStringLiteral("..dots.../"), QStringLiteral("..dots.../'q\"=50")}
        << qint64(150) << QStringLiteral("0");
    // 2 GiB and more must neither wrap nor turn negative.
    QTest::newRow("total beyond 2 GiB in 64 bits")
        << Layout{QStringLiteral("big=2147483648"), QStringLiteral("sub/"), QStringLiteral("sub/more=1073741824"), QStringLiteral("one=1")}
        << qint64(3221225473) << QStringLiteral("3145728");
    QTest::newRow("beyond 4 GiB") << Layout{QStringLiteral("a=4294967295"), QStringLiteral("b=1025")} << qint64(4294968320)
                                  << QStringLiteral("4194305");
}

void TestDirSize::countsEveryFile()
{
    QFETCH(Layout, layout);
    QFETCH(qint64, bytes);
    QFETCH(QString, kb);
    QTemporaryDir dir;
    MakeTree(dir.path(), layout);
    for (const NamedWalker& walker : Walkers())
        QVERIFY2(walker.Walk(dir.path(), {}) == bytes, walker.Name);
    QCOMPARE(GetDirSize(dir.path()), bytes);
    QCOMPARE(FolderSizeKBText(dir.path()), kb);
}

void TestDirSize::linksAreNotFollowed_data()
{
#ifndef Q_OS_UNIX
    QSKIP("symbolic links made here need POSIX");
#endif
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<qint64>("fileBytes");
    // "outside" is a sibling of the measured folder "in", holding 1 MB.
    QTest::newRow("link to a big folder elsewhere") << Layout{QStringLiteral("in/a=10"), QStringLiteral("in/big->../outside")}
                                                   << qint64(10);
    QTest::newRow("link to a big file elsewhere") << Layout{QStringLiteral("in/a=10"), QStringLiteral("in/big->../outside/blob")}
                                                 << qint64(10);
    QTest::newRow("cycle to the parent") << Layout{QStringLiteral("in/sub/"), QStringLiteral("in/sub/a=5"), QStringLiteral("in/sub/loop->..")}
                                        << qint64(5);
    QTest::newRow("cycle to itself") << Layout{QStringLiteral("in/a=5"), QStringLiteral("in/self->.")} << qint64(5);
    QTest::newRow("absolute link to the measured folder")
        << Layout{QStringLiteral("in/a=7"), QStringLiteral("in/back->@in")} << qint64(7);
    QTest::newRow("dangling link named like a folder")
        << Layout{QStringLiteral("in/a=9"), QStringLiteral("in/docs->nowhere/at/all")} << qint64(9);
    QTest::newRow("fifo counts 0 and is never opened") << Layout{QStringLiteral("in/a=3"), QStringLiteral("in/pipe|")} << qint64(3);
}

void TestDirSize::linksAreNotFollowed()
{
    QFETCH(Layout, layout);
    QFETCH(qint64, fileBytes);
    QTemporaryDir dir;
    MakeTree(dir.path(), Layout{QStringLiteral("in/"), QStringLiteral("outside/"), QStringLiteral("outside/blob=1048576")});
    Layout resolved;
    for (const QString& line : layout)
        resolved << QString(line).replace(QLatin1Char('@'), dir.path() + QLatin1Char('/'));
    qint64 linkBytes = 0;
    MakeTree(dir.path(), resolved, &linkBytes);
    const QString in = dir.path() + QStringLiteral("/in");
    for (const NamedWalker& walker : Walkers())
        QVERIFY2(walker.Walk(in, {}) == fileBytes + (walker.LinksOwnSize ? linkBytes : 0), walker.Name);
}

void TestDirSize::unlistableSubfolderAddsNothing_data()
{
    // Root reads every folder, so permissions cannot make one unlistable: the folder changes between
    // its parent's listing and its own opening instead.
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("posixOnly");
    QTest::newRow("subfolder vanishes") << QStringLiteral("remove") << false;
    QTest::newRow("subfolder replaced by a file") << QStringLiteral("file") << false;
    QTest::newRow("subfolder swapped for a link to a big folder") << QStringLiteral("link") << true;
}

void TestDirSize::unlistableSubfolderAddsNothing()
{
    QFETCH(QString, change);
    QFETCH(bool, posixOnly);
    QTemporaryDir dir;
    const QString in = dir.path() + QStringLiteral("/in");
    for (const NamedWalker& walker : Walkers()) {
        if (posixOnly && !walker.LinksOwnSize)
            continue;
        QDir(in).removeRecursively();
        MakeTree(dir.path(), Layout{QStringLiteral("in/a/"), QStringLiteral("in/a/1=100"), QStringLiteral("in/gone/deeper/"),
                                    QStringLiteral("in/gone/x=5000"), QStringLiteral("in/gone/deeper/y=6000"), QStringLiteral("in/z/"),
                                    QStringLiteral("in/z/2=200"), QStringLiteral("in/3=300"), QStringLiteral("big/"),
                                    QStringLiteral("big/blob=99999")});
        const QString gone = in + QStringLiteral("/gone");
        int probes = 0;
        const DirSizeProbe probe = [&](const QString& folder) {
            ++probes;
            if (folder != gone)
                return;
            QDir(gone).removeRecursively();
            if (change == QLatin1String("file"))
                WriteBytes(gone, QByteArray(4321, 'x'));
#ifdef Q_OS_UNIX
            if (change == QLatin1String("link"))
                QVERIFY(symlink(QFile::encodeName(dir.path() + QStringLiteral("/big")).constData(), QFile::encodeName(gone).constData()) == 0);
#endif
        };
#ifdef Q_OS_UNIX
        const int before = OpenDescriptors();
#endif
        QVERIFY2(walker.Walk(in, probe) == 600, walker.Name);
        QVERIFY(probes >= 3);
#ifdef Q_OS_UNIX
        QCOMPARE(OpenDescriptors(), before);
#endif
    }
}

void TestDirSize::noFolderGivesZero_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty text") << QString();
    QTest::newRow("no such folder") << QStringLiteral("@/missing");
    QTest::newRow("a file, not a folder") << QStringLiteral("@/file");
    QTest::newRow("below a file") << QStringLiteral("@/file/sub");
}

void TestDirSize::noFolderGivesZero()
{
    QFETCH(QString, text);
    QTemporaryDir dir;
    WriteBytes(dir.path() + QStringLiteral("/file"), QByteArray(5000, 'x'));
    text.replace(QLatin1Char('@'), dir.path());
    QVERIFY(!IsExistingFolder(text));
    QCOMPARE(FolderSizeKBText(text), QStringLiteral("0"));
    QCOMPARE(GetDirSize(text), qint64(0));
}

#ifdef Q_OS_UNIX
namespace {

// Paths of such trees are far longer than any path the system accepts: everything goes relative to
// descriptors, one level at a time.
void MakeChain(const QString& root, int depth, const std::function<void(int fd, int level)>& atLevel)
{
    int fd = open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY);
    QVERIFY(fd >= 0);
    for (int level = 1; level <= depth; ++level) {
        QVERIFY(mkdirat(fd, "d", 0700) == 0);
        const int next = openat(fd, "d", O_RDONLY | O_DIRECTORY);
        close(fd);
        QVERIFY(next >= 0);
        fd = next;
        atLevel(fd, level);
    }
    close(fd);
}

void WriteAt(int fd, const char* name, int size)
{
    const int file = openat(fd, name, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QVERIFY(file >= 0);
    QVERIFY(ftruncate(file, size) == 0);
    close(file);
}

// Moves every level of a deep chain up to the top, so that ordinary recursive removal can cope.
void FlattenChain(const QString& root)
{
    const QByteArray top = QFile::encodeName(root);
    const int topFd = open(top.constData(), O_RDONLY | O_DIRECTORY);
    int fd = openat(topFd, "d", O_RDONLY | O_DIRECTORY);
    for (int i = 0; fd >= 0; ++i) {
        const int next = openat(fd, "d", O_RDONLY | O_DIRECTORY);
        if (next >= 0)
            renameat(fd, "d", topFd, QByteArray("flat" + QByteArray::number(i)).constData());
        close(fd);
        fd = next;
    }
    close(topFd);
}

}  // namespace
#endif

void TestDirSize::deepTree()
{
#ifndef Q_OS_UNIX
    QSKIP("made with descriptor-relative calls");
#else
    QTemporaryDir dir(ScratchTemplate());
    qint64 expected = 0;
    MakeChain(dir.path(), 10000, [&](int fd, int level) {
        if (level % 100 == 0 || level == 10000) {
            WriteAt(fd, "f", level);
            expected += level;
        }
    });
    const int before = OpenDescriptors();
    QCOMPARE(GetDirSize(dir.path()), expected);
    QCOMPARE(OpenDescriptors(), before);
    FlattenChain(dir.path());
#endif
}

void TestDirSize::wideAndDeepTreeBeyondKeptDescriptors()
{
#ifndef Q_OS_UNIX
    QSKIP("made with descriptor-relative calls");
#else
    // Every level has a leaf folder beside the way down, and the way down is visited first: going
    // back to each level's leaf needs the way back up, far below the levels that keep a descriptor.
    QTemporaryDir dir(ScratchTemplate());
    qint64 expected = 0;
    MakeChain(dir.path(), 300, [&](int fd, int level) {
        QVERIFY(mkdirat(fd, "e", 0700) == 0);
        const int leaf = openat(fd, "e", O_RDONLY | O_DIRECTORY);
        WriteAt(leaf, "x", level);
        close(leaf);
        expected += level;
    });
    const int before = OpenDescriptors();
    QCOMPARE(GetDirSize(dir.path()), expected);
    QCOMPARE(OpenDescriptors(), before);
    FlattenChain(dir.path());
#endif
}

void TestDirSize::hugeFolder()
{
    QTemporaryDir dir(ScratchTemplate());
#ifdef Q_OS_UNIX
    const int fd = open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < 200000; ++i) {
        const int file = openat(fd, QByteArray::number(i).constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(file >= 0);
        QCOMPARE(write(file, "x", 1), ssize_t(1));
        close(file);
    }
    close(fd);
#else
    for (int i = 0; i < 200000; ++i)
        WriteBytes(dir.path() + QLatin1Char('/') + QString::number(i), QByteArray(1, 'x'));
#endif
    QCOMPARE(FolderSizeKBText(dir.path()), QStringLiteral("195"));  // 200,000 bytes
}

QTEST_GUILESS_MAIN(TestDirSize)
#include "tst_dirsize.moc"
