#pragma once
#include <QStringList>
#include <functional>
#include <memory>

// How a child process ended. Stopped: ended because the watch asked for it.
struct ChildExit {
    enum class Kind { Exited, NotStarted, Killed, Stopped };
    Kind Result = Kind::NotStarted;
    int Code = 0;          // the exit code, or the signal that ended the process
    QString Error;         // why it could not start
    QStringList LastLines; // the last lines the child wrote (stdout and stderr), for an error message
};

// Looks in on a running child every IntervalMs, on the thread that runs it. When Tick returns true the
// child is asked to end (SIGTERM on POSIX) and killed when it has not ended GraceMs later.
struct ChildWatch {
    std::function<bool()> Tick;
    int IntervalMs = 100;
    int GraceMs = 2000;
};

// Runs exactly the named program (never a shorter leading part of a path with blanks) with the text of
// its arguments, and waits for the process to end, without any time limit. On POSIX the arguments are
// split at blanks, as Windows splits an unquoted line; on Windows the program is quoted and the text
// follows it as written. The child's output is read as it comes, so it can never block on a full
// pipe; only its last lines are kept. Its input is the null device. No shell is involved. On POSIX a
// Windows program (a path ending in ".exe") runs through wine, its absolute path arguments given as
// wine sees them. On Linux the child is killed when the thread that started it ends, so that it never
// outlives a builder that was killed.
class ChildProcess {
public:
    virtual ~ChildProcess() = default;
    virtual ChildExit Run(const QString& program, const QString& arguments, const ChildWatch& watch = {});

    // Gets the child's output as it comes, unchanged (zelvakon-cli --verbose). Optional.
    std::function<void(const QByteArray&)> OutputSink;
    static constexpr int KeptLines = 12;
    static std::unique_ptr<ChildProcess> Make() { return std::make_unique<ChildProcess>(); }
};

// The last lines of a child's output as a user would have seen them on a terminal: carriage returns
// and backspaces (progress counters) applied, other control characters dropped, empty lines skipped.
// Memory stays bounded whatever the child writes.
class OutputTail {
public:
    explicit OutputTail(int maxLines = ChildProcess::KeptLines) : MaxLines(maxLines) {}
    void Add(const QByteArray& bytes);
    QStringList Lines() const;  // the pending unfinished line included

private:
    void EndLine();
    int MaxLines;
    QStringList Done;
    QByteArray Pending;
};

// On POSIX: whether a program is a Windows program that needs wine, and the wine found on PATH (empty
// when there is none). Elsewhere nothing needs wine.
bool NeedsWine(const QString& program);
QString WineProgram();
