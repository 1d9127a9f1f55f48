#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QFile;

// Writes the whole file or nothing: the bytes go to a temporary file beside it, which replaces the
// file only when every byte is on disk. A failure throws ZelvakonError naming the file and leaves
// the earlier file as it was.
void WriteFileAtomically(const QString& path, const QByteArray& bytes);

// Receives a file's bytes a piece at a time, in order.
using ByteSink = std::function<void(const QByteArray&)>;
// The same for a file made a piece at a time: produce hands every piece to the sink it is given.
// Whatever throws on the way, the earlier file stays as it was.
void WriteFileAtomically(const QString& path, const std::function<void(const ByteSink&)>& produce);
// A new, empty file in the folder of target, open for unbuffered writing: never a file that exists
// and never through a link. Nothing and the Czech reason in error when it cannot be made.
std::unique_ptr<QFile> CreateTemporaryBeside(const QString& target, QString& error);

// Puts the whole file from in place of target in one step; a link named target is replaced, never
// followed. False and the Czech reason in error when it cannot.
bool ReplaceFile(const QString& from, const QString& target, QString& error);
