#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

// Writes the whole file or nothing: the bytes go to a temporary file beside it, which replaces the
// file only when every byte is on disk. A failure throws ZelvakonError naming the file and leaves
// the earlier file as it was.
void WriteFileAtomically(const QString& path, const QByteArray& bytes);

// Receives a file's bytes a piece at a time, in order.
using ByteSink = std::function<void(const QByteArray&)>;
// The same for a file made a piece at a time: produce hands every piece to the sink it is given.
// Whatever throws on the way, the earlier file stays as it was.
void WriteFileAtomically(const QString& path, const std::function<void(const ByteSink&)>& produce);
