#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// How a child process ended.
struct ChildExit {
    enum class Kind { Exited, NotStarted, Killed };
    Kind Result = Kind::NotStarted;
    int Code = 0;   // the exit code, or the signal that ended the process
    QString Error;  // why it could not start
};

// Runs one fixed command-line text and waits for the process to end, without any time limit. The
// child's output goes to the null device, so it can never block on a full pipe, and its input is the
// null device too. No shell is involved.
class ChildProcess {
public:
    virtual ~ChildProcess() = default;
    virtual ChildExit Run(const QString& commandLine);

    // Tests may replace the factory with one that makes a fake.
    static std::unique_ptr<ChildProcess> Make();
    static std::function<std::unique_ptr<ChildProcess>()>& Factory();
};

// The program and arguments of a command line as Windows would start an unquoted path with blanks:
// the program is the shortest leading run of blank-separated words that names an existing file, the
// rest is split at blanks. Program is empty when no leading run names a file.
struct CommandWords {
    QString Program;
    QStringList Arguments;
};
CommandWords SplitCommandLine(const QString& commandLine);
