#pragma once
#include <QDir>
#include <QString>

// Folders and names are joined by plain concatenation with the platform's separator, unquoted.
namespace Paths {
inline QChar Separator() { return QDir::separator(); }
inline QString Join(const QString& folder, const QString& name) { return folder + Separator() + name; }

// The folder part of a path without a trailing separator; a root keeps its separator.
QString FolderOf(const QString& path);
// The file-name part of a path (empty when the path ends in a separator).
QString FileNameOf(const QString& path);
// Removes one separator from the end when the last separator is the last character. The POSIX root
// "/" stays as it is.
QString StripTrailingBackslash(const QString& path);
}  // namespace Paths
