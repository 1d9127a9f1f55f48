#include "Codec.h"
#include <QStringDecoder>
#include <QStringEncoder>

namespace Codec {

QByteArray ToWin1250(const QString& text)
{
    QStringEncoder encoder("windows-1250");
    QByteArray bytes = encoder.encode(text);
    return bytes;
}

QString FromWin1250(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1250");
    QString text = decoder.decode(bytes);
    return text;
}

bool IsEncodable(const QString& text)
{
    // A fresh encoder per check: its error flag is sticky.
    QStringEncoder encoder("windows-1250");
    QByteArray bytes = encoder.encode(text);
    return !encoder.hasError();
}

bool IsEncodable(QChar c)
{
    if (c.unicode() < 0x80)
        return true;
    return IsEncodable(QString(c));
}

}  // namespace Codec
