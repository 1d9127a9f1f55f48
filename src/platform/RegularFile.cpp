#include "RegularFile.h"
#include "Error.h"
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

static QString NotRegular(bool folder)
{
    return folder ? SystemErrorText(EISDIR) : QStringLiteral("není to obyčejný soubor");
}

#ifdef Q_OS_UNIX

QString OpenRegularFile(QFile& file, const QString& path, QIODevice::OpenMode extra)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (path.isEmpty() || ::stat(name.constData(), &st) != 0)
        return SystemErrorText(path.isEmpty() ? ENOENT : errno);
    if (!S_ISREG(st.st_mode))
        return NotRegular(S_ISDIR(st.st_mode));
    // Non-blocking: a FIFO put in its place since the look would otherwise wait here for a writer.
    int fd;
    do
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return SystemErrorText(errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        return NotRegular(folder);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly | extra, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return SystemErrorText(file.errorString());
    }
    return QString();
}

#else

QString OpenRegularFile(QFile& file, const QString& path, QIODevice::OpenMode extra)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return QStringLiteral("soubor nebo adresář neexistuje");
    if (!info.isFile())
        return NotRegular(info.isDir());
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | extra))
        return SystemErrorText(file.errorString());
    return QString();
}

#endif

QString ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes)
{
    QFile file(path);
    if (QString reason = OpenRegularFile(file, path); !reason.isEmpty())
        return reason;
    const QString tooLarge = QStringLiteral("soubor je větší než %1 bajtů").arg(maxBytes);
    if (file.size() > maxBytes)
        return tooLarge;
    // The size is only a hint: the file may grow while it is read, and the cap is for what is read.
    bytes = QByteArray();
    bytes.reserve(qMax<qint64>(file.size(), 0));
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = file.read(buffer, sizeof buffer);
        if (n < 0)
            return SystemErrorText(file.errorString());
        if (n == 0)
            break;
        if (bytes.size() + n > maxBytes) {
            bytes = QByteArray();
            return tooLarge;
        }
        bytes.append(buffer, n);
    }
    return QString();
}
