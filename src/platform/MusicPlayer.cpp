#include "MusicPlayer.h"
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QtEndian>
#include <SDL.h>
#include <SDL_mixer.h>

namespace {

std::atomic<MusicPlayer*> HookTarget{nullptr};

QString SdlText(const char* text) { return QString::fromUtf8(text ? text : ""); }

Mix_Music* AsMusic(void* music) { return static_cast<Mix_Music*>(music); }

}  // namespace

MusicPlayer::MusicPlayer(QString soundFont, QObject* parent) : QObject(parent), SoundFontPath(std::move(soundFont)) {}

MusicPlayer::~MusicPlayer() { Close(); }

QString MusicPlayer::DefaultSoundFont() { return QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"); }

bool MusicPlayer::TakeNotify()
{
    const bool notify = NotifyNext;
    NotifyNext = true;
    return notify;
}

MusicPlayer::Kind MusicPlayer::Inspect()
{
    // The kind comes from the content. The mixer itself would take almost anything for a tracker
    // module and "play" it as silence, so only the three kinds of the file dialog are accepted.
    QFile file(FileName);
    if (!QFileInfo::exists(FileName)) {
        Error = QStringLiteral("Soubor s hudbou %1 neexistuje.").arg(FileName);
        return Kind::None;
    }
    if (QFileInfo(FileName).isDir() || !file.open(QIODevice::ReadOnly)) {
        Error = QStringLiteral("Soubor s hudbou %1 nelze otevřít: %2").arg(FileName, file.errorString());
        return Kind::None;
    }
    const QByteArray head = file.read(12);
    if (head.isEmpty()) {
        Error = QStringLiteral("Soubor s hudbou %1 je prázdný.").arg(FileName);
        return Kind::None;
    }
    const auto byte = [&head](int i) { return i < head.size() ? quint8(head[i]) : 0; };
    if (head.startsWith("MThd") || (head.startsWith("RIFF") && head.mid(8, 4) == "RMID"))
        return Kind::Midi;
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WAVE")
        return Kind::Wave;
    // An ID3 tag, or an MPEG audio frame header: 11 sync bits, a defined version and layer.
    if (head.startsWith("ID3") || (byte(0) == 0xFF && (byte(1) & 0xE0) == 0xE0 && (byte(1) & 0x18) != 0x08
                                   && (byte(1) & 0x06) != 0))
        return Kind::Mpeg;
    Error = QStringLiteral("Soubor %1 není hudba ve formátu MIDI, WAV ani MP3.").arg(FileName);
    return Kind::None;
}

bool MusicPlayer::CheckMidi()
{
    // The synthesizer accepts any bytes and "finishes" at once: insist on a header and a track.
    const QString broken = QStringLiteral("Soubor %1 není platný soubor MIDI.").arg(FileName);
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Error = QStringLiteral("Soubor s hudbou %1 nelze otevřít: %2").arg(FileName, file.errorString());
        return false;
    }
    qint64 pos = 0;
    QByteArray chunk = file.read(8);
    if (chunk.startsWith("RIFF")) {  // RMID: the standard file inside a "data" chunk
        if (!file.seek(12) || (chunk = file.read(8)).left(4) != "data") {
            Error = broken;
            return false;
        }
        pos = 20;
        chunk = file.read(8);
    }
    if (chunk.size() < 8 || !chunk.startsWith("MThd")) {
        Error = broken;
        return false;
    }
    const quint32 headerLength = qFromBigEndian<quint32>(chunk.constData() + 4);
    const QByteArray header = file.read(6);
    if (headerLength < 6 || header.size() < 6 || qFromBigEndian<quint16>(header.constData() + 2) == 0) {
        Error = broken;
        return false;
    }
    pos += 8 + qint64(headerLength);
    // Walk the chunks until a track with at least one event's room turns up.
    for (int chunks = 0; chunks < 1024; ++chunks) {
        if (!file.seek(pos))
            break;
        chunk = file.read(8);
        if (chunk.size() < 8)
            break;
        const quint32 length = qFromBigEndian<quint32>(chunk.constData() + 4);
        if (chunk.startsWith("MTrk") && length >= 4 && pos + 8 + qint64(length) <= file.size())
            return true;
        pos += 8 + qint64(length);
    }
    Error = broken;
    return false;
}

bool MusicPlayer::CheckSoundFont()
{
    // A missing or broken sound font plays silence without any error: check it here.
    QFile font(SoundFontPath);
    if (!font.open(QIODevice::ReadOnly)) {
        Error = QStringLiteral("Zvukovou banku pro hudbu MIDI %1 nelze otevřít: %2").arg(SoundFontPath, font.errorString());
        return false;
    }
    const QByteArray head = font.read(12);
    if (!head.startsWith("RIFF") || head.mid(8, 4) != "sfbk") {
        Error = QStringLiteral("Soubor %1 není zvuková banka SoundFont pro hudbu MIDI.").arg(SoundFontPath);
        return false;
    }
    return true;
}

bool MusicPlayer::OpenAudio()
{
    if (AudioOpen)
        return true;
    SDL_SetMainReady();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        Error = QStringLiteral("Zvukové zařízení nelze otevřít: %1").arg(SdlText(SDL_GetError()));
        return false;
    }
    // Named explicitly: the mixer only guesses another sound font's path.
    Mix_SetSoundFonts(QFile::encodeName(SoundFontPath).constData());
    Mix_Init(MIX_INIT_MID | MIX_INIT_MP3);  // a missing decoder shows when the file is loaded
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, MIX_DEFAULT_CHANNELS, 2048) != 0) {
        Error = QStringLiteral("Zvukové zařízení nelze otevřít: %1").arg(SdlText(Mix_GetError()));
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    HookTarget = this;
    Mix_HookMusicFinished(&MusicPlayer::FinishedHook);
    AudioOpen = true;
    return true;
}

void MusicPlayer::CloseAudio()
{
    if (!AudioOpen)
        return;
    // The mixer takes its audio lock to change the hook, so no hook runs after this.
    Mix_HookMusicFinished(nullptr);
    HookTarget = nullptr;
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    AudioOpen = false;
}

bool MusicPlayer::Open()
{
    Close();
    Error.clear();
    const bool notify = TakeNotify();
    const Kind kind = Inspect();
    if (kind == Kind::None)
        return false;
    if (kind == Kind::Midi && (!CheckMidi() || !CheckSoundFont()))
        return false;
    if (!OpenAudio())
        return false;
    SDL_RWops* rw = SDL_RWFromFile(QFile::encodeName(FileName).constData(), "rb");
    Mix_Music* music = nullptr;
    if (rw) {
        const Mix_MusicType type = kind == Kind::Midi ? MUS_MID : kind == Kind::Wave ? MUS_WAV : MUS_MP3;
        music = Mix_LoadMUSType_RW(rw, type, 1);
    }
    if (!music) {
        Error = QStringLiteral("Soubor s hudbou %1 nelze přehrát: %2").arg(FileName, SdlText(Mix_GetError()));
        CloseAudio();
        return false;
    }
    Music = music;
    MusicKind = kind;
    if (notify)
        QMetaObject::invokeMethod(this, [this] { emit Notify(); }, Qt::QueuedConnection);
    return true;
}

bool MusicPlayer::Play()
{
    const bool notify = TakeNotify();
    if (!Music) {
        Error = QStringLiteral("Není otevřen žádný soubor s hudbou.");
        return false;
    }
    ++PlayId;  // notices of an earlier playback no longer count
    PlayNotify = notify;
    if (Mix_PlayMusic(AsMusic(Music), 1) != 0) {
        PlayNotify = false;
        Error = QStringLiteral("Soubor s hudbou %1 nelze přehrát: %2").arg(FileName, SdlText(Mix_GetError()));
        return false;
    }
    return true;
}

void MusicPlayer::Stop()
{
    if (Music)
        Mix_HaltMusic();
}

void MusicPlayer::Close()
{
    if (Music) {
        Mix_HaltMusic();
        Mix_FreeMusic(AsMusic(Music));
        Music = nullptr;
        MusicKind = Kind::None;
    }
    CloseAudio();
}

MusicPlayer::Mode MusicPlayer::CurrentMode() const
{
    if (!Music)
        return Mode::NotOpen;
    return Mix_PlayingMusic() ? Mode::Playing : Mode::Stopped;
}

void MusicPlayer::FinishedHook()
{
    // Called by the mixer with its audio lock held, on the audio thread or inside Mix_HaltMusic:
    // hand the notice to the player's own thread.
    MusicPlayer* player = HookTarget.load();
    if (!player)
        return;
    const quint64 playId = player->PlayId.load();
    QMetaObject::invokeMethod(
        player, [player, playId] { player->PlaybackFinished(playId); }, Qt::QueuedConnection);
}

void MusicPlayer::PlaybackFinished(quint64 playId)
{
    if (playId != PlayId.load() || !PlayNotify)
        return;
    PlayNotify = false;
    emit Notify();
}
