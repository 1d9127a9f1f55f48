#include "Archiver.h"
#include "ChildProcess.h"
#include "Error.h"
#include "Paths.h"
#include <QFile>
#include <QFileInfo>

QString ArchivePath(const QString& projectFolder) { return Paths::Join(projectFolder, QStringLiteral("archiv.rar")); }

QString ArchiverArguments(const QString& projectFolder, const QString& archAdr)
{
    return QStringLiteral("a -r -ep1 ") + ArchivePath(projectFolder) + QLatin1Char(' ')
           + Paths::Join(archAdr, QStringLiteral("*.*"));
}

std::optional<BuildMessage> CheckWinRarName(const QString& winRarExe)
{
    const QString name = Paths::FileNameOf(winRarExe);
    if (name.toUpper().contains(QLatin1String("WINRAR")))
        return std::nullopt;
#ifndef Q_OS_WIN
    // RAR for Linux takes the same command line as WinRAR.
    if (name == QLatin1String("rar"))
        return std::nullopt;
#endif
    return BuildError(0, QStringLiteral("Pravděpodobně se nejedná a spustitelný soubor WinRARa."));
}

std::optional<BuildMessage> CheckWine(const QString& winRarExe)
{
    if (!NeedsWine(winRarExe) || !WineProgram().isEmpty())
        return std::nullopt;
    return BuildError(0, QStringLiteral("Archivátor %1 je program pro Windows a ke spuštění potřebuje program wine, "
                                        "který nebyl nalezen (v PATH).\nNainstalujte wine, nebo zadejte archivátor rar "
                                        "pro Linux.")
                             .arg(winRarExe));
}

std::optional<BuildMessage> RemoveOldArchive(const QString& projectFolder)
{
    const QString archive = ArchivePath(projectFolder);
    const QFileInfo info(archive);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    QString reason = info.isDir() ? QStringLiteral("je to adresář") : QStringLiteral("není to obyčejný soubor");
    if (info.isFile() || info.isSymLink()) {
        QFile file(archive);
        if (file.remove())
            return std::nullopt;
        reason = SystemErrorText(file.errorString());
    }
    return BuildError(0, QStringLiteral("Starý archiv %1 nelze smazat (%2).\nSmažte jej a sestavte projekt znovu.")
                             .arg(archive, reason));
}

std::optional<BuildMessage> ArchiverOutcome(const ChildExit& exit)
{
    // What the archiver said last usually names the file or the reason.
    const QString said = exit.LastLines.isEmpty()
                             ? QString()
                             : QStringLiteral("\n\nVýstup WinRARu:\n") + exit.LastLines.join(QLatin1Char('\n'));
    switch (exit.Result) {
    case ChildExit::Kind::Stopped:
        return BuildMessage{QStringLiteral("Sestavování bylo přerušeno."), QStringLiteral("Upozornění"),
                            MsgIcon::Warning, BuildPage::None, 0};
    case ChildExit::Kind::NotStarted:
        return BuildError(0, QStringLiteral("Nemohu spustit WinRAR.\nZkontrolujte správnost zadané cesty."));
    case ChildExit::Kind::Killed:
        return BuildError(0, QStringLiteral("WinRAR byl ukončen signálem %1, archiv nemusí být úplný.\nSestavování "
                                            "bylo přerušeno.")
                                     .arg(exit.Code)
                                 + said);
    case ChildExit::Kind::Exited:
        break;
    }
    // WinRAR's 1 is a warning (for example a file it could not read); 2 and above are fatal errors.
    if (exit.Code >= 2 || exit.Code < 0)
        return BuildError(0, QStringLiteral("WinRAR skončil s chybovým kódem %1, archiv nemusí být úplný.\n"
                                            "Sestavování bylo přerušeno.")
                                     .arg(exit.Code)
                                 + said);
    return std::nullopt;
}

QString ElapsedText(qint64 milliseconds)
{
    const qint64 seconds = milliseconds / 1000;
    const QChar zero = QLatin1Char('0');
    if (seconds < 3600)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, zero);
    return QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, zero).arg(seconds % 60, 2, 10, zero);
}

qint64 ArchiveKB(const QString& projectFolder) { return QFileInfo(ArchivePath(projectFolder)).size() / 1024; }
