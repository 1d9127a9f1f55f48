#include "ChildProcess.h"
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

std::function<std::unique_ptr<ChildProcess>()>& ChildProcess::Factory()
{
    static std::function<std::unique_ptr<ChildProcess>()> factory;
    return factory;
}

std::unique_ptr<ChildProcess> ChildProcess::Make()
{
    if (Factory())
        return Factory()();
    return std::make_unique<ChildProcess>();
}

CommandWords SplitCommandLine(const QString& commandLine)
{
    CommandWords words;
    const QChar blank = QLatin1Char(' ');
    qsizetype start = 0;
    while (start < commandLine.size() && commandLine[start] == blank)
        ++start;
    // Try every blank as the end of the program's path, the shortest first, then the whole line.
    qsizetype end = start;
    qsizetype programEnd = -1;
    while (end <= commandLine.size()) {
        if (end == commandLine.size() || commandLine[end] == blank) {
            if (end > start && QFileInfo(commandLine.mid(start, end - start)).isFile()) {
                programEnd = end;
                break;
            }
        }
        ++end;
    }
    if (programEnd < 0)
        return words;
    words.Program = commandLine.mid(start, programEnd - start);
    words.Arguments = commandLine.mid(programEnd).split(blank, Qt::SkipEmptyParts);
    return words;
}

#ifdef Q_OS_WIN

ChildExit ChildProcess::Run(const QString& commandLine)
{
    // The whole line goes to the process start, which finds the program itself.
    ChildExit result;
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    si.hStdInput = nul;
    si.hStdOutput = nul;
    si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    std::wstring line = commandLine.toStdWString();
    const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    if (!started) {
        result.Result = ChildExit::Kind::NotStarted;
        result.Error = QStringLiteral("CreateProcess: %1").arg(GetLastError());
        return result;
    }
    CloseHandle(pi.hThread);
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    result.Result = ChildExit::Kind::Exited;
    result.Code = int(code);
    return result;
}

#else

ChildExit ChildProcess::Run(const QString& commandLine)
{
    ChildExit result;
    const CommandWords words = SplitCommandLine(commandLine);
    if (words.Program.isEmpty()) {
        result.Result = ChildExit::Kind::NotStarted;
        result.Error = QStringLiteral("Žádná počáteční část příkazové řádky není existující soubor.");
        return result;
    }
    QProcess process;
    process.setProgram(words.Program);
    process.setArguments(words.Arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(-1)) {
        result.Result = ChildExit::Kind::NotStarted;
        result.Error = process.errorString();
        return result;
    }
    process.waitForFinished(-1);
    if (process.exitStatus() == QProcess::CrashExit) {
        result.Result = ChildExit::Kind::Killed;
        result.Code = process.exitCode();  // the signal number
    } else {
        result.Result = ChildExit::Kind::Exited;
        result.Code = process.exitCode();
    }
    return result;
}

#endif
