#include "AtomicFile.h"
#include "Error.h"
#include <QSaveFile>

void WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // Unbuffered, so a short write (a full disk, a file-size limit) shows in write()'s result: the
    // buffered path has been seen to commit a truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw ZelvakonError(QStringLiteral("Soubor %1 nelze uložit: %2").arg(path, file.errorString()));
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            throw ZelvakonError(QStringLiteral("Soubor %1 nelze uložit: %2").arg(path, reason));
        }
        done += n;
    }
    if (!file.commit())
        throw ZelvakonError(QStringLiteral("Soubor %1 nelze uložit: %2").arg(path, file.errorString()));
}
