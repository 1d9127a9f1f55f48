#include "Codec.h"
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <memory>

namespace {

// Windows-1250 is one byte per character: two tables, made once from the system's converter, do every
// conversion after that. Only characters that come back from a byte are encodable, so nothing is
// ever replaced by a "best fit" look-alike.
struct Tables {
    std::array<char16_t, 256> ToUnicode{};
    std::unique_ptr<std::array<quint8, 65536>> FromUnicode = std::make_unique<std::array<quint8, 65536>>();

    bool Encodable(QChar c) const { return ToUnicode[(*FromUnicode)[c.unicode()]] == c.unicode(); }

    Tables()
    {
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        const QString text = QStringDecoder("windows-1250").decode(all);
        for (int b = 0; b < 256; ++b) {
            const char16_t u = b < text.size() ? text[b].unicode() : char16_t(b);
            ToUnicode[size_t(b)] = u;
            (*FromUnicode)[u] = quint8(b);
        }
    }
};

const Tables& Table()
{
    static const Tables tables;
    return tables;
}

}  // namespace

namespace Codec {

QByteArray ToWin1250(const QString& text)
{
    const Tables& t = Table();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (QChar c : text)
        *out++ = t.Encodable(c) ? char((*t.FromUnicode)[c.unicode()]) : char(0x1A);
    return bytes;
}

QString FromWin1250(const QByteArray& bytes)
{
    const Tables& t = Table();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char b : bytes)
        *out++ = QChar(t.ToUnicode[quint8(b)]);
    return text;
}

bool IsEncodable(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [&t = Table()](QChar c) { return t.Encodable(c); });
}

bool IsEncodable(QChar c) { return Table().Encodable(c); }

}  // namespace Codec
