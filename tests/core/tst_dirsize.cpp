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

using Walker = std::function<qint64(const QString&, const DirSizeProbe&, DirSizeWalk*)>;

struct NamedWalker {
    const char* Name;
    Walker Walk;
    bool LinksOwnSize;  // counts a link as its own lstat size (POSIX) or as 0 (the listing elsewhere)
};

QList<NamedWalker> Walkers()
{
    QList<NamedWalker> walkers;
#ifdef Q_OS_UNIX
    walkers.append({"posix",
        [](const QString& folder, const DirSizeProbe& probe, DirSizeWalk* walk) {
            return DirSizeDetail::GetDirSizePosix(folder, probe, walk);
        },
        true});
#endif
    walkers.append({"qt",
        [](const QString& folder, const DirSizeProbe& probe, DirSizeWalk* walk) {
            return DirSizeDetail::GetDirSizeQt(folder, probe, walk);
        },
        false});
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
            QVERIFY(symlink(QFile::encodeName(target).constData(),
                        QFile::encodeName(root + QLatin1Char('/') + name).constData())
                == 0);
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
    const QString shm = "/dev/shm";
    if (QFileInfo(shm).isDir() && QFileInfo(shm).isWritable())
        return shm + "/zelvakon-test-XXXXXX";
    return QDir::tempPath() + "/zelvakon-test-XXXXXX";
}

int OpenDescriptors() { return int(QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size()); }

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
    void stopAndFileCount();
};

void TestDirSize::countsEveryFile_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("kb");
    QTest::newRow("1023 bytes are still 0 KB") << Layout{"a=1000", "b=23"} << qint64(1023) << "0";
    QTest::newRow("1024 bytes make 1 KB") << Layout{"a=1024"} << qint64(1024) << "1";
    QTest::newRow("1536 bytes truncate to 1 KB, not round to 2")
        << Layout{"a=512", "s/", "s/b=1024"} << qint64(1536) << "1";
    QTest::newRow("empty folder") << Layout{} << qint64(0) << "0";
    QTest::newRow("hidden file counted") << Layout{".hidden=2000", "shown=48"} << qint64(2048) << "2";
    QTest::newRow("hidden subfolder counted")
        << Layout{".git/objects/", ".git/objects/pack=3072", ".git/HEAD=1024"} << qint64(4096) << "4";
    QTest::newRow("every depth counted") << Layout{"a/b/c/d/e/f/", "a/1=1", "a/b/c/2=2", "a/b/c/d/e/f/3=1021"}
                                         << qint64(1024) << "1";
    QTest::newRow("empty folders add nothing of their own") << Layout{"x/y/z/", "w/"} << qint64(0) << "0";
    QTest::newRow("odd names") << Layout{"žluťoučký kůň/", "žluťoučký kůň/ú=10", "new\nline=20", " lead and trail =30",
        "-dash/", "-dash/*?[x]=40", "..dots.../", "..dots.../'q\"=50"}
                               << qint64(150) << "0";
    // 2 GiB and more must neither wrap nor turn negative.
    QTest::newRow("total beyond 2 GiB in 64 bits")
        << Layout{"big=2147483648", "sub/", "sub/more=1073741824", "one=1"} << qint64(3221225473) << "3145728";
    QTest::newRow("beyond 4 GiB") << Layout{"a=4294967295", "b=1025"} << qint64(4294968320) << "4194305";
}

void TestDirSize::countsEveryFile()
{
    QFETCH(Layout, layout);
    QFETCH(qint64, bytes);
    QFETCH(QString, kb);
    QTemporaryDir dir;
    MakeTree(dir.path(), layout);
    for (const NamedWalker& walker : Walkers())
        QVERIFY2(walker.Walk(dir.path(), {}, nullptr) == bytes, walker.Name);
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
    QTest::newRow("link to a big folder elsewhere") << Layout{"in/a=10", "in/big->../outside"} << qint64(10);
    QTest::newRow("link to a big file elsewhere") << Layout{"in/a=10", "in/big->../outside/blob"} << qint64(10);
    QTest::newRow("cycle to the parent") << Layout{"in/sub/", "in/sub/a=5", "in/sub/loop->.."} << qint64(5);
    QTest::newRow("cycle to itself") << Layout{"in/a=5", "in/self->."} << qint64(5);
    QTest::newRow("absolute link to the measured folder") << Layout{"in/a=7", "in/back->@in"} << qint64(7);
    QTest::newRow("dangling link named like a folder") << Layout{"in/a=9", "in/docs->nowhere/at/all"} << qint64(9);
    QTest::newRow("fifo counts 0 and is never opened") << Layout{"in/a=3", "in/pipe|"} << qint64(3);
}

void TestDirSize::linksAreNotFollowed()
{
    QFETCH(Layout, layout);
    QFETCH(qint64, fileBytes);
    QTemporaryDir dir;
    MakeTree(dir.path(), Layout{"in/", "outside/", "outside/blob=1048576"});
    Layout resolved;
    for (const QString& line : layout)
        resolved << QString(line).replace(QLatin1Char('@'), dir.path() + QLatin1Char('/'));
    qint64 linkBytes = 0;
    MakeTree(dir.path(), resolved, &linkBytes);
    const QString in = dir.path() + "/in";
    for (const NamedWalker& walker : Walkers())
        QVERIFY2(walker.Walk(in, {}, nullptr) == fileBytes + (walker.LinksOwnSize ? linkBytes : 0), walker.Name);
}

void TestDirSize::unlistableSubfolderAddsNothing_data()
{
    // Root reads every folder, so permissions cannot make one unlistable: the folder changes between
    // its parent's listing and its own opening instead.
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("posixOnly");
    QTest::newRow("subfolder vanishes") << "remove" << false;
    QTest::newRow("subfolder replaced by a file") << "file" << false;
    QTest::newRow("subfolder swapped for a link to a big folder") << "link" << true;
}

void TestDirSize::unlistableSubfolderAddsNothing()
{
    QFETCH(QString, change);
    QFETCH(bool, posixOnly);
    QTemporaryDir dir;
    const QString in = dir.path() + "/in";
    for (const NamedWalker& walker : Walkers()) {
        if (posixOnly && !walker.LinksOwnSize)
            continue;
        QDir(in).removeRecursively();
        MakeTree(dir.path(),
            Layout{"in/a/", "in/a/1=100", "in/gone/deeper/", "in/gone/x=5000", "in/gone/deeper/y=6000", "in/z/",
                "in/z/2=200", "in/3=300", "big/", "big/blob=99999"});
        const QString gone = in + "/gone";
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
                QVERIFY(symlink(QFile::encodeName(dir.path() + "/big").constData(), QFile::encodeName(gone).constData())
                    == 0);
#endif
        };
#ifdef Q_OS_UNIX
        const int before = OpenDescriptors();
#endif
        QVERIFY2(walker.Walk(in, probe, nullptr) == 600, walker.Name);
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
    QTest::newRow("no such folder") << "@/missing";
    QTest::newRow("a file, not a folder") << "@/file";
    QTest::newRow("below a file") << "@/file/sub";
}

void TestDirSize::noFolderGivesZero()
{
    QFETCH(QString, text);
    QTemporaryDir dir;
    WriteBytes(dir.path() + "/file", QByteArray(5000, 'x'));
    text.replace(QLatin1Char('@'), dir.path());
    QVERIFY(!IsExistingFolder(text));
    QCOMPARE(FolderSizeKBText(text), "0");
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
    QCOMPARE(FolderSizeKBText(dir.path()), "195");  // 200,000 bytes
}

void TestDirSize::stopAndFileCount()
{
    // Three files at the top, two in each of three folders that hold a further folder with one more.
    QTemporaryDir dir;
    Layout layout{"a=1", "b=1", "c=1"};
    for (const char* folder : {"p", "q", "r"})
        layout << QString("%1/deeper/").arg(folder) << QString("%1/x=1").arg(folder) << QString("%1/y=1").arg(folder)
               << QString("%1/deeper/z=1").arg(folder);
    MakeTree(dir.path(), layout);
    for (const NamedWalker& walker : Walkers()) {
        DirSizeWalk whole;
        QVERIFY2(walker.Walk(dir.path(), {}, &whole) == 12, walker.Name);
        QVERIFY2(whole.Files == 12, walker.Name);

        // Stopped when it reaches its second folder, deep down: no folder is opened after that, and
        // none stays open.
        DirSizeWalk stopped;
        int opened = 0;
        const int before = OpenDescriptors();
        walker.Walk(dir.path(), [&](const QString&) {
            if (++opened == 2)
                stopped.Stop = true;
        }, &stopped);
        QVERIFY2(opened == 2, walker.Name);
        QVERIFY2(stopped.Files >= 3 && stopped.Files < 12, walker.Name);
        QVERIFY2(OpenDescriptors() == before, walker.Name);
    }
}

QTEST_GUILESS_MAIN(TestDirSize)
#include "tst_dirsize.moc"
