#include "Paths.h"

namespace Paths {

static qsizetype LastSeparator(const QString& path)
{
    qsizetype i = path.lastIndexOf(Separator());
#ifdef Q_OS_WIN
    i = qMax(i, path.lastIndexOf(QLatin1Char(':')));
#endif
    return i;
}

QString FolderOf(const QString& path)
{
    const qsizetype i = LastSeparator(path);
    if (i < 0)
        return QString();
    QString folder = path.left(i);
    // A root keeps its separator ("/" on POSIX, "C:\" on Windows).
    if (folder.isEmpty() || (folder.size() == 2 && folder[1] == QLatin1Char(':')))
        folder = path.left(i + 1);
    return folder;
}

QString FileNameOf(const QString& path)
{
    return path.mid(LastSeparator(path) + 1);
}

QString StripTrailingBackslash(const QString& path)
{
#ifndef Q_OS_WIN
    // "/" would become the empty text, which names no folder at all. ("C:\" becomes "C:", which the
    // joins turn back into "C:\name".)
    if (path == Separator())
        return path;
#endif
    if (!path.isEmpty() && path.back() == Separator())
        return path.left(path.size() - 1);
    return path;
}

}  // namespace Paths
