#pragma once
#include <QByteArray>

// Short real music files made on the spot, so the player tests need no tools and no fixtures.
namespace SoundFiles {
QByteArray Wave(int milliseconds, int frequency = 440);  // 16-bit mono PCM sine, 22050 Hz
QByteArray Midi(int milliseconds);                       // one piano note, standard MIDI file format 0
QByteArray Mpeg(int milliseconds);                       // MPEG-1 Layer III frames of silence, 48 kHz mono
QByteArray SoundFontHeader();                            // the first bytes of a SoundFont file
}  // namespace SoundFiles
