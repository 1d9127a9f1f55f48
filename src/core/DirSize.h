#pragma once
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <functional>

// Called with a subfolder's full path just before the measurement opens it. Tests use it to make a
// folder vanish at the worst moment; the program passes nothing.
using DirSizeProbe = std::function<void(const QString& folder)>;

// A walk run on another thread: the caller may stop it at any time and read how far it got. Once
// stopped, the walk returns soon with a partial total, which means nothing.
struct DirSizeWalk {
    std::atomic<bool> Stop{false};
    std::atomic<qint64> Files{0};  // files counted so far
};

// The plain sum of the sizes of all files below folder, at every depth, hidden ones included, with no
// rounding. The total is 64-bit. A symbolic link counts as itself (its own size) and is never followed,
// so link cycles cannot loop; a subfolder that cannot be opened or listed adds nothing. The walk keeps
// its own stack, so any depth of tree is fine. The folder itself may be reached through a link: the
// user named it.
qint64 GetDirSize(const QString& folder, const DirSizeProbe& probe = {}, DirSizeWalk* walk = nullptr);

// The disk space text the program shows: bytes / 1024, truncated, in decimal.
QString SizeInKBText(qint64 bytes);

// What the folder-size field and the command line show for a text: "0" when it names no existing
// folder (the empty text included), otherwise the folder's size in KB.
bool IsExistingFolder(const QString& text);
QString FolderSizeKBText(const QString& text);

namespace DirSizeDetail {
// The two walkers behind GetDirSize: descriptors (openat/fstatat) on POSIX, QDirIterator elsewhere.
// Both are always built so that the tests run both.
#ifdef Q_OS_UNIX
qint64 GetDirSizePosix(const QString& folder, const DirSizeProbe& probe, DirSizeWalk* walk = nullptr);
#endif
qint64 GetDirSizeQt(const QString& folder, const DirSizeProbe& probe, DirSizeWalk* walk = nullptr);
}  // namespace DirSizeDetail
