#pragma once
#include <QByteArray>
#include <QString>

class QFile;

// Copies a file's bytes into another open file chunk by chunk: in the kernel where the platform can
// (Linux copy_file_range, no trip through user memory), else through one buffer. The source is read
// from its start; the target is written from its current position on.
class ChunkCopy {
public:
    enum class Result { Copied, ReadFailed, WriteFailed };

    ChunkCopy(QFile& source, QFile& target);
    ~ChunkCopy();  // leaves the target positioned behind the bytes copied

    Result Copy(qint64 bytes);  // exactly that many bytes, or a failure
    QString ErrorText() const { return Error; }

private:
    QFile& Source;
    QFile& Target;
    qint64 TargetPos;
    bool InKernel = true;
    QByteArray Buffer;
    QString Error;
};
