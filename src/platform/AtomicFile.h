#pragma once
#include <QByteArray>
#include <QString>

// Writes the whole file or nothing: the bytes go to a temporary file beside it, which replaces the
// file only when every byte is on disk. A failure throws ZelvakonError naming the file and leaves
// the earlier file as it was.
void WriteFileAtomically(const QString& path, const QByteArray& bytes);
