#include "AtomicFile.h"
#include "Error.h"
#include <QSaveFile>

void WriteFileAtomically(const QString& path, const std::function<void(const ByteSink&)>& produce)
{
    QSaveFile file(path);
    // Unbuffered, so a short write (a full disk, a file-size limit) shows in write()'s result: the
    // buffered path has been seen to commit a truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw ZelvakonError(QStringLiteral("Soubor %1 nelze uložit: %2").arg(path, file.errorString()));
    // A failure anywhere, here or in produce, leaves the file uncommitted: QSaveFile then drops it.
    produce([&file, &path](const QByteArray& bytes) {
        qint64 done = 0;
        while (done < bytes.size()) {
            const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
            if (n <= 0)
                throw ZelvakonError(QStringLiteral("Soubor %1 nelze uložit: %2").arg(path, file.errorString()));
            done += n;
        }
    });
    if (!file.commit())
        throw ZelvakonError(QStringLiteral("Soubor %1 nelze uložit: %2").arg(path, file.errorString()));
}

void WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    WriteFileAtomically(path, [&bytes](const ByteSink& sink) { sink(bytes); });
}
