#include "Codec.h"
#include "Error.h"
#include "MusicPlayer.h"
#include "SoundFiles.h"
#include "TestEnv.h"
#include "TimeBounds.h"
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <QAction>

Q_DECLARE_METATYPE(MsgAnswer)

// The page "Hudba a obrázek" and the page "Nfo soubor": the picture and music fields, the music
// test through the real player (SDL's dummy driver), and the readme text.
class TestPresentationPage : public QObject {
    Q_OBJECT
private slots:
    void skinEditEnablesBothButtons();
    void browseDialogs_data();
    void browseDialogs();
    void unencodablePathRefused();
    void musicEditLeavesStopAlone();
    void testPlaysToTheEnd_data();
    void testPlaysToTheEnd();
    void stopEndsTheTest();
    void failedOpenLeavesButtons_data();
    void failedOpenLeavesButtons();
    void anotherFileWhilePlaying();
    void loadNormalisesLineBreaks_data();
    void loadNormalisesLineBreaks();
    void loadingTheSameTextChangesNothing();
    void unreadableReadmeKeepsTheMemo();
    void hugeReadme();
    void clearButtonFollowsLines_data();
    void clearButtonFollowsLines();
    void clearAsksFirst_data();
    void clearAsksFirst();
};

namespace {

bool Playing(TMainForm* main) { return !Ui(main).TestBtn->isEnabled() && Ui(main).StopBtn->isEnabled(); }
bool Idle(TMainForm* main) { return Ui(main).TestBtn->isEnabled() && !Ui(main).StopBtn->isEnabled(); }

}  // namespace

void TestPresentationPage::skinEditEnablesBothButtons()
{
    TestEnv env;
    TMainForm* main = env.Start();
    TypeText(Ui(main).SkinEdit, "x");
    QVERIFY(Ui(main).SetBtn->isEnabled());
    QVERIFY(Ui(main).PrevBtn->isEnabled());
    QVERIFY(main->Modified);
    main->Modified = false;
    Ui(main).SkinEdit->clear();
    QVERIFY(!Ui(main).SetBtn->isEnabled());
    QVERIFY(!Ui(main).PrevBtn->isEnabled());
    QVERIFY(main->Modified);
}

void TestPresentationPage::browseDialogs_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("preview");
    QTest::newRow("picture") << "SkinBtn" << "Otevřít bitmapu titulního obrázku" << "Bitmapy (*.bmp)|*.bmp"
                             << "Obrazky" << true;
    QTest::newRow("music") << "BkMusicBtn" << "Otevřít soubor s hudbou"
                           << "MIDI soubory (*.mid)|*.MID|Zvuky  (*.wav)|*.WAV|MPEG Layer 3 soubory (*.mp3)|*.MP3"
                           << "Hudba" << false;
}

void TestPresentationPage::browseDialogs()
{
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    QFETCH(QString, folder);
    QFETCH(bool, preview);
    TestEnv env;
    TMainForm* main = env.Start();
    QLineEdit* edit = button == "SkinBtn" ? Ui(main).SkinEdit : Ui(main).BkMusicEdit;
    QPushButton* enabled = button == "SkinBtn" ? Ui(main).SetBtn : Ui(main).TestBtn;
    auto* browse = main->findChild<QToolButton*>(button);
    env.Dlg.OpenAnswers.push_back(QString());  // cancelled
    env.Dlg.OpenAnswers.push_back(env.Path("Obrázky a zvuky/soubor"));
    // The dialog returns only existing files; a picture is read when chosen.
    QDir().mkpath(env.Path("Obrázky a zvuky"));
    WriteBytes(env.Path("Obrázky a zvuky/soubor"), BitmapBytes(300, 200));
    browse->click();
    QCOMPARE(edit->text(), QString());
    QVERIFY(!main->Modified);
    browse->click();
    QCOMPARE(env.Dlg.OpenCalls.size(), 2);
    for (const FileDialogOptions& options : env.Dlg.OpenCalls) {
        QCOMPARE(options.Title, title);
        QCOMPARE(options.Filter, filter);
        QCOMPARE(options.InitialFolder, env.Path(folder));
        QCOMPARE(options.PicturePreview, preview);
        QVERIFY(options.MustExist);
    }
    QCOMPARE(edit->text(), env.Path("Obrázky a zvuky/soubor"));
    QVERIFY(enabled->isEnabled());
    QVERIFY(main->Modified);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestPresentationPage::unencodablePathRefused()
{
    TestEnv env;
    TMainForm* main = env.Start();
    const QString path = env.Path("Hudba/音楽.mid");
    for (QAbstractButton* button : {static_cast<QAbstractButton*>(Ui(main).SkinBtn), static_cast<QAbstractButton*>(Ui(main).BkMusicBtn),
                                    static_cast<QAbstractButton*>(Ui(main).LoadBtn)}) {
        env.Dlg.Clear();
        env.Dlg.OpenAnswers.push_back(path);
        button->click();
        QCOMPARE(env.Dlg.Messages.size(), 1);
        QCOMPARE(env.Dlg.Messages[0].Title, "Chyba");
    }
    QCOMPARE(Ui(main).SkinEdit->text(), QString());
    QCOMPARE(Ui(main).BkMusicEdit->text(), QString());
    QCOMPARE(Ui(main).ReadMemo->toPlainText(), QString());
    QVERIFY(!main->Modified);
}

void TestPresentationPage::musicEditLeavesStopAlone()
{
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).StopBtn->setEnabled(true);
    TypeText(Ui(main).BkMusicEdit, "a");
    QVERIFY(Ui(main).TestBtn->isEnabled());
    QVERIFY(Ui(main).StopBtn->isEnabled());
    Ui(main).BkMusicEdit->clear();
    QVERIFY(!Ui(main).TestBtn->isEnabled());
    QVERIFY(Ui(main).StopBtn->isEnabled());
    QVERIFY(main->Modified);
}

void TestPresentationPage::testPlaysToTheEnd_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("wave") << "hudba.wav" << SoundFiles::Wave(500);
    QTest::newRow("mpeg") << "hudba.mp3" << SoundFiles::Mpeg(500);
    QTest::newRow("midi") << "hudba.mid" << SoundFiles::Midi(300);
}

void TestPresentationPage::testPlaysToTheEnd()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    TestEnv env;
    MusicPlayer player;
    env.Services.Player = &player;
    TMainForm* main = env.Start();
    WriteBytes(env.Path("Hudba/" + name), bytes);
    Ui(main).BkMusicEdit->setText(env.Path("Hudba/" + name));
    QVERIFY(Idle(main));
    Ui(main).TestBtn->click();
    QVERIFY(Idle(main));  // the buttons wait for the notices
    QTRY_VERIFY(Playing(main));
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::Playing);
    QTRY_VERIFY_WITH_TIMEOUT(Idle(main), 20000);
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::Stopped);  // played once, not restarted
    QTest::qWait(200);
    QVERIFY(Idle(main));
    QVERIFY(env.Dlg.Messages.isEmpty());
}

void TestPresentationPage::stopEndsTheTest()
{
    TestEnv env;
    MusicPlayer player;
    env.Services.Player = &player;
    TMainForm* main = env.Start();
    WriteBytes(env.Path("Hudba/dlouha.wav"), SoundFiles::Wave(20000));
    Ui(main).BkMusicEdit->setText(env.Path("Hudba/dlouha.wav"));
    Ui(main).TestBtn->click();
    QTRY_VERIFY(Playing(main));
    QElapsedTimer clock;
    clock.start();
    Ui(main).StopBtn->click();
    QVERIFY(Idle(main));
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::NotOpen);
    QTest::qWait(200);  // the interrupted playback's notice changes nothing
    QVERIFY(Idle(main));
    QVERIFY(clock.elapsed() < 5000 * TimeBoundScale);
    // And it can be tested again.
    Ui(main).TestBtn->click();
    QTRY_VERIFY(Playing(main));
    Ui(main).StopBtn->click();
    QVERIFY(Idle(main));
}

void TestPresentationPage::failedOpenLeavesButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // null: no file
    QTest::newRow("missing file") << "chybi.mid" << QByteArray();
    QTest::newRow("empty file") << "prazdna.wav" << QByteArray("");
    QTest::newRow("text file renamed") << "text.mp3" << QByteArray("Nejsem hudba.\r\n");
    QTest::newRow("truncated wave") << "kus.wav" << SoundFiles::Wave(500).left(30);
    QTest::newRow("garbage midi") << "smeti.mid" << QByteArray("MThd\0\0\0\6garbage", 15);
}

void TestPresentationPage::failedOpenLeavesButtons()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    TestEnv env;
    MusicPlayer player;
    env.Services.Player = &player;
    TMainForm* main = env.Start();
    const QString path = env.Path("Hudba/" + name);
    if (!bytes.isNull())
        WriteBytes(path, bytes);
    Ui(main).BkMusicEdit->setText(path);
    Ui(main).TestBtn->click();
    QCOMPARE(env.Dlg.Messages.size(), 1);
    QCOMPARE(env.Dlg.Messages[0].Title, "Chyba");
    QCOMPARE(env.Dlg.Messages[0].Icon, MsgIcon::Error);
    QCOMPARE(env.Dlg.Messages[0].Buttons, MsgButtons::Ok);
    QVERIFY(!env.Dlg.Messages[0].Text.isEmpty());
    QCOMPARE(env.Dlg.Messages[0].Text, player.ErrorText());
    QTest::qWait(100);
    QVERIFY(Idle(main));
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::NotOpen);
}

void TestPresentationPage::anotherFileWhilePlaying()
{
    TestEnv env;
    MusicPlayer player;
    env.Services.Player = &player;
    TMainForm* main = env.Start();
    WriteBytes(env.Path("Hudba/dlouha.wav"), SoundFiles::Wave(20000));
    Ui(main).BkMusicEdit->setText(env.Path("Hudba/dlouha.wav"));
    Ui(main).TestBtn->click();
    QTRY_VERIFY(Playing(main));
    Ui(main).BkMusicEdit->setText(env.Path("Hudba/jina.mid"));
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::Playing);
    QVERIFY(Ui(main).TestBtn->isEnabled());
    QVERIFY(Ui(main).StopBtn->isEnabled());
    Ui(main).StopBtn->click();
    QVERIFY(Idle(main));
}

void TestPresentationPage::loadNormalisesLineBreaks_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");  // the readme text the memo then holds
    QTest::addColumn<bool>("clear");
    QTest::newRow("mixed CR, LF and CR LF") << QByteArray("a\rb\nc\r\nd") << "a\r\nb\r\nc\r\nd" << true;
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << "a\r\n\r\nb" << true;
    QTest::newRow("final break kept") << QByteArray("a\r\n") << "a\r\n" << true;
    QTest::newRow("single break is one line") << QByteArray("\r") << "\r\n" << true;
    QTest::newRow("Windows-1250 letters") << QByteArray("\x9Elu\x9Dou\xE8k\xFD k\xF9\xF2") << "žluťoučký kůň" << true;
    QTest::newRow("no-break space stays one") << QByteArray("a\xA0" "b") << "a\u00A0b" << true;
    QTest::newRow("empty file") << QByteArray("") << "" << false;
}

void TestPresentationPage::loadNormalisesLineBreaks()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(bool, clear);
    TestEnv env;
    TMainForm* main = env.Start();
    WriteBytes(env.Path("Projekty/Readme.nfo"), file);
    env.Dlg.OpenAnswers.push_back(env.Path("Projekty/Readme.nfo"));
    Ui(main).LoadBtn->click();
    QCOMPARE(env.Dlg.OpenCalls.size(), 1);
    QCOMPARE(env.Dlg.OpenCalls[0].Title, "Otevřít .nfo soubory");
    QCOMPARE(env.Dlg.OpenCalls[0].Filter, "Soubory .nfo (*.nfo)|*.NFO");
    QCOMPARE(env.Dlg.OpenCalls[0].InitialFolder, env.Path("Projekty"));
    QCOMPARE(main->Nfo()->Text(), text);
    QCOMPARE(Ui(main).ReadMemo->document()->blockCount(), text.count("\r\n") + 1);  // one line per block
    QCOMPARE(Ui(main).ClearBtn->isEnabled(), clear);
    QCOMPARE(main->Modified, !text.isEmpty());
    // Saved as it was loaded, but for the line breaks.
    main->SavePrAct->setEnabled(true);
    env.Dlg.SaveAnswers.push_back(env.Path("Projekty/p.zpf"));
    main->SavePrActExecute();
    QCOMPARE(ReadBytes(env.Path("Projekty/Readme.nfo")), clear ? Codec::ToWin1250(text) : QByteArray());
}

void TestPresentationPage::loadingTheSameTextChangesNothing()
{
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).ReadMemo->setPlainText("první\ndruhý\n");
    main->Modified = false;
    WriteBytes(env.Path("Projekty/stejny.nfo"), "prvn\xED\rdruh\xFD\n");
    env.Dlg.OpenAnswers.push_back(env.Path("Projekty/stejny.nfo"));
    Ui(main).LoadBtn->click();
    QVERIFY(!main->Modified);
    QCOMPARE(Ui(main).ReadMemo->toPlainText(), "první\ndruhý\n");
}

void TestPresentationPage::unreadableReadmeKeepsTheMemo()
{
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).ReadMemo->setPlainText("zůstane");
    main->Modified = false;
    QDir().mkpath(env.Path("Projekty/slozka.nfo"));  // a folder where the file should be
    for (const QString& name : {QString("slozka.nfo"), QString("chybi.nfo")}) {
        env.Dlg.Clear();
        env.Dlg.OpenAnswers.push_back(env.Path("Projekty/" + name));
        Ui(main).LoadBtn->click();
        QCOMPARE(env.Dlg.Messages.size(), 1);  // the standard error box, naming the file
        QVERIFY(env.Dlg.Messages[0].Text.contains(name));
    }
    QCOMPARE(Ui(main).ReadMemo->toPlainText(), "zůstane");
    QVERIFY(!main->Modified);
}

void TestPresentationPage::hugeReadme()
{
    // 20 MB of binary bytes and lines: loaded whole, every byte kept, in reasonable time.
    QByteArray bytes;
    bytes.reserve(20 << 20);
    QByteArray line;
    for (int i = 0; i < 256; ++i)
        if (i != '\r' && i != '\n')
            line += char(i);
    line += "\r\n";
    while (bytes.size() < (20 << 20))
        bytes += line;
    TestEnv env;
    TMainForm* main = env.Start();
    WriteBytes(env.Path("Projekty/velky.nfo"), bytes);
    env.Dlg.OpenAnswers.push_back(env.Path("Projekty/velky.nfo"));
    QElapsedTimer clock;
    clock.start();
    Ui(main).LoadBtn->click();
    qInfo() << "20 MB readme loaded in" << clock.elapsed() << "ms";
    QVERIFY(Ui(main).ClearBtn->isEnabled());
    const QString text = main->Nfo()->Text();
    QCOMPARE(text.size(), bytes.size());
    QVERIFY(text == Codec::FromWin1250(bytes));
    QVERIFY(clock.elapsed() < 30000 * TimeBoundScale);
}

void TestPresentationPage::clearButtonFollowsLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("clear");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("a single line break is a line") << "\n" << true;
    QTest::newRow("text without a break") << "a" << true;
    QTest::newRow("blank") << " " << true;
}

void TestPresentationPage::clearButtonFollowsLines()
{
    QFETCH(QString, text);
    QFETCH(bool, clear);
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).ReadMemo->setPlainText("x");
    main->Modified = false;
    Ui(main).ReadMemo->setPlainText(text);
    QCOMPARE(Ui(main).ClearBtn->isEnabled(), clear);
    QVERIFY(main->Modified);
}

void TestPresentationPage::clearAsksFirst_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("yes clears") << MsgAnswer::Yes << true;
    QTest::newRow("no keeps every line") << MsgAnswer::No << false;
    QTest::newRow("cancel keeps every line") << MsgAnswer::Cancel << false;
}

void TestPresentationPage::clearAsksFirst()
{
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, cleared);
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).ReadMemo->setPlainText("jedna\ndvě\n");
    main->Modified = false;
    env.Dlg.Answers.push_back(answer);
    Ui(main).ClearBtn->click();
    QCOMPARE(env.Dlg.Messages.size(), 1);
    QCOMPARE(env.Dlg.Messages[0].Text, "Opravdu smazat všechny řádky?");
    QCOMPARE(env.Dlg.Messages[0].Title, "Dotaz");
    QCOMPARE(env.Dlg.Messages[0].Icon, MsgIcon::Question);
    QCOMPARE(env.Dlg.Messages[0].Buttons, MsgButtons::YesNoCancel);
    QCOMPARE(Ui(main).ReadMemo->toPlainText(), cleared ? "" : "jedna\ndvě\n");
    QCOMPARE(Ui(main).ClearBtn->isEnabled(), !cleared);
    QCOMPARE(main->Modified, cleared);
}

QTEST_MAIN(TestPresentationPage)
#include "tst_presentationpage.moc"
