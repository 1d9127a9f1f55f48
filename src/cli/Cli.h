#pragma once
#include <QString>
#include <QStringList>

// zelvakon-cli: the build, the data file's inspection and extraction, and the folder measurement,
// without a window, on the same core code as the program.
namespace Cli {

// Exit statuses: scripts tell a refused project from a failed build.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitRefused = 2;       // also a wrong command line
inline constexpr int ExitSignalBase = 128;  // + the signal that stopped the build
inline constexpr qint64 CliChunkBytes = qint64(4) << 20;  // what a build copies between reports

// The arguments without the program's own name. QCoreApplication must exist.
int Run(const QStringList& arguments);

// programFolder: where Unrar.dll and Vorvanex.exe come from; empty: the running program's folders.
int Build(const QString& projectFile, const QString& programFolder);
int Inspect(const QString& dataFile, bool json);
int Extract(const QString& dataFile, const QString& folder);

// UTF-8 text to stdout / stderr, a line end added.
void Out(const QString& line);
void Err(const QString& line);
// Neutralises control characters of a stored text before it reaches a terminal.
QString Printable(const QString& text);

}  // namespace Cli
