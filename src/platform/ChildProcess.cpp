#include "ChildProcess.h"
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

void OutputTail::Add(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (c == '\n')
            EndLine();
        else
            Pending += c;
    }
    // A child that never ends its line (a flood, a progress counter) keeps only the line's end.
    constexpr qsizetype limit = 8192;
    if (Pending.size() > limit)
        Pending.remove(0, Pending.size() - limit / 2);
}

static QString Rendered(const QByteArray& raw)
{
    // What a terminal would show of the line: \r goes back to its start, \b one character back.
    QString line;
    qsizetype pos = 0;
    for (QChar c : QString::fromLocal8Bit(raw)) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\b')) {
            pos = c == QLatin1Char('\r') ? 0 : qMax<qsizetype>(0, pos - 1);
            continue;
        }
        if (c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            continue;
        if (pos < line.size())
            line[pos] = c;
        else
            line += c;
        ++pos;
    }
    return line.trimmed();
}

void OutputTail::EndLine()
{
    const QString line = Rendered(Pending);
    Pending.clear();
    if (line.isEmpty())
        return;
    Done << line;
    if (Done.size() > MaxLines)
        Done.removeFirst();
}

QStringList OutputTail::Lines() const
{
    QStringList lines = Done;
    const QString pending = Rendered(Pending);
    if (!pending.isEmpty())
        lines << pending;
    return lines.mid(qMax<qsizetype>(0, lines.size() - MaxLines));
}

bool NeedsWine([[maybe_unused]] const QString& program)
{
#ifdef Q_OS_WIN
    return false;
#else
    return program.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive);
#endif
}

QString WineProgram() { return QStandardPaths::findExecutable(QStringLiteral("wine")); }

#ifdef Q_OS_WIN

ChildExit ChildProcess::Run(const QString& program, const QString& arguments, const ChildWatch& watch)
{
    // Quoted, so that the process start never tries a shorter part of a path with blanks.
    const QString commandLine = QLatin1Char('"') + program + QStringLiteral("\" ") + arguments;
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
    if (!started)
        return {ChildExit::Kind::NotStarted, 0, QStringLiteral("CreateProcess: %1").arg(GetLastError()), {}};
    CloseHandle(pi.hThread);
    bool stopped = false;
    while (WaitForSingleObject(pi.hProcess, watch.Tick ? DWORD(watch.IntervalMs) : INFINITE) == WAIT_TIMEOUT) {
        if (watch.Tick()) {
            // A console archiver has no polite way to be asked from here: end it.
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, INFINITE);
            stopped = true;
            break;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    if (stopped)
        return {ChildExit::Kind::Stopped, 0, {}, {}};
    return {ChildExit::Kind::Exited, int(code), {}, {}};
}

#else

ChildExit ChildProcess::Run(const QString& programPath, const QString& argumentText, const ChildWatch& watch)
{
    // The file as named, made absolute so that a bare name is never looked up in PATH instead.
    const QFileInfo programFile(programPath);
    if (!programFile.isFile())
        return {ChildExit::Kind::NotStarted, 0, QStringLiteral("Soubor %1 neexistuje.").arg(programPath), {}};
    QString program = programFile.absoluteFilePath();
    QStringList arguments = argumentText.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Qt names files in UTF-8 whatever the locale says; an archiver started in the C locale stores
    // Czech names mangled, so it gets a UTF-8 character type.
    QString ctype = env.value(QStringLiteral("LC_ALL"));
    for (const char* name : {"LC_CTYPE", "LANG"})
        ctype = ctype.isEmpty() ? env.value(QLatin1String(name)) : ctype;
    if (!ctype.contains(QLatin1String("UTF-8"), Qt::CaseInsensitive)
        && !ctype.contains(QLatin1String("utf8"), Qt::CaseInsensitive))
        env.insert(env.value(QStringLiteral("LC_ALL")).isEmpty() ? QStringLiteral("LC_CTYPE") : QStringLiteral("LC_ALL"),
                   QStringLiteral("C.UTF-8"));
    if (NeedsWine(program)) {
        const QString wine = WineProgram();
        if (wine.isEmpty())
            return {ChildExit::Kind::NotStarted, 0, QStringLiteral("Program wine nebyl nalezen v PATH."), {}};
        // An absolute POSIX path as wine's programs see it: drive Z: is the root.
        for (QString& argument : arguments)
            if (argument.startsWith(QLatin1Char('/')))
                argument.replace(QLatin1Char('/'), QLatin1Char('\\')).prepend(QStringLiteral("Z:"));
        arguments.prepend(program);
        program = wine;
        // Keep wine's own diagnostics out of the lines a failure shows, and keep a first run from
        // asking to install components nobody needs for a console archiver.
        if (!env.contains(QStringLiteral("WINEDEBUG")))
            env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
        if (!env.contains(QStringLiteral("WINEDLLOVERRIDES")))
            env.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml="));
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_LINUX
    const pid_t parent = getpid();
    process.setChildProcessModifier([parent] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            raise(SIGKILL);  // the builder died before the line above
    });
#endif
    process.start();
    if (!process.waitForStarted(-1))
        return {ChildExit::Kind::NotStarted, 0, process.errorString(), {}};
    // Read as it comes: the pipe never fills, and memory holds only the tail.
    OutputTail tail;
    auto take = [&] {
        const QByteArray bytes = process.readAll();
        if (bytes.isEmpty())
            return;
        tail.Add(bytes);
        if (OutputSink)
            OutputSink(bytes);
    };
    while (process.state() == QProcess::Running) {
        const bool more = process.waitForReadyRead(watch.Tick ? watch.IntervalMs : -1);
        take();
        if (!watch.Tick && !more)
            break;
        if (!watch.Tick || process.state() != QProcess::Running || !watch.Tick())
            continue;
        process.terminate();
        if (!process.waitForFinished(watch.GraceMs)) {
            process.kill();
            process.waitForFinished(-1);
        }
        take();
        return {ChildExit::Kind::Stopped, 0, {}, tail.Lines()};
    }
    process.waitForFinished(-1);
    take();
    // After a crash the code is the signal's number.
    const bool crashed = process.exitStatus() == QProcess::CrashExit;
    return {crashed ? ChildExit::Kind::Killed : ChildExit::Kind::Exited, process.exitCode(), {}, tail.Lines()};
}

#endif
