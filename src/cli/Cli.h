#pragma once
#include <QString>
#include <QStringList>

class QJsonObject;

// zelvakon-cli: the build, the data file's inspection and extraction, and the folder measurement,
// without a window, on the same core code as the program.
namespace Cli {

// Exit statuses: scripts tell a refused project from a failed build.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitRefused = 2;       // also a wrong command line
inline constexpr int ExitSignalBase = 128;  // + the signal that stopped the build

// The arguments without the program's own name. QCoreApplication must exist.
int Run(const QStringList& arguments);

// What a build run changes of the project for itself; the project file is never written.
struct BuildOptions {
    QString ProgramFolder;  // where Unrar.dll and Vorvanex.exe come from (absolute); empty: the program's folders
    QString WinRar, Output, InstallerName, DataName;  // empty: the project's value
    bool Verbose = false;   // the archiver's output goes to stderr as it comes
};

int Build(const QString& projectPath, const BuildOptions& options);  // an absolute path
int Inspect(const QString& dataFile, bool json);
// An existing file or link of a part's name is an error unless force, which replaces it.
int Extract(const QString& dataFile, const QString& folder, bool force);
int DirSize(const QString& folder);

// How results and errors are printed: set once from the command line.
struct OutputMode {
    bool Json = false;   // refusals and failures as one JSON object on stdout
    bool Quiet = false;  // nothing but errors
};
OutputMode& Mode();

// A refusal (exit 2) or failure (exit 1) as the mode prints it: "<title>: <message>" on stderr, or
// {"status": "refused"|"failed", "title": ..., "message": ...} on stdout.
int Refused(const QString& title, const QString& message);
int Failed(const QString& message);

// UTF-8 text to stdout / stderr, a line end added.
void Out(const QString& line);
void Err(const QString& line);
void ErrBytes(const QByteArray& bytes);  // as they are, flushed
void Json(const QJsonObject& object);    // one compact line on stdout
// Neutralises control characters of a stored text before it reaches a terminal.
QString Printable(const QString& text);

}  // namespace Cli
