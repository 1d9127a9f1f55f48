#include "MusicPlayer.h"
#include "RegularFile.h"
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QMetaObject>
#include <QtEndian>
#include <optional>
#include <SDL.h>
#include <SDL_mixer.h>

namespace {

std::atomic<MusicPlayer*> HookTarget{nullptr};

// SDL and its mixer pull in some forty libraries (decoders, sound servers, video back ends). They
// are loaded on the first music test instead of at start-up, where loading them took longer than
// building the whole main window. Types and constants still come from the headers.
// Each function called: its library, its name here, its own name.
#define SDL_FUNCTIONS(X) \
    X(sdl, SetMainReady, SDL_SetMainReady) \
    X(sdl, InitSubSystem, SDL_InitSubSystem) \
    X(sdl, QuitSubSystem, SDL_QuitSubSystem) \
    X(sdl, GetError, SDL_GetError) \
    X(sdl, RWFromFile, SDL_RWFromFile) \
    X(sdl, RWFromConstMem, SDL_RWFromConstMem) \
    X(mixer, SetSoundFonts, Mix_SetSoundFonts) \
    X(mixer, Init, Mix_Init) \
    X(mixer, Quit, Mix_Quit) \
    X(mixer, OpenAudio, Mix_OpenAudio) \
    X(mixer, CloseAudio, Mix_CloseAudio) \
    X(mixer, HookMusicFinished, Mix_HookMusicFinished) \
    X(mixer, LoadMUSType_RW, Mix_LoadMUSType_RW) \
    X(mixer, FreeMusic, Mix_FreeMusic) \
    X(mixer, PlayMusic, Mix_PlayMusic) \
    X(mixer, HaltMusic, Mix_HaltMusic) \
    X(mixer, PlayingMusic, Mix_PlayingMusic)

struct SdlApi {
#define SDL_DECLARE(library, member, function) decltype(&function) member = nullptr;
    SDL_FUNCTIONS(SDL_DECLARE)
    QString LoadError;  // empty once every function was found
};

template <typename Function>
void Resolve(QLibrary& library, Function& function, const char* name, QString& error)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    if (!function && error.isEmpty())
        error = library.errorString();
}

const SdlApi& Sdl()
{
    static const SdlApi api = [] {
        SdlApi a;
#ifdef Q_OS_WIN
        QLibrary sdl(QStringLiteral("SDL2"));
        QLibrary mixer(QStringLiteral("SDL2_mixer"));
#else
        QLibrary sdl(QStringLiteral("SDL2-2.0"), 0);
        QLibrary mixer(QStringLiteral("SDL2_mixer-2.0"), 0);
#endif
        // Never unloaded: the mixer's audio thread may outlive any one player.
        if (!sdl.load() || !mixer.load()) {
            a.LoadError = sdl.isLoaded() ? mixer.errorString() : sdl.errorString();
            return a;
        }
#define SDL_RESOLVE(library, member, function) Resolve(library, a.member, #function, a.LoadError);
        SDL_FUNCTIONS(SDL_RESOLVE)
        return a;
    }();
    return api;
}

QString SdlText(const char* text) { return QString::fromUtf8(text ? text : ""); }

// The libraries' own texts are English: they follow the Czech message in parentheses.
QString InParentheses(const QString& libraryText)
{
    return libraryText.isEmpty() ? QStringLiteral(".") : QStringLiteral(" (%1).").arg(libraryText);
}

Mix_Music* AsMusic(void* music) { return static_cast<Mix_Music*>(music); }

enum class Kind { None, Midi, Wave, Mpeg };
constexpr qint64 MaxMidiBytes = qint64(64) << 20;

// The standard MIDI file in the bytes, unwrapped from RMID; nothing unless the header, every chunk's
// length and every track's end add up. The synthesizer accepts any bytes and plays silence or
// "finishes" at once, so this is checked before anything is played.
std::optional<QByteArray> StandardMidi(const QByteArray& bytes)
{
    qint64 start = 0;
    qint64 end = bytes.size();
    if (bytes.startsWith("RIFF")) {  // RMID: the standard file inside a "data" chunk
        if (bytes.size() < 20 || bytes.mid(12, 4) != "data")
            return std::nullopt;
        start = 20;
        end = start + qFromLittleEndian<quint32>(bytes.constData() + 16);
        if (end > bytes.size())
            return std::nullopt;
    }
    const char* p = bytes.constData();
    if (end - start < 14 || QByteArray::fromRawData(p + start, 4) != "MThd")
        return std::nullopt;
    const quint32 headerLength = qFromBigEndian<quint32>(p + start + 4);
    const quint16 tracks = qFromBigEndian<quint16>(p + start + 10);
    if (headerLength < 6 || tracks == 0 || qint64(headerLength) > end - start - 8)
        return std::nullopt;
    int found = 0;
    // A few bytes of padding may follow the last chunk; no chunk may run past the end.
    for (qint64 pos = start + 8 + headerLength; end - pos >= 8;) {
        const quint32 length = qFromBigEndian<quint32>(p + pos + 4);
        if (qint64(length) > end - pos - 8)
            return std::nullopt;
        if (QByteArray::fromRawData(p + pos, 4) == "MTrk") {
            // Every track ends with its end-of-track event.
            if (length < 4 || QByteArray::fromRawData(p + pos + 8 + length - 3, 3) != QByteArray("\xFF\x2F\x00", 3))
                return std::nullopt;
            ++found;
        }
        pos += 8 + qint64(length);
    }
    if (found != tracks)
        return std::nullopt;
    return bytes.mid(start, end - start);
}

// The kind comes from the content. The mixer itself would take almost anything for a tracker
// module and "play" it as silence, so only the three kinds of the file dialog are accepted.
Kind Inspect(const QString& fileName, QString& error)
{
    QFile file;
    if (!QFileInfo::exists(fileName)) {
        error = QStringLiteral("Soubor s hudbou %1 neexistuje.").arg(fileName);
        return Kind::None;
    }
    if (const QString reason = OpenRegularFile(file, fileName); !reason.isEmpty()) {
        error = QStringLiteral("Soubor s hudbou %1 nelze otevřít: %2.").arg(fileName, reason);
        return Kind::None;
    }
    const QByteArray head = file.read(12);
    if (head.isEmpty()) {
        error = QStringLiteral("Soubor s hudbou %1 je prázdný.").arg(fileName);
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
    error = QStringLiteral("Soubor %1 není hudba ve formátu MIDI, WAV ani MP3.").arg(fileName);
    return Kind::None;
}

// Empty when the file is a whole standard MIDI file (midiData then holds it when it came wrapped in
// RMID); otherwise why not.
QString CheckMidi(const QString& fileName, QByteArray& midiData)
{
    QByteArray bytes;
    if (const QString reason = ReadRegularFile(fileName, MaxMidiBytes, bytes); !reason.isEmpty())
        return QStringLiteral("Soubor s hudbou %1 nelze otevřít: %2.").arg(fileName, reason);
    const std::optional<QByteArray> midi = StandardMidi(bytes);
    if (!midi)
        return QStringLiteral("Soubor %1 není platný soubor MIDI.").arg(fileName);
    midiData = bytes.startsWith("RIFF") ? *midi : QByteArray();
    return QString();
}

// A missing or broken sound font plays silence without any error: checked here. Empty when sound.
QString CheckSoundFont(const QString& path)
{
    QFile font;
    if (const QString reason = OpenRegularFile(font, path); !reason.isEmpty())
        return QStringLiteral("Zvukovou banku pro hudbu MIDI %1 nelze otevřít: %2.").arg(path, reason);
    const QByteArray head = font.read(12);
    if (!head.startsWith("RIFF") || head.mid(8, 4) != "sfbk")
        return QStringLiteral("Soubor %1 není zvuková banka SoundFont pro hudbu MIDI.").arg(path);
    return QString();
}

}  // namespace

MusicPlayer::MusicPlayer(QString soundFont, QObject* parent) : QObject(parent), SoundFontPath(std::move(soundFont)) {}

MusicPlayer::~MusicPlayer() { Close(); }

bool MusicPlayer::OpenAudio()
{
    const SdlApi& sdl = Sdl();
    if (!sdl.LoadError.isEmpty()) {
        Error = QStringLiteral("Zvukové zařízení nelze otevřít, knihovnu SDL se nepodařilo načíst") + InParentheses(sdl.LoadError);
        return false;
    }
    sdl.SetMainReady();
    if (sdl.InitSubSystem(SDL_INIT_AUDIO) != 0) {
        Error = QStringLiteral("Zvukové zařízení nelze otevřít") + InParentheses(SdlText(sdl.GetError()));
        return false;
    }
    // Named explicitly: the mixer only guesses another sound font's path.
    sdl.SetSoundFonts(QFile::encodeName(SoundFontPath).constData());
    sdl.Init(MIX_INIT_MID | MIX_INIT_MP3);  // a missing decoder shows when the file is loaded
    if (sdl.OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, MIX_DEFAULT_CHANNELS, 2048) != 0) {
        Error = QStringLiteral("Zvukové zařízení nelze otevřít") + InParentheses(SdlText(sdl.GetError()));
        sdl.Quit();
        sdl.QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    HookTarget = this;
    sdl.HookMusicFinished(&MusicPlayer::FinishedHook);
    return true;
}

void MusicPlayer::CloseAudio()
{
    // The mixer takes its audio lock to change the hook, so no hook runs after this.
    const SdlApi& sdl = Sdl();
    sdl.HookMusicFinished(nullptr);
    HookTarget = nullptr;
    sdl.CloseAudio();
    sdl.Quit();
    sdl.QuitSubSystem(SDL_INIT_AUDIO);
}

bool MusicPlayer::Open()
{
    Close();
    Error.clear();
    const bool notify = std::exchange(NotifyNext, true);
    const Kind kind = Inspect(FileName, Error);
    if (kind == Kind::Midi)
        Error = CheckMidi(FileName, MidiData);
    if (kind == Kind::Midi && Error.isEmpty())
        Error = CheckSoundFont(SoundFontPath);
    if (!Error.isEmpty() || !OpenAudio())
        return false;
    const SdlApi& sdl = Sdl();
    SDL_RWops* rw = MidiData.isEmpty() ? sdl.RWFromFile(QFile::encodeName(FileName).constData(), "rb")
                                       : sdl.RWFromConstMem(MidiData.constData(), int(MidiData.size()));
    Mix_Music* music = nullptr;
    if (rw) {
        const Mix_MusicType type = kind == Kind::Midi ? MUS_MID : kind == Kind::Wave ? MUS_WAV : MUS_MP3;
        music = sdl.LoadMUSType_RW(rw, type, 1);
    }
    if (!music) {
        Error = QStringLiteral("Soubor s hudbou %1 nelze přehrát, jeho obsah je poškozený nebo nepodporovaný").arg(FileName)
                + InParentheses(SdlText(sdl.GetError()));
        CloseAudio();
        return false;
    }
    Music = music;
    if (notify)
        QMetaObject::invokeMethod(this, [this] { emit Notify(); }, Qt::QueuedConnection);
    return true;
}

bool MusicPlayer::Play()
{
    const bool notify = std::exchange(NotifyNext, true);
    if (!Music) {
        Error = QStringLiteral("Není otevřen žádný soubor s hudbou.");
        return false;
    }
    ++PlayId;  // notices of an earlier playback no longer count
    PlayNotify = notify;
    if (Sdl().PlayMusic(AsMusic(Music), 1) != 0) {
        PlayNotify = false;
        Error = QStringLiteral("Soubor s hudbou %1 nelze přehrát").arg(FileName) + InParentheses(SdlText(Sdl().GetError()));
        return false;
    }
    return true;
}

void MusicPlayer::Stop()
{
    if (Music)
        Sdl().HaltMusic();
}

void MusicPlayer::Close()
{
    if (Music) {
        Sdl().HaltMusic();
        Sdl().FreeMusic(AsMusic(Music));
        Music = nullptr;
        CloseAudio();  // the device is open exactly while a file is
    }
    MidiData.clear();
}

MusicPlayer::Mode MusicPlayer::CurrentMode() const
{
    if (!Music)
        return Mode::NotOpen;
    return Sdl().PlayingMusic() ? Mode::Playing : Mode::Stopped;
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
