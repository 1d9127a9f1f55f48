#include "FileCopy.h"
#include "Error.h"
#include <QFile>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

ChunkCopy::ChunkCopy(QFile& source, QFile& target) : Source(source), Target(target), TargetPos(target.pos()) {}

ChunkCopy::~ChunkCopy() { Target.seek(TargetPos); }

#ifdef Q_OS_LINUX

ChunkCopy::Result ChunkCopy::Copy(qint64 bytes)
{
    // Raw descriptors throughout: the source's own offset says how far it has been read, the target
    // is written at explicit offsets, and the destructor tells the QFile where that ended.
    const int from = Source.handle();
    const int to = Target.handle();
    while (bytes > 0) {
        if (InKernel) {
            loff_t out = TargetPos;
            const ssize_t n = copy_file_range(from, nullptr, to, &out, size_t(bytes), 0);
            if (n > 0) {
                TargetPos += n;
                bytes -= n;
                continue;
            }
            if (n == 0)
                return Result::ReadFailed;  // the source ended early
            if (errno == EINTR)
                continue;
            const int error = errno;
            if (error == ENOSPC || error == EFBIG || error == EDQUOT || error == EROFS || error == EIO) {
                Error = SystemErrorText(error);
                return error == EIO ? Result::ReadFailed : Result::WriteFailed;
            }
            // Another file system, an old kernel, a special file: copy through memory instead.
            InKernel = false;
            Buffer.resize(qMin<qint64>(bytes, 1 << 16));
        }
        const ssize_t got = ::read(from, Buffer.data(), size_t(qMin<qint64>(bytes, Buffer.size())));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got < 0)
                Error = SystemErrorText(errno);
            return Result::ReadFailed;
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t n = ::pwrite(to, Buffer.constData() + written, size_t(got - written), TargetPos);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                Error = SystemErrorText(n < 0 ? errno : ENOSPC);
                return Result::WriteFailed;
            }
            written += n;
            TargetPos += n;
        }
        bytes -= got;
    }
    return Result::Copied;
}

#else

ChunkCopy::Result ChunkCopy::Copy(qint64 bytes)
{
    // Through one buffer of at most 1 MiB, however large the chunk.
    if (Buffer.size() < qMin<qint64>(bytes, 1 << 20))
        Buffer.resize(qMin<qint64>(bytes, 1 << 20));
    while (bytes > 0) {
        const qint64 piece = qMin<qint64>(bytes, Buffer.size());
        qint64 got = 0;
        while (got < piece) {
            const qint64 n = Source.read(Buffer.data() + got, piece - got);
            if (n <= 0) {
                Error = SystemErrorText(Source.errorString());
                return Result::ReadFailed;
            }
            got += n;
        }
        if (Target.write(Buffer.constData(), piece) != piece) {
            Error = SystemErrorText(Target.errorString());
            return Result::WriteFailed;
        }
        TargetPos += piece;
        bytes -= piece;
    }
    return Result::Copied;
}

#endif
