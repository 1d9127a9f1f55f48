#pragma once
#include <QByteArray>
#include <QString>

// Windows-1250 at every file boundary. Undefined bytes (0x81, 0x83, 0x88, 0x90, 0x98) round-trip unchanged.
namespace Codec {
QByteArray ToWin1250(const QString& text);  // an unencodable character becomes 0x1A
QString FromWin1250(const QByteArray& bytes);
bool IsEncodable(const QString& text);
bool IsEncodable(QChar c);
}  // namespace Codec
