#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QString>

class QFile;

// Every file the program reads on the user's behalf goes through here. Only a regular file (or a
// link to one) is opened: a FIFO, socket, device or folder is refused before it is opened for
// reading, so no read can block for ever or run without end.

// Opens path into file (which must not be open) for reading. Empty when it is open; otherwise the
// Czech reason, to follow "nelze otevřít: ".
QString OpenRegularFile(QFile& file, const QString& path, QIODevice::OpenMode extra = {});

// Reads the whole regular file into bytes, never more than maxBytes whatever its size said when it
// was opened. Empty on success; otherwise the Czech reason.
QString ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes);
