#include "MusicPlayer.h"
#include "SoundFiles.h"
#include "TestEnv.h"
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

// The real player on SDL's dummy driver (set by the test properties): it plays in real time
// without speakers.
namespace {

// A standard MIDI file in its RIFF wrapper (RMID), as Windows keeps them.
QByteArray Rmid(const QByteArray& midi)
{
    QByteArray out("RIFF");
    QByteArray size(4, '\0');
    qToLittleEndian<quint32>(quint32(12 + midi.size()), size.data());
    out += size + "RMIDdata";
    qToLittleEndian<quint32>(quint32(midi.size()), size.data());
    return out + size + midi;
}

}  // namespace

class TestMusicPlayer : public QObject {
    Q_OBJECT
private slots:
    void playsOnceToItsEnd_data();
    void playsOnceToItsEnd();
    void stopEndsThePlaybackWithANotice();
    void openingAgainClosesTheOldFile();
    void notifyOffSilencesOneCommand();
    void refusesWhatItCannotPlay_data();
    void refusesWhatItCannotPlay();
    void soundReachesTheDevice_data();
    void soundReachesTheDevice();

private:
    QString Write(const QString& name, const QByteArray& bytes);
    QTemporaryDir Dir;
};

QString TestMusicPlayer::Write(const QString& name, const QByteArray& bytes)
{
    const QString path = Dir.filePath(name);
    WriteBytes(path, bytes);
    return path;
}

void TestMusicPlayer::playsOnceToItsEnd_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("length");
    QTest::newRow("wave") << "a.wav" << SoundFiles::Wave(600) << 600;
    QTest::newRow("mpeg") << "a.mp3" << SoundFiles::Mpeg(600) << 600;
    // A garbage MIDI "finishes" at once; a real one lasts its note and the synthesizer's release.
    QTest::newRow("midi") << "a.mid" << SoundFiles::Midi(600) << 600;
}

void TestMusicPlayer::playsOnceToItsEnd()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, length);
    MusicPlayer player;
    QSignalSpy notices(&player, &MusicPlayer::Notify);
    player.FileName = Write(name, bytes);
    QVERIFY2(player.Open(), qPrintable(player.ErrorText()));
    QVERIFY2(player.Play(), qPrintable(player.ErrorText()));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::Playing);
    QTRY_COMPARE(notices.size(), 1);  // the opening's notice, delivered by the event loop
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::Playing);
    QTRY_COMPARE_WITH_TIMEOUT(notices.size(), 2, 20000);
    QVERIFY2(clock.elapsed() >= length - 150, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::Stopped);  // still open, not restarted
    QTest::qWait(300);
    QCOMPARE(notices.size(), 2);
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::Stopped);
    player.Close();
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::NotOpen);
}

void TestMusicPlayer::stopEndsThePlaybackWithANotice()
{
    MusicPlayer player;
    QSignalSpy notices(&player, &MusicPlayer::Notify);
    player.FileName = Write(QStringLiteral("long.wav"), SoundFiles::Wave(10000));
    QVERIFY(player.Open());
    QVERIFY(player.Play());
    QTRY_COMPARE(notices.size(), 1);
    QElapsedTimer clock;
    clock.start();
    player.Stop();
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::Stopped);
    player.Close();
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::NotOpen);
    QTRY_COMPARE(notices.size(), 2);  // the interrupted playback reports too
    QVERIFY(clock.elapsed() < 2000);
}

void TestMusicPlayer::openingAgainClosesTheOldFile()
{
    MusicPlayer player;
    QSignalSpy notices(&player, &MusicPlayer::Notify);
    player.FileName = Write(QStringLiteral("long.wav"), SoundFiles::Wave(10000));
    QVERIFY(player.Open());
    QVERIFY(player.Play());
    player.FileName = Write(QStringLiteral("short.mp3"), SoundFiles::Mpeg(300));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(player.Open());
    QVERIFY(player.Play());
    // The first opening's notice and the second's; the long file's interruption is not reported
    // as the end of the new playback.
    QTRY_COMPARE(notices.size(), 2);
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::Playing);
    QTRY_COMPARE_WITH_TIMEOUT(notices.size(), 3, 5000);
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::Stopped);
    QVERIFY(clock.elapsed() < 5000);
}

void TestMusicPlayer::notifyOffSilencesOneCommand()
{
    MusicPlayer player;
    QSignalSpy notices(&player, &MusicPlayer::Notify);
    player.FileName = Write(QStringLiteral("b.wav"), SoundFiles::Wave(200));
    player.SetNotify(false);
    QVERIFY(player.Open());
    QVERIFY(player.Play());  // notifies again: the switch held for one command
    QTRY_COMPARE_WITH_TIMEOUT(notices.size(), 1, 5000);
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::Stopped);
}

void TestMusicPlayer::refusesWhatItCannotPlay_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // null: no file at all
    QTest::addColumn<QString>("soundFont"); // empty: the system's
    QTest::addColumn<QString>("message");

    const QByteArray text("Toto je obycejny text, zadna hudba.\r\n");
    QByteArray headerOnly = SoundFiles::Midi(500).left(14);
    QByteArray cutTrack = SoundFiles::Midi(500);
    cutTrack.chop(6);
    QByteArray cutWave = SoundFiles::Wave(500).left(12);
    QTest::newRow("missing file") << "missing.wav" << QByteArray() << "" << "neexistuje";
    QTest::newRow("empty file") << "empty.mid" << QByteArray("") << "" << "je prázdný";
    QTest::newRow("text renamed to .wav") << "text.wav" << text << "" << "není hudba ve formátu MIDI, WAV ani MP3";
    QTest::newRow("text renamed to .mid") << "text.mid" << text << "" << "není hudba ve formátu MIDI, WAV ani MP3";
    QTest::newRow("text renamed to .mp3") << "text.mp3" << text << "" << "není hudba ve formátu MIDI, WAV ani MP3";
    QTest::newRow("ogg vorbis") << "a.ogg" << QByteArray("OggS\0\2\0\0\0\0\0\0\0\0", 14) << ""
                                << "není hudba ve formátu MIDI, WAV ani MP3";
    QTest::newRow("midi header without a track") << "head.mid" << headerOnly << "" << "není platný soubor MIDI";
    QTest::newRow("midi track cut short") << "cut.mid" << cutTrack << "" << "není platný soubor MIDI";
    QTest::newRow("wave cut after its header") << "cut.wav" << cutWave << "" << "nelze přehrát";
    QTest::newRow("missing sound font") << "a.mid" << SoundFiles::Midi(500) << "/nonexistent/none.sf2"
                                        << "Zvukovou banku pro hudbu MIDI /nonexistent/none.sf2 nelze otevřít";
    QTest::newRow("sound font that is text") << "a.mid" << SoundFiles::Midi(500) << "font.txt"
                                             << "není zvuková banka SoundFont";
    QTest::newRow("folder named like music") << "folder.wav" << QByteArray("<dir>") << "" << "nelze otevřít: je to adresář";
    // The synthesizer plays these as silence without an error.
    QByteArray corruptTrack = SoundFiles::Midi(500);
    corruptTrack.replace(corruptTrack.size() - 3, 3, "\x7F\x7F\x7F");
    QTest::newRow("midi track data corrupt") << "corrupt.mid" << corruptTrack << "" << "není platný soubor MIDI";
    QByteArray moreTracks = SoundFiles::Midi(500);
    moreTracks[11] = 3;  // the header promises three tracks
    QTest::newRow("midi header promising more tracks") << "tracks.mid" << moreTracks << "" << "není platný soubor MIDI";
    QTest::newRow("rmid whose data chunk overruns the file")
        << "cut.rmi" << Rmid(SoundFiles::Midi(500)).chopped(10) << "" << "není platný soubor MIDI";
    // The library's own text may only follow in parentheses.
    QTest::newRow("mp3 tag without frames") << "tag.mp3" << QByteArray("ID3\x03\0\0\0\0\0\x0A", 10) + QByteArray(600, 'x')
                                            << "" << "nelze přehrát";
}

void TestMusicPlayer::refusesWhatItCannotPlay()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, soundFont);
    QFETCH(QString, message);
    QString path = Dir.filePath(name);
    if (bytes == "<dir>")
        QVERIFY(QDir().mkpath(path));
    else if (!bytes.isNull())
        path = Write(name, bytes);
    if (soundFont == QLatin1String("font.txt"))
        soundFont = Write(soundFont, "not a sound font at all");
    MusicPlayer player(soundFont.isEmpty() ? MusicPlayer::DefaultSoundFont() : soundFont);
    QSignalSpy notices(&player, &MusicPlayer::Notify);
    player.FileName = path;
    QVERIFY(!player.Open());
    QVERIFY2(player.ErrorText().contains(message), qPrintable(player.ErrorText()));
    // Czech throughout: the libraries' English texts only inside parentheses.
    QString outside = player.ErrorText();
    outside.remove(path);
    if (!soundFont.isEmpty())
        outside.remove(soundFont);
    outside.remove(QRegularExpression(QStringLiteral("\\(.*\\)")));
    for (const char* english : {"error", "Error", "track", "Message", "mpg123", "file", "Unknown"})
        QVERIFY2(!outside.contains(QLatin1String(english)), qPrintable(player.ErrorText()));
    if (!soundFont.isEmpty())
        QVERIFY2(player.ErrorText().contains(soundFont), qPrintable(player.ErrorText()));
    else
        QVERIFY2(player.ErrorText().contains(path), qPrintable(player.ErrorText()));
    QCOMPARE(player.CurrentMode(), MusicPlayer::Mode::NotOpen);
    QVERIFY(!player.Play());
    QTest::qWait(50);
    QCOMPARE(notices.size(), 0);
}

void TestMusicPlayer::soundReachesTheDevice_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("wave") << "loud.wav" << SoundFiles::Wave(300);
    // A sound font that did not load would play silence without any error.
    QTest::newRow("midi through the sound font") << "loud.mid" << SoundFiles::Midi(300);
    // The synthesizer does not unwrap RIFF itself: played as it stands, this is silence.
    QTest::newRow("rmid unwrapped") << "loud.rmi" << Rmid(SoundFiles::Midi(300));
}

void TestMusicPlayer::soundReachesTheDevice()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    // The disk driver writes what the device would play; the player initialises audio per opening.
    const QString output = Dir.filePath(name + QStringLiteral(".raw"));
    const QByteArray oldDriver = qgetenv("SDL_AUDIODRIVER");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(output));
    {
        MusicPlayer player;
        QSignalSpy notices(&player, &MusicPlayer::Notify);
        player.FileName = Write(name, bytes);
        QVERIFY2(player.Open(), qPrintable(player.ErrorText()));
        QVERIFY(player.Play());
        QTRY_COMPARE_WITH_TIMEOUT(notices.size(), 2, 20000);
    }
    qputenv("SDL_AUDIODRIVER", oldDriver);
    const QByteArray samples = ReadBytes(output);
    QVERIFY(samples.size() > 4000);
    int loud = 0;
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
        if (qAbs(qFromLittleEndian<qint16>(samples.constData() + i)) > 1000)
            ++loud;
    QVERIFY2(loud > 1000, qPrintable(QString::number(loud)));
}

QTEST_GUILESS_MAIN(TestMusicPlayer)
#include "tst_musicplayer.moc"
