#include "BuildChecks.h"
#include "DatFormat.h"
#include "Error.h"
#include "MusicPlayer.h"
#include "Areadlg.h"
#include "RegIni.h"
#include "RegistryTree.h"
#include "SettingsStore.h"
#include "Progress.h"
#include "Project.h"
#include "TestEnv.h"
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>
#include <QtEndian>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// Faults from outside while the program saves and builds: a full disk, folders and parts that change
// under the build, an archiver that crashes or never ends. Each case checks what the user is shown and
// what is left on disk. (A crash of the program itself in the middle of a save: tst_savecrash.)

namespace {

const QString StandIn = QStringLiteral(ZELVAKON_BIN_DIR "/WinRAR");

struct EnvVar {
    QByteArray Name;
    EnvVar(const char* name, const QByteArray& value) : Name(name) { qputenv(name, value); }
    ~EnvVar() { qunsetenv(Name.constData()); }
};

// A file-size limit stands in for a disk that fills up; ignoring SIGXFSZ turns it into EFBIG.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &Old);
        rlimit limit = Old;
        limit.rlim_cur = bytes;
        Ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &Old); }
    bool Ok = false;

private:
    rlimit Old{};
};

// True when the file would pass for a finished data file: its header checks out against its size.
bool LooksComplete(const QString& path)
{
    const QByteArray bytes = ReadBytes(path);
    return VerifyDatHeader(bytes, bytes.size()).Ok;
}

// A complete project in a private program folder with the stand-in archiver, Unrar.dll and Vorvanex.exe.
struct Build : TestEnv {
    TMainForm* Win = nullptr;
    TProgressForm* Form = nullptr;
    QString ArchAdr;
    QString Picture;
    QString Music;
    QString Label;  // what the progress window showed when its writer had ended
    QString Button;

    Build()
    {
        Win = Start();
        Form = Win->Windows.ProgressForm;
        ArchAdr = Dir.path() + QStringLiteral("/Hra");
        QDir().mkpath(ArchAdr);
        // Several chunks, so that faults can strike between them.
        WriteBytes(ArchAdr + QStringLiteral("/hra.bin"), Pattern(150000, 'h'));
        WriteBytes(Path(QStringLiteral("Unrar.dll")), "MZ" + Pattern(89998, 'u'));
        WriteBytes(Path(QStringLiteral("Vorvanex.exe")), "MZ vorvanex");
        Picture = Path(QStringLiteral("Obrazky/titul.bmp"));
        WriteBytes(Picture, BitmapBytes(200, 150, 60000));
        Music = Path(QStringLiteral("Hudba/song.mid"));
        WriteBytes(Music, Pattern(50000, 'm'));
        Ui(Win).TitleEdit->setText(QStringLiteral("Hra"));
        Ui(Win).Dir2AddEdit->setText(ArchAdr);
        Ui(Win).SpaceEdit->setText(QStringLiteral("1234"));
        Ui(Win).RAREdit->setText(StandIn);
        Ui(Win).SkinEdit->setText(Picture);
        Ui(Win).BkMusicEdit->setText(Music);
        Win->Media()->Rozbal = {10, 20, 110, 60};
        Win->Media()->Readme = {11, 70, 111, 90};
        Win->Media()->Konec = {12, 100, 112, 140};
        Ui(Win).ReadMemo->setPlainText(QString(3000, QLatin1Char('r')));
    }

    QString DatPath() const { return Path(QStringLiteral("Vystup/Instal.dat")); }
    QString ExePath() const { return Path(QStringLiteral("Vystup/Instal.exe")); }
    QString ArchivePath() const { return Path(QStringLiteral("Projekty/archiv.rar")); }

    // Runs the build; the progress window is shown as the program shows it. beforeWriter runs once
    // the archiver has ended, before the writer starts; onChunk on every progress the window shows.
    void Run(std::function<void()> beforeWriter = {}, std::function<void(const QString&, int)> onChunk = {})
    {
        Dlg.ModalScripts.push_back([](QObject* window) { return RunArchiveWindow(window); });
        Dlg.ModalScripts.push_back([=, this](QObject* window) {
            if (window != Form)
                return -1;
            if (beforeWriter)
                beforeWriter();
            QSignalSpy ended(Form, &TProgressForm::WorkerEnded);
            if (onChunk)
                QObject::connect(Form->ProgBar, &QProgressBar::valueChanged, Form,
                                 [=, this](int value) { onChunk(Form->ProgLabel->text(), value); });
            Form->show();
            if (!QTest::qWaitFor([&] { return ended.count() > 0; }, 30000))
                return -2;
            QObject::disconnect(Form->ProgBar, &QProgressBar::valueChanged, Form, nullptr);
            Label = Form->ProgLabel->text();
            Button = Form->BitBtn->text();
            Form->BitBtn->click();
            return Form->result();
        });
        Win->BuildPrAct->trigger();
    }
};

// The window's save, with what escapes it shown as the program shows it: in the standard error box.
void SaveShowingErrors(TestEnv& env, const std::function<void()>& save)
{
    try {
        save();
    } catch (const ZelvakonError& error) {
        env.Dlg.ShowError(error.Message());
    }
}

// The children of this process running the given program, by /proc.
std::vector<pid_t> Children(const QByteArray& name)
{
    std::vector<pid_t> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        if (!number)
            continue;
        const QByteArray stat = ReadBytes(QStringLiteral("/proc/%1/stat").arg(pid));
        const qsizetype open = stat.indexOf('('), close = stat.lastIndexOf(')');
        if (open < 0 || close < 0)
            continue;
        const QList<QByteArray> rest = stat.mid(close + 2).split(' ');
        if (stat.mid(open + 1, close - open - 1) == name && rest.size() > 1 && rest[1].toInt() == getpid())
            found.push_back(pid);
    }
    return found;
}

// Kills the archiver once it has run for the test's bound, from a thread of its own: the window waits
// for the archiver on the GUI thread without any limit.
class ArchiverWatchdog {
public:
    ArchiverWatchdog(int boundMs, int signal)
    {
        Thread = std::thread([this, boundMs, signal] {
            QElapsedTimer since;
            since.start();
            while (!Stop && since.elapsed() < 20000) {
                const std::vector<pid_t> pids = Children("WinRAR");
                if (!pids.empty()) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(boundMs));
                    Killed = int(pids.size());  // before the kill: the window goes on at once
                    for (pid_t pid : pids)
                        kill(pid, signal);
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    ~ArchiverWatchdog()
    {
        Stop = true;
        Thread.join();
    }
    std::atomic<int> Killed{0};

private:
    std::atomic<bool> Stop{false};
    std::thread Thread;
};

}  // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void dataFileOnAFullDisk_data();
    void dataFileOnAFullDisk();
    void installerOnAFullDisk();
    void projectSaveOnAFullDisk_data();
    void projectSaveOnAFullDisk();
    void outputFolderIsAFile_data();
    void outputFolderIsAFile();
    void partChangedAfterMeasurement_data();
    void partChangedAfterMeasurement();
    void archiverEndedBySignal_data();
    void archiverEndedBySignal();
    void specialFilesAreNotRead_data();
    void specialFilesAreNotRead();
};

void TestFaults::specialFilesAreNotRead_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("kind");  // fifo, socket, folder or a device's path
    QTest::addColumn<QString>("reason");
    const QString special = QStringLiteral("není to obyčejný soubor");
    QTest::newRow("picture at the build's size check") << "build" << "fifo" << special;
    QTest::newRow("picture in the preview and the area editor") << "preview" << "fifo" << special;
    QTest::newRow("picture that is a socket") << "preview" << "socket" << special;
    QTest::newRow("project at Open") << "project" << "fifo" << special;
    QTest::newRow("project that is an endless device") << "project" << "/dev/zero" << special;
    QTest::newRow("Reg.ini at Save") << "reg-save" << "fifo" << special;
    QTest::newRow("readme text") << "readme" << "fifo" << special;
    QTest::newRow("readme text that is a folder") << "readme" << "folder" << "je to adresář";
    QTest::newRow("settings file at start-up") << "settings" << "fifo" << special;
    QTest::newRow("music at the test playback") << "music" << "fifo" << special;
}

void TestFaults::specialFilesAreNotRead()
{
    QFETCH(QString, reader);
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString path = dir.filePath(reader == QLatin1String("preview") || reader == QLatin1String("build")
                                    ? QStringLiteral("titul.bmp")
                                    : QStringLiteral("soubor"));
    int socketFd = -1;
    if (kind == QLatin1String("fifo")) {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QLatin1String("socket")) {
        socketFd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        QVERIFY(size_t(name.size()) < sizeof address.sun_path);
        memcpy(address.sun_path, name.constData(), size_t(name.size()));
        QCOMPARE(bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    } else {
        path = kind;
    }
    // Should a reader wait on the pipe, a writer comes and goes after a while, so the test fails
    // instead of hanging.
    std::atomic<bool> done{false};
    std::thread unblock([&] {
        for (int i = 0; i < 300 && !done; ++i)
            QThread::msleep(10);
        while (!done) {
            const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
            QThread::msleep(10);
        }
    });
    QString message;
    try {
        if (reader == QLatin1String("build")) {
            Project p;
            p.Obrazek = path;
            p.ArchAdr = dir.path();
            p.DiskMisto = QStringLiteral("1");
            p.Rozbal = p.Readme = p.Konec = {1, 1, 2, 2};
            WriteBytes(dir.filePath(QStringLiteral("a.txt")), "a");
            CheckBuild(p, dir.path());
        } else if (reader == QLatin1String("preview")) {
            LoadSkinPicture(path);
        } else if (reader == QLatin1String("project")) {
            ReadProjectFile(path);
        } else if (reader == QLatin1String("reg-save")) {
            RegistryTree tree;
            SaveRegIni(path, tree);
        } else if (reader == QLatin1String("readme")) {
            LoadReadmeText(path);
        } else if (reader == QLatin1String("settings")) {
            QtSettingsStore(path).LoadWinRarPath();
        } else if (reader == QLatin1String("music")) {
            MusicPlayer player;
            player.FileName = path;
            if (!player.Open())
                message = player.ErrorText();
        }
    } catch (const ZelvakonError& error) {
        message = error.Message();
    }
    done = true;
    unblock.join();
    if (socketFd >= 0)
        ::close(socketFd);
    QVERIFY2(message.contains(path) && message.contains(reason), qPrintable(message));
}

void TestFaults::dataFileOnAFullDisk_data()
{
    QTest::addColumn<int>("room");  // bytes the disk takes; negative: counted back from the full file
    QTest::newRow("full before the header is written") << 60;
    QTest::newRow("full in the archive") << 100000;
    QTest::newRow("full in the readme text") << -92000;
    QTest::newRow("full in Unrar.dll, which no size field records") << -1000;
}

void TestFaults::dataFileOnAFullDisk()
{
    QFETCH(int, room);
    Build b;
    b.Run();
    QCOMPARE(b.Label, QStringLiteral("Hotovo."));
    const qint64 fullSize = QFileInfo(b.DatPath()).size();
    // So that this build's own outputs show.
    QVERIFY(QFile::remove(b.ExePath()));
    QVERIFY(QFile::remove(b.DatPath()));
    const rlim_t limit = rlim_t(room > 0 ? room : fullSize + room);
    std::unique_ptr<FullDisk> disk;
    // Only while the writer runs: the archiver and the rest of the test write bigger files.
    b.Run([&] { disk = std::make_unique<FullDisk>(limit); });
    disk.reset();

    QCOMPARE(b.Label, QStringLiteral("Chyba: Do datového souboru Instal.dat nelze zapisovat: soubor je příliš velký."));
    QCOMPARE(b.Button, QStringLiteral("Zavřít"));
    QVERIFY(b.Dlg.Messages.isEmpty());
    // A file cut short is not left behind, least of all one whose header checks out.
    QVERIFY(!QFile::exists(b.DatPath()));
    QVERIFY(!QFile::exists(b.ExePath()));
    QVERIFY(QFile::exists(b.ArchivePath()));  // the next build starts from a fresh one anyway
}

void TestFaults::installerOnAFullDisk()
{
    Build b;
    // An extractor bigger than the data file: only its copy meets the limit.
    WriteBytes(b.Path(QStringLiteral("Vorvanex.exe")), "MZ" + Pattern(2000000, 'v'));
    std::unique_ptr<FullDisk> disk;
    b.Run([&] { disk = std::make_unique<FullDisk>(1000000); });
    disk.reset();

    QCOMPARE(b.Label, QStringLiteral("Chyba: Chyba při kopírování spustitelného souboru instalace."));
    QVERIFY(!QFile::exists(b.ExePath()));
    // A failed build leaves nothing in the output folder, not even the finished data file: it would
    // pass for a build that had its installer.
    QCOMPARE(QDir(b.Path(QStringLiteral("Vystup"))).entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(QFile::exists(b.ArchivePath()));
}

void TestFaults::projectSaveOnAFullDisk_data()
{
    QTest::addColumn<QString>("grow");  // what the second save makes too big for the disk
    QTest::addColumn<bool>("projectFileNew");
    QTest::newRow("project file") << "title" << false;
    QTest::newRow("Readme.nfo after the project file") << "readme" << true;
}

void TestFaults::projectSaveOnAFullDisk()
{
    QFETCH(QString, grow);
    QFETCH(bool, projectFileNew);
    TestEnv env;
    TMainForm* win = env.Start();
    const QString path = env.Path(QStringLiteral("Projekty/Hra.zpf"));
    const QString readme = env.Path(QStringLiteral("Projekty/Readme.nfo"));
    Ui(win).TitleEdit->setText(QStringLiteral("Hra"));
    Ui(win).ReadMemo->setPlainText(QStringLiteral("první verze"));
    win->WriteProjectFile(path);
    const QByteArray oldProject = ReadBytes(path), oldReadme = ReadBytes(readme);

    if (grow == QLatin1String("title"))
        Ui(win).TitleEdit->setText(QString(2000, QLatin1Char('t')));
    else
        Ui(win).ReadMemo->setPlainText(QString(5000, QLatin1Char('r')));
    Ui(win).TarDirEdit->setText(QStringLiteral("C:\\Nove"));
    QVERIFY(win->Modified);
    {
        FullDisk disk(1500);
        QVERIFY(disk.Ok);
        SaveShowingErrors(env, [&] { win->SavePrAct->trigger(); });
    }

    QCOMPARE(env.Dlg.Messages.size(), 1);
    const QString file = grow == QLatin1String("title") ? path : readme;
    QCOMPARE(env.Dlg.Messages[0].Text, QStringLiteral("Soubor %1 nelze uložit: soubor je příliš velký.").arg(file));
    QCOMPARE(env.Dlg.Messages[0].Title, QStringLiteral("Zelvakon"));
    QCOMPARE(env.Dlg.Messages[0].Icon, MsgIcon::Error);
    // Never half a file: each is the old one or the new one, and the project can still be opened.
    QCOMPARE(ReadBytes(readme), oldReadme);
    if (projectFileNew)
        QCOMPARE(::ReadProjectFile(path).CilAdr, QStringLiteral("C:\\Nove"));
    else
        QCOMPARE(ReadBytes(path), oldProject);
    QCOMPARE(QDir(env.Path(QStringLiteral("Projekty"))).entryList(QDir::Files),
             QStringList({QStringLiteral("Hra.zpf"), QStringLiteral("Readme.nfo")}));
    // The save did not finish: the project still counts as changed, so closing still asks.
    QVERIFY(win->Modified);
    QCOMPARE(win->windowTitle(), QStringLiteral("Zelvakon - Hra.zpf"));
}

void TestFaults::outputFolderIsAFile_data()
{
    QTest::addColumn<bool>("beforeBuild");
    QTest::newRow("a file in the output folder's place is refused by the checks") << true;
    QTest::newRow("the folder replaced by a file while the archiver ran") << false;
}

void TestFaults::outputFolderIsAFile()
{
    QFETCH(bool, beforeBuild);
    Build b;
    const QString output = b.Path(QStringLiteral("Vystup"));
    auto replace = [&] {
        QVERIFY(QDir(output).removeRecursively());
        WriteBytes(output, "not a folder");
    };
    if (beforeBuild) {
        replace();
        b.Win->BuildPrAct->trigger();
        QCOMPARE(b.Dlg.Messages.size(), 1);
        QCOMPARE(b.Dlg.Messages[0].Text, QStringLiteral("Výstupní adresář pro datový soubor nelze vytvořit."));
        QCOMPARE(b.Dlg.Messages[0].Title, QStringLiteral("Chyba"));
        QVERIFY(b.Dlg.ModalCalls.isEmpty());
        QVERIFY(!QFile::exists(b.ArchivePath()));  // the archiver never ran
    } else {
        b.Run(replace);
        QCOMPARE(b.Label, QStringLiteral("Chyba: Datový soubor Instal.dat nelze vytvořit: není to adresář."));
        QCOMPARE(b.Button, QStringLiteral("Zavřít"));
        QVERIFY(b.Dlg.Messages.isEmpty());
        QVERIFY(QFile::exists(b.ArchivePath()));
    }
    QCOMPARE(ReadBytes(output), QByteArray("not a folder"));  // untouched
}

void TestFaults::partChangedAfterMeasurement_data()
{
    QTest::addColumn<QString>("part");    // picture, music, archive, unrar
    QTest::addColumn<QString>("change");  // delete, cut, grow
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("headerChecksOut");

    QTest::newRow("picture deleted after it was measured")
        << "picture" << "delete" << "Chyba: Soubor s obrázkem nelze otevřít." << false;
    QTest::newRow("picture cut after it was measured")
        << "picture" << "cut" << "Chyba: Chyba při připojování souboru s obrázkem." << false;
    QTest::newRow("picture grown after it was measured")
        << "picture" << "grow" << "Chyba: Chyba při připojování souboru s obrázkem." << false;
    QTest::newRow("music deleted after it was measured")
        << "music" << "delete" << "Chyba: Soubor s hudbou nelze otevřít." << false;
    QTest::newRow("music cut after it was measured")
        << "music" << "cut" << "Chyba: Chyba při připojování souboru s hudbou." << false;
    QTest::newRow("archive cut while it is appended")
        << "archive" << "cut" << "Chyba: Chyba při připojování archivu." << false;
    // Unrar.dll runs to the end of the file with no size of its own: a cut copy would leave a file
    // whose header checks out, so a failed build leaves none.
    QTest::newRow("Unrar.dll cut while it is appended")
        << "unrar" << "cut" << "Chyba: Chyba při připojování souboru Unrar.dll." << false;
}

void TestFaults::partChangedAfterMeasurement()
{
    QFETCH(QString, part);
    QFETCH(QString, change);
    QFETCH(QString, label);
    QFETCH(bool, headerChecksOut);
    Build b;
    const QString path = part == QLatin1String("picture") ? b.Picture
                         : part == QLatin1String("music") ? b.Music
                         : part == QLatin1String("unrar") ? b.Path(QStringLiteral("Unrar.dll"))
                                                          : b.ArchivePath();
    // The archive's first chunk comes after every part was measured; Unrar.dll is measured when its
    // turn comes, so it changes during its own append.
    const QString when = part == QLatin1String("unrar") ? QStringLiteral("Připojuji soubor Unrar.dll...")
                                                         : QStringLiteral("Připojuji archiv...");
    bool done = false;
    b.Run({}, [&](const QString& status, int value) {
        if (done || status != when || value == 0)
            return;
        done = true;
        if (change == QLatin1String("delete"))
            QFile::remove(path);
        else if (change == QLatin1String("cut"))
            QFile(path).resize(QFileInfo(path).size() / 3);
        else
            WriteBytes(path, ReadBytes(path) + "more");
    });

    QVERIFY(done);
    QCOMPARE(b.Label, label);
    QCOMPARE(b.Button, QStringLiteral("Zavřít"));
    QVERIFY(!QFile::exists(b.ExePath()));
    QVERIFY(part == QLatin1String("archive") || QFile::exists(b.ArchivePath()));
    QCOMPARE(LooksComplete(b.DatPath()), headerChecksOut);
    QVERIFY(!QFile::exists(b.DatPath()));
}

void TestFaults::archiverEndedBySignal_data()
{
    QTest::addColumn<QByteArray>("behaviour");  // the stand-in's variable
    QTest::addColumn<int>("signal");            // 0: it kills itself
    QTest::addColumn<bool>("archiveLeft");

    QTest::newRow("archiver crashes") << QByteArray("ZELVAKON_RAR_KILL") << 0 << false;
    QTest::newRow("archiver never starts packing, killed after the bound")
        << QByteArray("ZELVAKON_RAR_SLEEP_MS") << int(SIGKILL) << false;
    QTest::newRow("archiver never ends after packing, terminated after the bound")
        << QByteArray("ZELVAKON_RAR_HANG") << int(SIGTERM) << true;
}

void TestFaults::archiverEndedBySignal()
{
    QFETCH(QByteArray, behaviour);
    QFETCH(int, signal);
    QFETCH(bool, archiveLeft);
    Build b;
    WriteBytes(b.DatPath(), "previous build");
    {
        EnvVar env(behaviour.constData(), behaviour.endsWith("MS") ? QByteArray("600000") : QByteArray("1"));
        constexpr int bound = 400;
        std::unique_ptr<ArchiverWatchdog> watchdog;
        if (signal)
            watchdog = std::make_unique<ArchiverWatchdog>(bound, signal);
        QElapsedTimer waited;
        waited.start();
        b.Dlg.ModalScripts.push_back([](QObject* window) { return RunArchiveWindow(window); });
        b.Win->BuildPrAct->trigger();
        if (watchdog) {
            QCOMPARE(int(watchdog->Killed), 1);
            QVERIFY(waited.elapsed() >= bound);  // the window waited for the archiver, as it does
        }
    }
    const int shown = signal ? signal : SIGKILL;
    QCOMPARE(b.Dlg.Messages.size(), 1);
    QCOMPARE(b.Dlg.Messages[0].Text,
             QStringLiteral("WinRAR byl ukončen signálem %1, archiv nemusí být úplný.\nSestavování bylo přerušeno.")
                 .arg(shown));
    QCOMPARE(b.Dlg.Messages[0].Title, QStringLiteral("Chyba"));
    QVERIFY(!b.Dlg.ModalCalls.contains(b.Form));  // no writer started
    QCOMPARE(ReadBytes(b.DatPath()), QByteArray("previous build"));
    QVERIFY(!QFile::exists(b.ExePath()));
    QCOMPARE(QFile::exists(b.ArchivePath()), archiveLeft);
    QVERIFY(Children("WinRAR").empty());

    // The next build does not build on what the killed archiver left.
    b.Dlg.Clear();
    b.Run();
    QCOMPARE(b.Label, QStringLiteral("Hotovo."));
    QVERIFY(LooksComplete(b.DatPath()));
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
