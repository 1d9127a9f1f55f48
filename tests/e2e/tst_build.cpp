#include "Progress.h"
#include "RegistryPage.h"
#include "TestEnv.h"
#include "TimeBounds.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QRegularExpression>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QtEndian>
#include "RegIni.h"
#include "RegistryPage.h"

// Real builds through the main window, the stand-in archiver and the real writer thread, in a private
// program folder. Data files are compared byte for byte against layouts written out here by hand.

namespace {

const QString StandIn = QStringLiteral(ZELVAKON_BIN_DIR "/WinRAR");

struct EnvVar {
    QByteArray Name;
    EnvVar(const char* name, const QByteArray& value) : Name(name) { qputenv(name, value); }
    ~EnvVar() { qunsetenv(Name.constData()); }
};

QByteArray Le(qint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((quint32(v) >> (8 * i)) & 0xFF);
    return b;
}

QByteArray Bitmap(qint32 width, qint32 height, int size)
{
    return BitmapBytes(width, height, size);
}

// The header and texts as the extractor reads them: magic, five sizes, six lengths, the ask flag,
// twelve area values in file order, then the texts.
QByteArray Head(const QList<qint32>& sizes, const QList<QByteArray>& texts, qint32 ask, const QList<qint32>& areas)
{
    QByteArray bytes("Datovy soubor Zelvakon");
    for (qint32 s : sizes)
        bytes += Le(s);
    for (const QByteArray& t : texts)
        bytes += Le(qint32(t.size()));
    bytes += Le(ask);
    for (int i = 0; i < 12; ++i)
        bytes += Le(areas.value(i));
    if (bytes.size() != 118)
        qFatal("hand-made header has %d bytes", int(bytes.size()));
    for (const QByteArray& t : texts)
        bytes += t;
    return bytes;
}

const QByteArray LevelBytes = Pattern(5000, 'l');

// What the stand-in archiver makes of the folder every test packs.
QByteArray PackedFolder()
{
    return QByteArray("ZELVAKON STAND-IN ARCHIVE 1\n") + "F 5000 data/level1.dat\n" + LevelBytes + "F 6 hra.exe\n"
           + "MZ hra";
}

const QList<QByteArray> PlainTexts = {"Hra", "1234", "C:\\Hry\\Hra", "", "", ""};

// A main window with a complete project, the stand-in archiver, Unrar.dll and Vorvanex.exe.
struct Build : TestEnv {
    TMainForm* Win = nullptr;
    TProgressForm* Form = nullptr;
    QString ArchAdr;
    QString Log;
    QByteArray Unrar = "MZ" + Pattern(69998, 'u');
    QByteArray Vorvanex = "MZ vorvanex";
    std::unique_ptr<EnvVar> LogVar;
    // What the progress window showed when its writer had ended.
    QString ProjText, ProgText, ButtonText;
    int ProgValue = -1;
    int ModalResult = -1;

    Build()
    {
        Win = Start();
        Form = Win->Windows.ProgressForm;
        ArchAdr = Dir.path() + QStringLiteral("/Hra");
        QDir().mkpath(ArchAdr + QStringLiteral("/data"));
        WriteBytes(ArchAdr + QStringLiteral("/hra.exe"), "MZ hra");
        WriteBytes(ArchAdr + QStringLiteral("/data/level1.dat"), LevelBytes);
        WriteBytes(Path(QStringLiteral("Unrar.dll")), Unrar);
        WriteBytes(Path(QStringLiteral("Vorvanex.exe")), Vorvanex);
        Log = Dir.path() + QStringLiteral("/args.txt");
        LogVar = std::make_unique<EnvVar>("ZELVAKON_RAR_LOG", Log.toLocal8Bit());
        Ui(Win).TitleEdit->setText(QStringLiteral("Hra"));
        Ui(Win).Dir2AddEdit->setText(ArchAdr);
        Ui(Win).SpaceEdit->setText(QStringLiteral("1234"));
        Ui(Win).TarDirEdit->setText(QStringLiteral("C:\\Hry\\Hra"));
        Ui(Win).RAREdit->setText(StandIn);
    }

    QString DatPath() const { return Path(QStringLiteral("Vystup/Instal.dat")); }
    QString ExePath() const { return Path(QStringLiteral("Vystup/Instal.exe")); }
    QString ArchivePath() const { return Path(QStringLiteral("Projekty/archiv.rar")); }

    // The archiver's window, left to close itself when the archiver has ended.
    void ExpectArchiveWindow(std::function<void(TArchiveForm*)> whileRunning = {})
    {
        Dlg.ModalScripts.push_back(
            [whileRunning](QObject* window) { return RunArchiveWindow(window, whileRunning); });
    }

    // The archiver's window, then the next showing of the progress window: started as the program
    // shows it, watched until its writer has ended, then closed with its button.
    void ExpectProgressWindow(std::function<void()> whileRunning = {})
    {
        ExpectArchiveWindow();
        Dlg.ModalScripts.push_back([this, whileRunning](QObject* window) {
            if (window != Form)
                return -1;
            QSignalSpy ended(Form, &TProgressForm::WorkerEnded);
            Form->show();
            if (whileRunning)
                whileRunning();
            if (!QTest::qWaitFor([&] { return ended.count() > 0 || !Form->isVisible(); }, 30000))
                return -2;
            if (Form->isVisible()) {
                ProjText = Form->ProjLabel->text();
                ProgText = Form->ProgLabel->text();
                ButtonText = Form->BitBtn->text();
                ProgValue = Form->ProgBar->value();
                Form->BitBtn->click();
            }
            ModalResult = Form->result();
            return ModalResult;
        });
    }

    void Run(std::function<void()> whileRunning = {})
    {
        ExpectProgressWindow(std::move(whileRunning));
        Win->BuildPrAct->trigger();
    }
};

// The build stopped with exactly one box of the error kind, and showed no progress window.
void CheckStoppedWith(const Build& b, const QString& text, const QString& title = QStringLiteral("Chyba"),
                      MsgIcon icon = MsgIcon::Error)
{
    QCOMPARE(b.Dlg.Messages.size(), 1);
    QCOMPARE(b.Dlg.Messages[0].Text, text);
    QCOMPARE(b.Dlg.Messages[0].Title, title);
    QCOMPARE(b.Dlg.Messages[0].Icon, icon);
    QVERIFY(!b.Dlg.ModalCalls.contains(b.Form));
}

// Whether the process of the id written into the file still runs (a zombie no longer does).
bool Running(const QString& pidFile)
{
    const QByteArray pid = ReadBytes(pidFile).trimmed();
    const QByteArray stat = ReadBytes(QStringLiteral("/proc/") + QString::fromLatin1(pid) + QStringLiteral("/stat"));
    return !pid.isEmpty() && !stat.isEmpty() && stat.mid(stat.lastIndexOf(')') + 2, 1) != "Z";
}

}  // namespace

class TestBuild : public QObject {
    Q_OBJECT
private slots:
    void minimalProject();
    void headerTexts_data();
    void headerTexts();
    void mediaParts_data();
    void mediaParts();
    void registryText();
    void replacesExistingOutputs();
    void unrarMissing();
    void vorvanexMissing();
    void dataFileCannotBeCreated();
    void archiverOutcomes_data();
    void archiverOutcomes();
    void winRarPath_data();
    void winRarPath();
    void oldArchive_data();
    void oldArchive();
    void refusals_data();
    void refusals();
    void cancelStopsBetweenChunks();
    void newBuildWaitsForARunningWriter();
    void activationStartsNoSecondWriter();
    void closingTheProgramDuringABuild();
    void quittingAsksWhileABuildRuns();
    void partsFromTheirOwnFolders();
    void relativePathsFromTheProjectFolder();
    void stoppingTheArchiver_data();
    void stoppingTheArchiver();
};

void TestBuild::minimalProject()
{
    Build b;
    b.ExpectProgressWindow();
    b.Win->BuildBtn->click();

    const QByteArray archive = PackedFolder();
    const QByteArray expected = Head({qint32(archive.size()), 0, 0, 0, 0}, PlainTexts, 0, {}) + archive + b.Unrar;
    QCOMPARE(ReadBytes(b.DatPath()), expected);
    QCOMPARE(ReadBytes(b.ExePath()), b.Vorvanex);
    QVERIFY(!QFile::exists(b.ArchivePath()));
    // The exact words the archiver received, mask included (no shell expanded it).
    const QString sep = QDir::separator();
    QCOMPARE(QString::fromLocal8Bit(ReadBytes(b.Log)),
             QStringLiteral("a\n-r\n-ep1\n") + b.Path(QStringLiteral("Projekty")) + sep + QStringLiteral("archiv.rar\n")
                 + b.ArchAdr + sep + QStringLiteral("*.*\n"));

    QCOMPARE(b.ProjText, QStringLiteral("Projekt:     Bezejmena.zpf"));
    QCOMPARE(b.ProgText, QStringLiteral("Hotovo."));
    QCOMPARE(b.ButtonText, QStringLiteral("Zavřít"));
    QCOMPARE(b.ProgValue, 0);
    QCOMPARE(b.ModalResult, int(QDialog::Rejected));
    QCOMPARE(b.Win->focusWidget(), b.Win->ExitBtn);
    QVERIFY(b.Dlg.Messages.isEmpty());
    QVERIFY2(b.Dlg.Unexpected.isEmpty(), qPrintable(b.Dlg.Unexpected.join(QLatin1Char('\n'))));
    // The build does not save the project.
    QVERIFY(!QFile::exists(b.Path(QStringLiteral("Projekty/Bezejmena.zpf"))));
}

void TestBuild::headerTexts_data()
{
    QTest::addColumn<bool>("run");
    QTest::addColumn<bool>("ask");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cmdLine");
    QTest::addColumn<QList<QByteArray>>("texts");
    QTest::addColumn<int>("askFlag");

    QTest::newRow("program off: its texts and the ask flag stay out")
        << false << true << "Hra" << "Spustit.exe" << "/tichý režim" << PlainTexts << 0;
    QTest::newRow("program on, ask off")
        << true << false << "Hra" << "Spustit.exe" << "/tichý režim"
        << QList<QByteArray>{"Hra", "1234", "C:\\Hry\\Hra", "", "Spustit.exe", "/tich\xFD re\x9Eim"} << 0;
    QTest::newRow("program on, ask on")
        << true << true << "Hra" << "Spustit.exe" << "/tichý režim"
        << QList<QByteArray>{"Hra", "1234", "C:\\Hry\\Hra", "", "Spustit.exe", "/tich\xFD re\x9Eim"} << 1;
    QTest::newRow("Czech title in Windows-1250")
        << false << false << "Žluťoučký kůň" << "" << ""
        << QList<QByteArray>{"\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2", "1234", "C:\\Hry\\Hra", "", "", ""} << 0;
}

void TestBuild::headerTexts()
{
    QFETCH(bool, run);
    QFETCH(bool, ask);
    QFETCH(QList<QByteArray>, texts);
    QFETCH(int, askFlag);
    Build b;
    QFETCH(QString, title);
    QFETCH(QString, name);
    QFETCH(QString, cmdLine);
    Ui(b.Win).TitleEdit->setText(title);
    Ui(b.Win).RunChBox->setChecked(run);
    Ui(b.Win).ProgNameEdit->setText(name);
    Ui(b.Win).CmLineEdit->setText(cmdLine);
    Ui(b.Win).AskChBox->setChecked(ask);
    b.Run();

    const QByteArray archive = PackedFolder();
    QCOMPARE(ReadBytes(b.DatPath()),
             Head({qint32(archive.size()), 0, 0, 0, 0}, texts, askFlag, {}) + archive + b.Unrar);
    QCOMPARE(b.ProgText, QStringLiteral("Hotovo."));
}

void TestBuild::mediaParts_data()
{
    QTest::addColumn<bool>("picture");
    QTest::addColumn<QString>("music");  // none, file, separator, empty
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QByteArray>("readme");

    QTest::newRow("picture with its areas") << true << "none" << "" << QByteArray();
    QTest::newRow("music file") << false << "file" << "" << QByteArray();
    QTest::newRow("music path ending in a separator is no music") << false << "separator" << "" << QByteArray();
    QTest::newRow("zero-byte music file") << false << "empty" << "" << QByteArray();
    QTest::newRow("readme in Windows-1250 with CR LF")
        << false << "none" << "Řádek jedna\nžluť" << QByteArray("\xD8\xE1" "dek jedna\r\n\x9Elu\x9D");
    QTest::newRow("readme keeps its final line break") << false << "none" << "a\n" << QByteArray("a\r\n");
    QTest::newRow("everything at once") << true << "file" << "x" << QByteArray("x");
}

void TestBuild::mediaParts()
{
    QFETCH(bool, picture);
    QFETCH(QString, music);
    QFETCH(QString, memo);
    QFETCH(QByteArray, readme);
    Build b;
    QByteArray pictureBytes, musicBytes, musicName;
    if (picture) {
        pictureBytes = Bitmap(200, 150, 1000);
        WriteBytes(b.Path(QStringLiteral("Obrazky/titul.bmp")), pictureBytes);
        Ui(b.Win).SkinEdit->setText(b.Path(QStringLiteral("Obrazky/titul.bmp")));
        b.Win->Media()->Rozbal = {10, 20, 110, 60};  // Levy, Horni, Pravy, Dolni
        b.Win->Media()->Readme = {11, 70, 111, 90};
        b.Win->Media()->Konec = {12, 100, 112, 140};
    }
    if (music == QLatin1String("file")) {
        musicBytes = Pattern(50000, 'm');
        musicName = "song.mid";
    } else if (music == QLatin1String("empty")) {
        musicName = "ticho.wav";
    }
    if (!musicName.isEmpty()) {
        WriteBytes(b.Path(QStringLiteral("Hudba/") + QString::fromLatin1(musicName)), musicBytes);
        Ui(b.Win).BkMusicEdit->setText(b.Path(QStringLiteral("Hudba/") + QString::fromLatin1(musicName)));
    } else if (music == QLatin1String("separator")) {
        Ui(b.Win).BkMusicEdit->setText(b.Path(QStringLiteral("Hudba")) + QDir::separator());
    }
    Ui(b.Win).ReadMemo->setPlainText(memo);
    b.Run();

    const QByteArray archive = PackedFolder();
    const QList<qint32> areas = picture ? QList<qint32>{10, 110, 20, 60, 11, 111, 70, 90, 12, 112, 100, 140}
                                        : QList<qint32>{};
    QList<QByteArray> texts = PlainTexts;
    texts[3] = musicName;
    const QByteArray expected = Head({qint32(archive.size()), qint32(pictureBytes.size()), qint32(musicBytes.size()),
                                      qint32(readme.size()), 0},
                                     texts, 0, areas)
                                + archive + pictureBytes + musicBytes + readme + b.Unrar;
    QCOMPARE(ReadBytes(b.DatPath()), expected);
    QCOMPARE(b.ProgText, QStringLiteral("Hotovo."));
}

void TestBuild::registryText()
{
    Build b;
    Project keys;
    RegKey* key = keys.Registry.AddKey(keys.Registry.Root(0), QStringLiteral("Software"));
    keys.Registry.AddValue(key, QStringLiteral("Cesta"), QStringLiteral("String"), QStringLiteral("C:\\Hry"));
    b.Win->Registry->Apply(keys);
    const QByteArray regIni = BuildRegIniStream(keys.Registry);
    QVERIFY(!regIni.isEmpty());
    b.Run();
    const QByteArray archive = PackedFolder();
    QCOMPARE(ReadBytes(b.DatPath()),
             Head({qint32(archive.size()), 0, 0, 0, qint32(regIni.size())}, PlainTexts, 0, {}) + archive + regIni
                 + b.Unrar);
}

void TestBuild::replacesExistingOutputs()
{
    Build b;
    WriteBytes(b.DatPath(), Pattern(300000, 'o'));  // longer than the new file: nothing of it may remain
    WriteBytes(b.ExePath(), "old installer");
    b.Run();
    const QByteArray archive = PackedFolder();
    QCOMPARE(ReadBytes(b.DatPath()), Head({qint32(archive.size()), 0, 0, 0, 0}, PlainTexts, 0, {}) + archive + b.Unrar);
    QCOMPARE(ReadBytes(b.ExePath()), b.Vorvanex);
}

void TestBuild::unrarMissing()
{
    Build b;
    QFile::remove(b.Path(QStringLiteral("Unrar.dll")));
    Ui(b.Win).ReadMemo->setPlainText(QStringLiteral("readme"));
    b.Win->BuildPrAct->trigger();
    // Found missing before the archiver runs, which can take minutes; nothing is written.
    CheckStoppedWith(b, QStringLiteral("Soubor Unrar.dll nebyl nalezen. Hledán byl v adresářích:\n  ")
                            + QFileInfo(b.Path(QStringLiteral("Unrar.dll"))).path());
    QVERIFY(!QFile::exists(b.DatPath()));
    QVERIFY(!QFile::exists(b.ExePath()));
    QVERIFY(!QFile::exists(b.ArchivePath()));
}

void TestBuild::vorvanexMissing()
{
    Build b;
    QFile::remove(b.Path(QStringLiteral("Vorvanex.exe")));
    b.Win->BuildPrAct->trigger();
    CheckStoppedWith(b, QStringLiteral("Soubor Vorvanex.exe nebyl nalezen. Hledán byl v adresářích:\n  ")
                            + QFileInfo(b.Path(QStringLiteral("Vorvanex.exe"))).path());
    QVERIFY(!QFile::exists(b.DatPath()));
    QVERIFY(!QFile::exists(b.ExePath()));
    QVERIFY(!QFile::exists(b.ArchivePath()));
}

void TestBuild::dataFileCannotBeCreated()
{
    Build b;
    QDir().mkpath(b.DatPath() + QStringLiteral("/x"));
    b.Run();
    QVERIFY2(b.ProgText.startsWith(QStringLiteral("Chyba: Datový soubor Instal.dat nelze vytvořit: ")),
             qPrintable(b.ProgText));
    QCOMPARE(b.ButtonText, QStringLiteral("Zavřít"));
    QVERIFY(!QFile::exists(b.ExePath()));
    QVERIFY(QFile::exists(b.ArchivePath()));
    QVERIFY(b.Dlg.Messages.isEmpty());
}

void TestBuild::archiverOutcomes_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("message");  // a message box instead of the progress window
    QTest::addColumn<QString>("label");    // else the progress window's last line

    QTest::newRow("exit code 1 is a warning") << QByteArray("ZELVAKON_RAR_EXIT") << QByteArray("1") << "" << "Hotovo.";
    QTest::newRow("exit code 2 stops before the data file")
        << QByteArray("ZELVAKON_RAR_EXIT") << QByteArray("2")
        << "WinRAR skončil s chybovým kódem 2, archiv nemusí být úplný.\nSestavování bylo přerušeno." << "";
    QTest::newRow("crashing archiver stops") << QByteArray("ZELVAKON_RAR_KILL") << QByteArray("1")
                                             << "WinRAR byl ukončen signálem 9, archiv nemusí být úplný.\nSestavování "
                                                "bylo přerušeno."
                                             << "";
    QTest::newRow("the archiver's last words end the message")
        << QByteArray("ZELVAKON_RAR_LINK") << QByteArray("/nonexistent/prepared.rar")
        << "WinRAR skončil s chybovým kódem 2, archiv nemusí být úplný.\nSestavování bylo přerušeno.\n\nVýstup "
           "WinRARu:\ncannot link /nonexistent/prepared.rar to @/archiv.rar"
        << "";
    QTest::newRow("no archive written") << QByteArray("ZELVAKON_RAR_NO_ARCHIVE") << QByteArray("1") << ""
                                        << "Chyba: Archiv nelze otevřít.";
    QTest::newRow("archiver flooding its output") << QByteArray("ZELVAKON_RAR_FLOOD") << QByteArray("8000000") << ""
                                                  << "Hotovo.";
    QTest::newRow("archiver taking its time") << QByteArray("ZELVAKON_RAR_SLEEP_MS") << QByteArray("700") << ""
                                              << "Hotovo.";
}

void TestBuild::archiverOutcomes()
{
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    QFETCH(QString, message);
    QFETCH(QString, label);
    Build b;
    EnvVar env(variable.constData(), value);
    Ui(b.Win).ReadMemo->setPlainText(QStringLiteral("readme"));
    if (message.isEmpty())
        b.ExpectProgressWindow();
    else
        b.ExpectArchiveWindow();
    b.Win->BuildPrAct->trigger();

    if (message.isEmpty()) {
        QCOMPARE(b.ProgText, label);
        QCOMPARE(b.Dlg.Messages.size(), 0);
        return;
    }
    CheckStoppedWith(b, message.replace(QLatin1Char('@'), b.Path(QStringLiteral("Projekty"))));
    QVERIFY(!QFile::exists(b.DatPath()));
    QCOMPARE(b.Win->focusWidget(), b.Win->ExitBtn);
}

void TestBuild::winRarPath_data()
{
    QTest::addColumn<QString>("program");  // below the temporary folder; "copy:" copies the stand-in there
    QTest::addColumn<QString>("message");  // empty: the build runs
    QTest::addColumn<bool>("oldArchiveKept");

    QTest::newRow("rar.exe in a folder named WinRAR fails the name check")
        << "copy:WinRAR/rar.exe" << "Pravděpodobně se nejedná a spustitelný soubor WinRARa." << true;
    QTest::newRow("RAR for Linux passes the check") << "copy:bin/rar" << "" << false;
    QTest::newRow("missing file with WinRAR in its name")
        << "bin/WinRAR" << "Nemohu spustit WinRAR.\nZkontrolujte správnost zadané cesty." << false;
    QTest::newRow("a folder named WinRAR")
        << "dir:WinRAR.d" << "Nemohu spustit WinRAR.\nZkontrolujte správnost zadané cesty." << false;
    QTest::newRow("a text file named WinRAR.txt")
        << "text:WinRAR.txt" << "Nemohu spustit WinRAR.\nZkontrolujte správnost zadané cesty." << false;
    QTest::newRow("blanks in the archiver's folder") << "copy:Program Files/WinRAR/WinRAR" << "" << false;
    QTest::newRow("lower-case name passes the check") << "copy:bin/mywinrar" << "" << false;
}

void TestBuild::winRarPath()
{
    QFETCH(QString, program);
    QFETCH(QString, message);
    QFETCH(bool, oldArchiveKept);
    Build b;
    const QString kind = program.section(QLatin1Char(':'), 0, 0);
    const QString path = b.Dir.path() + QLatin1Char('/') + program.section(QLatin1Char(':'), -1);
    QDir().mkpath(QFileInfo(path).path());
    if (kind == QLatin1String("copy"))
        QVERIFY(QFile::copy(StandIn, path));
    else if (kind == QLatin1String("dir"))
        QDir().mkpath(path);
    else if (kind == QLatin1String("text"))
        WriteBytes(path, "echo\n");
    WriteBytes(b.ArchivePath(), "stale");
    Ui(b.Win).RAREdit->setText(path);
    if (message.isEmpty())
        b.ExpectProgressWindow();
    else
        b.ExpectArchiveWindow();
    b.Win->BuildPrAct->trigger();

    if (message.isEmpty()) {
        QCOMPARE(b.ProgText, QStringLiteral("Hotovo."));
        return;
    }
    CheckStoppedWith(b, message);
    QVERIFY(!QFile::exists(b.Log));  // nothing ran
    QCOMPARE(QFile::exists(b.ArchivePath()), oldArchiveKept);
}

void TestBuild::oldArchive_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("a stale archive is replaced, not added to") << false;
    QTest::newRow("an archive that cannot be deleted stops the build") << true;
}

void TestBuild::oldArchive()
{
    QFETCH(bool, folder);
    Build b;
    if (folder)
        QDir().mkpath(b.ArchivePath() + QStringLiteral("/x"));
    else
        WriteBytes(b.ArchivePath(), "stale archive");
    if (!folder)
        b.ExpectProgressWindow();
    b.Win->BuildPrAct->trigger();

    if (!folder) {
        const QByteArray archive = PackedFolder();
        QCOMPARE(ReadBytes(b.DatPath()),
                 Head({qint32(archive.size()), 0, 0, 0, 0}, PlainTexts, 0, {}) + archive + b.Unrar);
        return;
    }
    CheckStoppedWith(b, QStringLiteral("Starý archiv ") + b.ArchivePath()
                            + QStringLiteral(" nelze smazat (je to adresář).\nSmažte jej a sestavte projekt znovu."));
    QVERIFY(!QFile::exists(b.Log));
}

void TestBuild::refusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");  // "*" at the end: the rest may vary
    QTest::addColumn<int>("page");

    QTest::newRow("areas unset switch to the picture page")
        << "areas" << "Upozornění" << "Musíte nejprve nastavit klikací plochy." << 2;
    QTest::newRow("disk space beyond int32 ends in the error box")
        << "space" << "Zelvakon"
        << "Místo na disku '99999999999' není celé číslo v rozsahu od -2147483648 do 2147483647." << 0;
    QTest::newRow("missing picture ends in the error box") << "picture" << "Zelvakon" << "Soubor s obrázkem *" << 0;
    QTest::newRow("blank in the project folder") << "project" << "Upozornění" << "Cesta k adresáři s projektem '*" << 0;
}

void TestBuild::refusals()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(int, page);
    Build b;
    const QString picture = b.Path(QStringLiteral("Obrazky/titul.bmp"));
    if (kind == QLatin1String("areas")) {
        WriteBytes(picture, Bitmap(200, 150, 100));
        Ui(b.Win).SkinEdit->setText(picture);
    } else if (kind == QLatin1String("space")) {
        Ui(b.Win).SpaceEdit->setText(QStringLiteral("99999999999"));
    } else if (kind == QLatin1String("picture")) {
        Ui(b.Win).SkinEdit->setText(picture);
        b.Win->Media()->Rozbal = b.Win->Media()->Readme = b.Win->Media()->Konec = {1, 1, 2, 2};
    } else if (kind == QLatin1String("project")) {
        QDir().mkpath(b.Dir.path() + QStringLiteral("/Moje projekty"));
        b.Win->SetProjectPath(b.Dir.path() + QStringLiteral("/Moje projekty/hra.zpf"));
    }
    b.Win->BuildPrAct->trigger();

    QCOMPARE(b.Dlg.Messages.size(), 1);
    QCOMPARE(b.Dlg.Messages[0].Title, title);
    if (text.endsWith(QLatin1Char('*')))
        QVERIFY2(b.Dlg.Messages[0].Text.startsWith(text.chopped(1)), qPrintable(b.Dlg.Messages[0].Text));
    else
        QCOMPARE(b.Dlg.Messages[0].Text, text);
    QCOMPARE(b.Win->TabPages->currentIndex(), page);
    QVERIFY(b.Dlg.ModalCalls.isEmpty());
    QVERIFY(!QFile::exists(b.Log));
}

void TestBuild::cancelStopsBetweenChunks()
{
    Build b;
    WriteBytes(b.ArchAdr + QStringLiteral("/velky.bin"), Pattern(4000000, 'v'));  // about a hundred chunks
    WriteBytes(b.DatPath(), "previous build");
    int chunksAfterCancel = -1;
    b.Run([&] {
        // Cancel from inside the writer's first call, so the worker cannot be ahead of the click.
        QObject::connect(b.Form->ProgBar, &QProgressBar::valueChanged, b.Form, [&](int value) {
            if (chunksAfterCancel < 0) {
                chunksAfterCancel = 0;
                b.Form->BitBtn->click();
            } else if (value > 0) {
                ++chunksAfterCancel;
            }
        });
    });
    QVERIFY(!b.Form->isVisible());
    QVERIFY(QTest::qWaitFor([&] { return !b.Form->WorkerRunning(); }, 20000));
    QCOMPARE(chunksAfterCancel, 0);
    QCOMPARE(b.ModalResult, int(QDialog::Rejected));
    QCOMPARE(b.Form->ProgLabel->text(), QStringLiteral("Sestavování bylo přerušeno."));
    QCOMPARE(b.Form->BitBtn->text(), QStringLiteral("Zavřít"));
    // Nothing half-written: the earlier data file stays as it was, with no temporary file beside it.
    QCOMPARE(ReadBytes(b.DatPath()), QByteArray("previous build"));
    QCOMPARE(QDir(QFileInfo(b.DatPath()).path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Instal.dat")});
    QVERIFY(!QFile::exists(b.ExePath()));
    QVERIFY(QFile::exists(b.ArchivePath()));
}

void TestBuild::newBuildWaitsForARunningWriter()
{
    Build b;
    WriteBytes(b.ArchAdr + QStringLiteral("/velky.bin"), Pattern(4000000, 'v'));
    bool runningWhenClosed = false;
    b.Run([&] {
        // Closed by its title bar on the first chunk: no stop request, the writer runs on unseen.
        QObject::connect(b.Form->ProgBar, &QProgressBar::valueChanged, b.Form, [&] {
            if (b.Form->isVisible()) {
                b.Form->close();
                runningWhenClosed = b.Form->WorkerRunning();
            }
        });
    });
    QVERIFY(runningWhenClosed);
    QVERIFY(b.Form->WorkerRunning());
    QObject::disconnect(b.Form->ProgBar, &QProgressBar::valueChanged, b.Form, nullptr);

    bool earlierWriterGone = false;
    b.Dlg.ModalScripts.push_back([&](QObject*) {
        earlierWriterGone = !b.Form->WorkerRunning();
        return 0;
    });
    b.Win->BuildPrAct->trigger();
    QVERIFY(earlierWriterGone);

    // And a build after that one runs to its end and leaves a sound file.
    QVERIFY(QTest::qWaitFor([&] { return !b.Form->WorkerRunning(); }, 20000));
    b.Run();
    QCOMPARE(b.ProgText, QStringLiteral("Hotovo."));
    const QByteArray dat = ReadBytes(b.DatPath());
    QCOMPARE(dat.right(b.Unrar.size()), b.Unrar);
    QCOMPARE(ReadBytes(b.ExePath()), b.Vorvanex);
}

void TestBuild::activationStartsNoSecondWriter()
{
    Build b;
    QString labelAfterActivation;
    b.Run([&] {
        QObject::connect(b.Form->ProgBar, &QProgressBar::valueChanged, b.Form, [&] {
            if (labelAfterActivation.isNull()) {
                // Back from another program while the writer runs.
                QEvent activate(QEvent::WindowActivate);
                QApplication::sendEvent(b.Form, &activate);
                labelAfterActivation = b.Form->ProgLabel->text();
            }
        });
    });
    QCOMPARE(labelAfterActivation, QStringLiteral("Připojuji archiv..."));  // not reset to "Sestavuji..."
    QCOMPARE(b.ProgText, QStringLiteral("Hotovo."));
    QCOMPARE(b.ButtonText, QStringLiteral("Zavřít"));
}

void TestBuild::closingTheProgramDuringABuild()
{
    Build b;
    WriteBytes(b.ArchAdr + QStringLiteral("/velky.bin"), Pattern(4000000, 'v'));
    b.Run([&] {
        QObject::connect(b.Form->ProgBar, &QProgressBar::valueChanged, b.Form, [&] {
            if (b.Form->isVisible())
                b.Form->close();
        });
    });
    QVERIFY(b.Form->WorkerRunning());
    // The windows go while the writer is in the middle of the archive: it must stop, not hang or crash.
    b.Main.reset();
    QVERIFY(!QFile::exists(b.DatPath()));
    QVERIFY(!QFile::exists(b.ExePath()));
}

void TestBuild::quittingAsksWhileABuildRuns()
{
    Build b;
    WriteBytes(b.ArchAdr + QStringLiteral("/velky.bin"), Pattern(4000000, 'v'));
    b.Run([&] {
        QObject::connect(b.Form->ProgBar, &QProgressBar::valueChanged, b.Form, [&] {
            if (b.Form->isVisible())
                b.Form->close();  // by its frame: the writer runs on unseen
        });
    });
    QVERIFY(b.Form->WorkerRunning());
    b.Win->Modified = false;
    b.Dlg.Answers.push_back(MsgAnswer::No);
    QVERIFY(!b.Win->close());
    QCOMPARE(b.Dlg.Messages.size(), 1);
    QCOMPARE(b.Dlg.Messages[0].Text, QStringLiteral("Sestavování ještě probíhá. Přerušit ho?"));
    QCOMPARE(b.Dlg.Messages[0].Buttons, MsgButtons::YesNoCancel);
    QVERIFY(b.Form->WorkerRunning());
    b.Dlg.Answers.push_back(MsgAnswer::Yes);
    QVERIFY(b.Win->close());
    QVERIFY(!b.Form->WorkerRunning());
    QVERIFY(!QFile::exists(b.DatPath()));
    QVERIFY(!QFile::exists(b.ExePath()));
    QVERIFY(b.Dlg.Unexpected.isEmpty());
}

void TestBuild::partsFromTheirOwnFolders()
{
    // An installed copy: Unrar.dll put into the per-user folder, Vorvanex.exe left beside the executable.
    Build b;
    const QString exe = b.Dir.path() + QStringLiteral("/opt");
    QDir().mkpath(exe);
    QFile::remove(b.Path(QStringLiteral("Vorvanex.exe")));
    WriteBytes(exe + QStringLiteral("/Vorvanex.exe"), "MZ installed");
    WriteBytes(exe + QStringLiteral("/Unrar.dll"), "MZ not this one");
    b.Win->Services.PartsFolders = QStringList{b.ProgramFolder, exe};
    b.Run();
    QCOMPARE(b.ProgText, QStringLiteral("Hotovo."));
    QVERIFY(ReadBytes(b.DatPath()).endsWith(b.Unrar));
    QCOMPARE(ReadBytes(b.ExePath()), QByteArray("MZ installed"));
}

void TestBuild::relativePathsFromTheProjectFolder()
{
    // Relative to the project's folder, not to wherever the program was started.
    Build b;
    QVERIFY(QDir::currentPath() != b.Path(QStringLiteral("Projekty")));
    const QDir projects(b.Path(QStringLiteral("Projekty")));
    Ui(b.Win).Dir2AddEdit->setText(projects.relativeFilePath(b.ArchAdr));
    QCOMPARE(Ui(b.Win).SpaceEdit->text(), QStringLiteral("4"));  // measured there too
    Ui(b.Win).RAREdit->setText(StandIn);  // the measurement's activation loaded the stored path
    b.Win->Vystup = QStringLiteral("../Jinam");
    b.Run();
    QVERIFY2(b.Dlg.Messages.isEmpty(), qPrintable(b.Dlg.Messages.value(0).Text));
    QCOMPARE(b.ProgText, QStringLiteral("Hotovo."));
    QVERIFY(ReadBytes(b.Path(QStringLiteral("Jinam/Instal.dat"))).contains(PackedFolder()));
    QVERIFY(QString::fromLocal8Bit(ReadBytes(b.Log)).endsWith(b.ArchAdr + QStringLiteral("/*.*\n")));
}

void TestBuild::stoppingTheArchiver_data()
{
    QTest::addColumn<bool>("ignoresRequest");
    QTest::newRow("archiver ends when asked") << false;
    QTest::newRow("archiver ignoring the request is killed") << true;
}

void TestBuild::stoppingTheArchiver()
{
    QFETCH(bool, ignoresRequest);
    Build b;
    // 400 kB packed 4 KiB at a time, 30 ms apart: three seconds of packing, the archive growing.
    WriteBytes(b.ArchAdr + QStringLiteral("/velky.bin"), Pattern(400000, 'v'));
    EnvVar slow("ZELVAKON_RAR_SLOW_MS", "30");
    const QString pidFile = b.Dir.path() + QStringLiteral("/archiver.pid");
    EnvVar pid("ZELVAKON_RAR_PID", pidFile.toLocal8Bit());
    std::unique_ptr<EnvVar> ignore;
    if (ignoresRequest)
        ignore = std::make_unique<EnvVar>("ZELVAKON_RAR_IGNORE_TERM", "1");
    QStringList seen;
    qint64 stopTook = -1;
    b.ExpectArchiveWindow([&](TArchiveForm* form) {
        QTRY_VERIFY(Running(pidFile));
        // The window keeps painting while the archiver runs: its size line follows the archive.
        QTRY_VERIFY(QFileInfo(b.ArchivePath()).size() >= 8192);
        QTRY_VERIFY(form->SizeLabel->text() != QStringLiteral("Velikost archivu: 0 kB z 1234 kB"));
        seen << form->windowTitle() << form->FolderLabel->text() << form->TimeLabel->text()
             << form->SizeLabel->text();
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(form->CancelBtn, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return !form->isVisible(); }, 10000));
        stopTook = timer.elapsed();
    });
    b.Win->BuildPrAct->trigger();

    QCOMPARE(seen.value(0), QStringLiteral("Archivace"));
    // The folder is shortened in its middle when the temporary folder's random name is too wide for the line.
    const QString about = QStringLiteral("Probíhá archivace složky ");
    const QString shown = seen.value(1);
    QVERIFY2(shown == about + b.ArchAdr + QStringLiteral("…")
                 || (shown.startsWith(about + b.ArchAdr.left(4)) && shown.endsWith(QStringLiteral("/Hra…"))
                     && shown.count(QStringLiteral("…")) == 2),
             qPrintable(shown));
    QVERIFY2(seen.value(2).startsWith(QStringLiteral("Uplynulý čas: 0:0")), qPrintable(seen.value(2)));
    QVERIFY2(QRegularExpression(QStringLiteral("^Velikost archivu: [1-9][0-9]* kB z 1234 kB$")).match(seen.value(3)).hasMatch(),
             qPrintable(seen.value(3)));
    // Asked to end, then killed two seconds later; the build never waits for the packing itself.
    QVERIFY2(ignoresRequest ? stopTook >= 2000 && stopTook < 2000 + 800 * TimeBoundScale : stopTook < 800 * TimeBoundScale,
             QByteArray::number(stopTook));
    QVERIFY(!Running(pidFile));
    CheckStoppedWith(b, QStringLiteral("Sestavování bylo přerušeno."), QStringLiteral("Upozornění"), MsgIcon::Warning);
    QVERIFY(!QFile::exists(b.ArchivePath()));
    QVERIFY(!QFile::exists(b.DatPath()));
    QVERIFY(!QFile::exists(b.ExePath()));
    QCOMPARE(b.Win->focusWidget(), b.Win->ExitBtn);
}

QTEST_MAIN(TestBuild)
#include "tst_build.moc"
