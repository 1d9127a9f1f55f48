#include "AtomicFile.h"
#include "Error.h"
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

void WriteFileAtomically(const QString& path, const std::function<void(const ByteSink&)>& produce)
{
    QSaveFile file(path);
    const auto failed = [&file, &path] {
        return ZelvakonError(
            QStringLiteral("Soubor %1 nelze uložit: %2").arg(path, SystemErrorText(file.errorString())));
    };
    // Unbuffered, so a short write (a full disk, a file-size limit) shows in write()'s result: the
    // buffered path has been seen to commit a truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw failed();
    // A failure anywhere, here or in produce, leaves the file uncommitted: QSaveFile then drops it.
    produce([&file, &failed](const QByteArray& bytes) {
        for (qint64 done = 0, n = 0; done < bytes.size(); done += n)
            if ((n = file.write(bytes.constData() + done, bytes.size() - done)) <= 0)
                throw failed();
    });
    if (!file.commit())
        throw failed();
}

void WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    WriteFileAtomically(path, [&bytes](const ByteSink& sink) { sink(bytes); });
}

std::unique_ptr<QFile> CreateTemporaryBeside(const QString& target, QString& error)
{
    // <folder>/.<name>: hidden beside the target, in its folder so that the rename stays on one disk.
    const QString name = QFileInfo(target).fileName();
    const QString stem = target.left(target.size() - name.size()) + QLatin1Char('.') + name;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto file = std::make_unique<QFile>(
            stem + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate() % 1000000, 6, 10, QLatin1Char('0')));
        if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return file;
        error = SystemErrorText(file->errorString());
        if (file->exists() || QFileInfo(file->fileName()).isSymLink())
            continue;  // a name already taken: another one
        return nullptr;
    }
    return nullptr;
}

bool ReplaceFile(const QString& from, const QString& target, QString& error)
{
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()), reinterpret_cast<const wchar_t*>(target.utf16()),
                    MOVEFILE_REPLACE_EXISTING))
        return true;
    error = QStringLiteral("systémová chyba (%1)").arg(GetLastError());
    return false;
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(target).constData()) == 0)
        return true;
    error = SystemErrorText(errno);
    return false;
#endif
}

