#include "BuildChecks.h"
#include "Error.h"
#include "Project.h"
#include "SkinPicture.h"
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

BuildMessage Warning(int check, const QString& text)
{
    return {text, QStringLiteral("Upozornění"), MsgIcon::Warning, BuildPage::None, check};
}

// Regular files directly in the folder, hidden ones included, and links to them (they are packed);
// subfolders, FIFOs, sockets, devices and broken links do not count.
bool HasFiles(const QString& folder)
{
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().isFile())
            return true;
    }
    return false;
}

}  // namespace

BuildMessage BuildError(int check, const QString& text)
{
    return {text, QStringLiteral("Chyba"), MsgIcon::Error, BuildPage::None, check};
}

QString ResolveProjectPath(const QString& path, const QString& projectFolder)
{
    if (path.isEmpty() || !QDir::isRelativePath(path))
        return path;
    return QDir::toNativeSeparators(
        QDir::cleanPath(QDir::fromNativeSeparators(projectFolder) + QLatin1Char('/') + QDir::fromNativeSeparators(path)));
}

void ResolveProjectPaths(Project& project, const QString& projectFolder)
{
    for (QString* path : {&project.ArchAdr, &project.Obrazek, &project.Hudba, &project.Vystup})
        *path = ResolveProjectPath(*path, projectFolder);
}

std::optional<BuildMessage> CheckBuildFields(const Project& p)
{
    const std::pair<const QString*, const char*> fields[] = {{&p.Nazev, "Název"},
                                                             {&p.DiskMisto, "Místo na disku"},
                                                             {&p.ArchAdr, "Adresář k archivaci"},
                                                             {&p.WinRARExe, "Spouštěcí soubor"}};
    for (const auto& [value, caption] : fields)
        if (value->isEmpty())
            return BuildError(
                0, QStringLiteral("Projekt nelze sestavit, pole „%1“ je prázdné.").arg(QString::fromUtf8(caption)));
    return std::nullopt;
}

std::optional<BuildMessage> CheckBuild(const Project& p, const QString& projectFolder)
{
    const QChar blank = QLatin1Char(' ');
    if (projectFolder.contains(blank))
        return Warning(1, QStringLiteral("Cesta k adresáři s projektem '") + projectFolder
                              + QStringLiteral("' obsahuje v názvu mezery.\nUkončete program, odstraňte v názvu cesty "
                                               "mezery a spusťte program znovu.\nVysvětlení najdete v souboru "
                                               "Readme.txt."));
    if (p.ArchAdr.contains(blank))
        return Warning(2, QStringLiteral("Název adresáře se soubory k archivaci '") + p.ArchAdr
                              + QStringLiteral("' nesmí obsahovat mezery.\nVysvětlení najdete v souboru Readme.txt."));
    if (!p.Obrazek.isEmpty() && !AreasSet(p.Rozbal, p.Readme, p.Konec)) {
        BuildMessage m = Warning(3, QStringLiteral("Musíte nejprve nastavit klikací plochy."));
        m.Page = BuildPage::MusicAndPicture;
        return m;
    }
    if (!QFileInfo(p.ArchAdr).isDir())
        return BuildError(4, QStringLiteral("Adresář se soubory k archivaci neexistuje."));
    if (!HasFiles(p.ArchAdr))
        return BuildError(5, QStringLiteral("Adresář se soubory k archivaci žádné soubory neobsahuje."));
    bool whole = false;
    const qint32 diskSpace = p.DiskMisto.toInt(&whole, 10);
    if (!whole)
        throw ZelvakonError(QStringLiteral("Místo na disku '%1' není celé číslo v rozsahu od -2147483648 do "
                                           "2147483647")
                                .arg(p.DiskMisto));
    if (diskSpace <= 0)
        return Warning(6, QStringLiteral("Místo na disku, které bude program potřebovat, musí být větší než nula."));
    if (!p.Obrazek.isEmpty()) {
        // One reading of the picture serves both size checks.
        const SkinPictureFault fault = CheckSkinPictureSize(GetBitmapSize(p.Obrazek));
        if (fault == SkinPictureFault::TooLarge)
            return BuildError(7, QStringLiteral("Obrázek nemůže být větší než 600x400 bodů."));
        if (fault == SkinPictureFault::TooSmall)
            return BuildError(8, QStringLiteral("Obrázek nemůže být menší než 100x100 bodů."));
        // A picture cut short would ship as it is and show leftover memory.
        CheckBitmapData(p.Obrazek);
    }
    if (p.SpustitPrg && (p.NazevProg.isEmpty() || p.PrikRadka.isEmpty()))
        return BuildError(9, QStringLiteral("Program, který se bude spouštet po extrakci\nnemá definován buď název "
                                            "anebo příkazovou řádku."));
    if (!QFileInfo(p.Vystup).isDir() && !QDir().mkdir(p.Vystup))
        return BuildError(10, QStringLiteral("Výstupní adresář pro datový soubor nelze vytvořit."));
    return std::nullopt;
}
