#include "Archiver.h"
#include "ChildProcess.h"
#include "Paths.h"
#include <QFile>
#include <QFileInfo>

namespace {

BuildMessage Refusal(const QString& text)
{
    return {text, QStringLiteral("Chyba"), MsgIcon::Error, BuildPage::None, 0};
}

}  // namespace

QString ArchivePath(const QString& projectFolder) { return Paths::Join(projectFolder, QStringLiteral("archiv.rar")); }

QString ArchiverCommandLine(const QString& winRarExe, const QString& projectFolder, const QString& archAdr)
{
    return winRarExe + QStringLiteral(" a -r -ep1 ") + ArchivePath(projectFolder) + QLatin1Char(' ')
           + Paths::Join(archAdr, QStringLiteral("*.*"));
}

std::optional<BuildMessage> CheckWinRarName(const QString& winRarExe)
{
    if (Paths::FileNameOf(winRarExe).toUpper().contains(QLatin1String("WINRAR")))
        return std::nullopt;
    return Refusal(QStringLiteral("Pravděpodobně se nejedná a spustitelný soubor WinRARa."));
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
        reason = file.errorString();
    }
    return Refusal(QStringLiteral("Starý archiv %1 nelze smazat (%2).\nSmažte jej a sestavte projekt znovu.")
                       .arg(archive, reason));
}

std::optional<BuildMessage> RunArchiver(ChildProcess& process, const QString& commandLine)
{
    const ChildExit exit = process.Run(commandLine);
    switch (exit.Result) {
    case ChildExit::Kind::NotStarted:
        return Refusal(QStringLiteral("Nemohu spustit WinRAR.\nZkontrolujte správnost zadané cesty."));
    case ChildExit::Kind::Killed:
        return Refusal(QStringLiteral("WinRAR byl ukončen signálem %1, archiv nemusí být úplný.\nSestavování "
                                      "bylo přerušeno.")
                           .arg(exit.Code));
    case ChildExit::Kind::Exited:
        break;
    }
    // WinRAR's 1 is a warning (for example a file it could not read); 2 and above are fatal errors.
    if (exit.Code >= 2 || exit.Code < 0)
        return Refusal(QStringLiteral("WinRAR skončil s chybovým kódem %1, archiv nemusí být úplný.\nSestavování "
                                      "bylo přerušeno.")
                           .arg(exit.Code));
    return std::nullopt;
}
