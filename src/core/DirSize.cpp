#include "DirSize.h"
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <string>
#include <vector>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

QString SizeInKBText(qint64 bytes) { return QString::number(bytes / 1024); }

bool IsExistingFolder(const QString& text) { return !text.isEmpty() && QFileInfo(text).isDir(); }

QString FolderSizeKBText(const QString& text)
{
    return IsExistingFolder(text) ? SizeInKBText(GetDirSize(text)) : QStringLiteral("0");
}

qint64 GetDirSize(const QString& folder, const DirSizeProbe& probe, DirSizeWalk* walk)
{
#ifdef Q_OS_UNIX
    return DirSizeDetail::GetDirSizePosix(folder, probe, walk);
#else
    // A bare drive "C:" means the drive's root, as the listing "C:\*.*" always did, not the drive's
    // current folder.
    if (folder.size() == 2 && folder[1] == QLatin1Char(':'))
        return DirSizeDetail::GetDirSizeQt(folder + QLatin1Char('\\'), probe, walk);
    return DirSizeDetail::GetDirSizeQt(folder, probe, walk);
#endif
}

namespace DirSizeDetail {

namespace {

bool Stopped(const DirSizeWalk* walk) { return walk && walk->Stop.load(std::memory_order_relaxed); }

void Counted(DirSizeWalk* walk)
{
    if (walk)
        walk->Files.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

#ifdef Q_OS_UNIX

namespace {

// Descriptors of the upper levels stay open so that the walk can go back up cheaply; below this depth
// a level gives up its descriptor when it descends and gets it back through ".." of the child, so a
// tree of any depth needs only this many descriptors.
constexpr size_t KeepOpenLevels = 64;

struct Level {
    int Fd = -1;
    dev_t Dev = 0;
    ino_t Ino = 0;
    std::string Name;                     // name in the parent folder (for the probe)
    std::vector<std::string> Subfolders;  // still to visit
    size_t Next = 0;
};

// Lists the folder open on level.Fd: adds the size of every entry that is not a folder, and notes the
// folders for later, so that no listing stays open while the walk goes deeper.
void ListLevel(Level& level, qint64& total, DirSizeWalk* walk)
{
    struct stat st;
    if (fstat(level.Fd, &st) == 0) {
        level.Dev = st.st_dev;
        level.Ino = st.st_ino;
    }
    const int listFd = dup(level.Fd);
    if (listFd < 0)
        return;
    DIR* dir = fdopendir(listFd);
    if (!dir) {
        close(listFd);
        return;
    }
    const int dirFd = dirfd(dir);
    // A folder of a million entries takes a while: a stop is honoured between entries.
    while (!Stopped(walk)) {
        const dirent* entry = readdir(dir);
        if (!entry)
            break;
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
#ifdef _DIRENT_HAVE_D_TYPE
        if (entry->d_type == DT_DIR) {
            level.Subfolders.emplace_back(name);  // a folder's own size counts as 0
            continue;
        }
#endif
        if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;  // gone since the listing: nothing to count
        if (S_ISDIR(st.st_mode))
            level.Subfolders.emplace_back(name);
        else {
            total += st.st_size;  // a link counts as itself, never as what it points to
            Counted(walk);
        }
    }
    closedir(dir);
}

QString ProbePath(const QString& root, const std::vector<Level>& levels, const std::string& name)
{
    QString path = root;
    for (size_t i = 1; i < levels.size(); ++i)
        path += QLatin1Char('/') + QFile::decodeName(levels[i].Name.c_str());
    return path + QLatin1Char('/') + QFile::decodeName(name.c_str());
}

}  // namespace

qint64 GetDirSizePosix(const QString& folder, const DirSizeProbe& probe, DirSizeWalk* walk)
{
    qint64 total = 0;
    const int rootFd = open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (rootFd < 0)
        return total;
    std::vector<Level> levels;
    levels.emplace_back();
    levels.back().Fd = rootFd;
    ListLevel(levels.back(), total, walk);

    while (!levels.empty()) {
        if (Stopped(walk)) {
            for (const Level& level : levels)
                if (level.Fd >= 0)
                    close(level.Fd);
            return total;
        }
        Level& top = levels.back();
        if (top.Next == top.Subfolders.size()) {
            Level done = std::move(levels.back());
            levels.pop_back();
            if (!levels.empty()) {
                Level& parent = levels.back();
                if (parent.Fd < 0 && done.Fd >= 0) {
                    // Back up through "..", provided it still leads to the folder we came from.
                    const int up = openat(done.Fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                    struct stat st;
                    if (up >= 0 && fstat(up, &st) == 0 && st.st_dev == parent.Dev && st.st_ino == parent.Ino)
                        parent.Fd = up;
                    else if (up >= 0)
                        close(up);
                }
                if (parent.Fd < 0)
                    parent.Next = parent.Subfolders.size();  // moved away meanwhile: the rest cannot be listed
            }
            if (done.Fd >= 0)
                close(done.Fd);
            continue;
        }
        std::string name = std::move(top.Subfolders[top.Next++]);
        if (probe)
            probe(ProbePath(folder, levels, name));
        // O_NOFOLLOW: a folder swapped for a link after the listing is not followed either.
        const int fd = openat(top.Fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;  // cannot be opened: adds nothing
        if (top.Next == top.Subfolders.size()) {
            top.Subfolders = {};  // nothing left to visit here: free the names
            top.Next = 0;
        }
        if (levels.size() >= KeepOpenLevels) {
            close(top.Fd);
            top.Fd = -1;
        }
        Level child;
        child.Fd = fd;
        child.Name = std::move(name);
        levels.push_back(std::move(child));
        ListLevel(levels.back(), total, walk);
    }
    return total;
}

#endif  // Q_OS_UNIX

qint64 GetDirSizeQt(const QString& folder, const DirSizeProbe& probe, DirSizeWalk* walk)
{
    qint64 total = 0;
    std::vector<QString> pending{folder};
    bool root = true;
    while (!pending.empty() && !Stopped(walk)) {
        const QString path = std::move(pending.back());
        pending.pop_back();
        if (probe && !root)
            probe(path);
        root = false;
        QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext() && !Stopped(walk)) {
            it.next();
            const QFileInfo info = it.fileInfo();
            if (info.isSymbolicLink() || info.isJunction())
                continue;  // a link is listed with size 0 where this walker runs; never followed
            if (info.isDir())
                pending.push_back(info.filePath());
            else {
                total += info.size();
                Counted(walk);
            }
        }
    }
    return total;
}

}  // namespace DirSizeDetail
