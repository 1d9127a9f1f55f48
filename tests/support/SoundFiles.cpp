#include "SoundFiles.h"
#include <QtEndian>
#include <cmath>

namespace {

void Le32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void Le16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void Be32(QByteArray& out, quint32 v)
{
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

void VarLen(QByteArray& out, quint32 v)
{
    QByteArray bytes(1, char(v & 0x7F));
    while (v >>= 7)
        bytes.prepend(char(0x80 | (v & 0x7F)));
    out += bytes;
}

}  // namespace

namespace SoundFiles {

QByteArray Wave(int milliseconds, int frequency)
{
    const int rate = 22050;
    const int samples = rate * milliseconds / 1000;
    QByteArray data;
    for (int i = 0; i < samples; ++i)
        Le16(data, quint16(qint16(12000 * std::sin(2 * M_PI * frequency * i / rate))));
    QByteArray out("RIFF");
    Le32(out, quint32(36 + data.size()));
    out += "WAVEfmt ";
    Le32(out, 16);
    Le16(out, 1);  // PCM
    Le16(out, 1);  // mono
    Le32(out, rate);
    Le32(out, rate * 2);
    Le16(out, 2);
    Le16(out, 16);
    out += "data";
    Le32(out, quint32(data.size()));
    return out + data;
}

QByteArray Midi(int milliseconds)
{
    // 96 ticks a quarter note at the default 120 beats a minute: 0.5 s.
    QByteArray track;
    track += QByteArray::fromHex("00C000");    // program 0
    track += QByteArray::fromHex("00903C64");  // note on, middle C
    VarLen(track, quint32(milliseconds * 96 / 500));
    track += QByteArray::fromHex("803C40");    // note off
    track += QByteArray::fromHex("00FF2F00");  // end of track
    QByteArray out("MThd");
    Be32(out, 6);
    out += QByteArray::fromHex("000000010060");  // format 0, one track, 96 ticks
    out += "MTrk";
    Be32(out, quint32(track.size()));
    return out + track;
}

QByteArray Mpeg(int milliseconds)
{
    // 128 kbit/s at 48 kHz: 384-byte frames of 1152 samples (24 ms). Zero side information and
    // main data decode to silence.
    QByteArray frame(384, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);  // MPEG-1, Layer III, no CRC
    frame[2] = char(0x94);  // 128 kbit/s, 48 kHz, no padding
    frame[3] = char(0xC0);  // mono
    QByteArray out;
    for (int i = 0; i < qMax(1, milliseconds / 24); ++i)
        out += frame;
    return out;
}

QByteArray SoundFontHeader()
{
    QByteArray out("RIFF");
    Le32(out, 4);
    return out + "sfbk";
}

}  // namespace SoundFiles
