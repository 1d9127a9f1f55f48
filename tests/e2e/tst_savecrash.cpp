#include "Project.h"
#include "TestEnv.h"
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

// The program killed in the middle of a save, at every system call of it in turn: afterwards each file
// is the old one or the new one, never half of either, and the project opens.

namespace {

// The saver helper under ptrace: it saves version A, stops itself, and is then stepped from one system
// call stop (entry or exit) to the next; at stop killAt it is killed, as by a crash of the
// program. Returns the number of stops it went through (all of them when killAt is 0).
int RunSaver(const QString& folder, int killAt)
{
    const QByteArray program = ZELVAKON_BIN_DIR "/zelvakon-saver";
    const QByteArray arg = folder.toLocal8Bit();
    // Leak checking at exit would try to trace the traced process.
    QList<QByteArray> env;
    for (char** e = environ; *e; ++e)
        if (!QByteArray(*e).startsWith("ASAN_OPTIONS="))
            env << QByteArray(*e);
    env << QByteArray("ASAN_OPTIONS=detect_leaks=0");
    std::vector<char*> envp;
    for (QByteArray& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(arg.constData()), nullptr};

    const pid_t pid = fork();
    if (pid == 0) {
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        execve(argv[0], argv, envp.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);  // stopped at its exec
    ptrace(PTRACE_SETOPTIONS, pid, nullptr, reinterpret_cast<void*>(intptr_t(PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL)));
    // Version A: run freely up to its own stop.
    int deliver = 0;
    for (;;) {
        ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void*>(intptr_t(deliver)));
        if (waitpid(pid, &status, 0) < 0 || WIFEXITED(status) || WIFSIGNALED(status))
            return -1;
        if (WSTOPSIG(status) == SIGSTOP)
            break;
        deliver = WSTOPSIG(status) == SIGTRAP ? 0 : WSTOPSIG(status);
    }
    // Version B, one system call stop at a time.
    int stops = 0;
    deliver = 0;
    for (;;) {
        ptrace(PTRACE_SYSCALL, pid, nullptr, reinterpret_cast<void*>(intptr_t(deliver)));
        if (waitpid(pid, &status, 0) < 0 || WIFEXITED(status) || WIFSIGNALED(status))
            return stops;
        deliver = 0;
        if (WSTOPSIG(status) == (SIGTRAP | 0x80)) {
            if (++stops == killAt) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                return stops;
            }
        } else if (WSTOPSIG(status) != SIGTRAP) {
            deliver = WSTOPSIG(status);
        }
    }
}

QMap<QString, QByteArray> Files(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
        files[name] = ReadBytes(folder + QLatin1Char('/') + name);
    return files;
}

}  // namespace

class TestSaveCrash : public QObject {
    Q_OBJECT
private slots:
    void crashInTheMiddleOfASave();
};

void TestSaveCrash::crashInTheMiddleOfASave()
{
    QTemporaryDir dir;
    // The two versions as the saver leaves them: stopped after A, and run to its end.
    const QString refA = dir.filePath(QStringLiteral("A")), refB = dir.filePath(QStringLiteral("B"));
    QVERIFY(RunSaver(refA, 1) == 1);
    const int stops = RunSaver(refB, 0);
    QVERIFY2(stops > 10, qPrintable(QString::number(stops)));
    const QMap<QString, QByteArray> a = Files(refA), b = Files(refB);
    QVERIFY(a.contains(QStringLiteral("Hra.zpf")) && a.contains(QStringLiteral("Readme.nfo")));
    QCOMPARE(a.keys(), b.keys());
    for (const QString& name : a.keys())
        QVERIFY2(a[name] != b[name], qPrintable(name));

    // Killed at every other system call stop of the second save in turn: stops alternate between a
    // call's entry and its exit, and the files cannot change between one call's exit and the next
    // one's entry, so one kind of stop already meets every state the files pass through.
    int newFiles = 0, mixed = 0, leftovers = 0, kills = 0;
    for (int at = 1; at <= stops; at += 2, ++kills) {
        const QString folder = dir.filePath(QStringLiteral("run%1").arg(at));
        QVERIFY(RunSaver(folder, at) > 0);  // a run with fewer stops than counted ends on its own
        const QMap<QString, QByteArray> files = Files(folder);
        int fromB = 0;
        for (const QString& name : a.keys()) {
            QVERIFY2(files.contains(name), qPrintable(QStringLiteral("%1 gone after a kill at stop %2").arg(name).arg(at)));
            const QByteArray& bytes = files[name];
            QVERIFY2(bytes == a[name] || bytes == b[name],
                     qPrintable(QStringLiteral("%1 is neither version after a kill at stop %2").arg(name).arg(at)));
            fromB += bytes == b[name] ? 1 : 0;
        }
        const Project opened = ::ReadProjectFile(folder + QStringLiteral("/Hra.zpf"));
        QVERIFY(opened.Nazev == QStringLiteral("Verze B") || opened.Nazev.endsWith(QStringLiteral("verze A s dlouhým názvem")));
        newFiles += fromB;
        mixed += fromB > 0 && fromB < int(a.size()) ? 1 : 0;
        // A kill between the temporary file's creation and its rename leaves it beside the file, under
        // a name no open dialog offers ("Hra.zpf.XXXXXX"); nothing reads it.
        for (const QString& name : files.keys()) {
            if (a.contains(name))
                continue;
            ++leftovers;
            QVERIFY2(a.contains(name.chopped(7)) && name.at(name.size() - 7) == QLatin1Char('.'), qPrintable(name));
        }
        QDir(folder).removeRecursively();
    }
    // The sweep must have met both versions of every file, or it stopped nowhere of interest.
    QVERIFY(newFiles > 0 && newFiles < kills * int(a.size()));
    qInfo("%d kills; %d left the side files of another version than the project file; %d temporary files left",
          kills, mixed, leftovers);
}

QTEST_GUILESS_MAIN(TestSaveCrash)
#include "tst_savecrash.moc"
