#pragma once
#include <QObject>
#include <atomic>

// The hidden media player of the music test: one file at a time, MIDI, WAV or MP3, played once in
// the background through SDL2_mixer (MIDI through FluidSynth with a General MIDI sound font).
// Completion notices arrive as the Notify signal on the thread that owns the player (the GUI thread).
// SDL's mixer is global: one player per program.
class MusicPlayer : public QObject {
    Q_OBJECT
public:
    enum class Mode { NotOpen, Stopped, Playing };

    explicit MusicPlayer(QString soundFont = DefaultSoundFont(), QObject* parent = nullptr);
    ~MusicPlayer() override;

    // Debian's General MIDI sound font (package timgm6mb-soundfont).
    static QString DefaultSoundFont() { return QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"); }

    QString FileName;

    // Every command reports its completion, as the media player always did, unless notification
    // is switched off for the next command alone.
    void SetNotify(bool on) { NotifyNext = on; }

    // Closes an open file first. On failure ErrorText says why and nothing is open. An opening
    // reports its completion at once; a playback when it ends or is interrupted.
    bool Open();
    bool Play();  // from the start; returns at once
    void Stop();
    void Close();
    Mode CurrentMode() const;
    const QString& ErrorText() const { return Error; }
    const QString& SoundFont() const { return SoundFontPath; }

signals:
    void Notify();

private:
    bool OpenAudio();
    void CloseAudio();
    void PlaybackFinished(quint64 playId);
    static void FinishedHook();  // runs on SDL's audio thread

    QString SoundFontPath;
    QString Error;
    bool NotifyNext = true;
    bool PlayNotify = false;
    void* Music = nullptr;  // Mix_Music
    // The standard MIDI file inside an RMID wrapper, which the synthesizer cannot unwrap itself;
    // played from here, so it lives as long as the music.
    QByteArray MidiData;
    std::atomic<quint64> PlayId{0};
};
