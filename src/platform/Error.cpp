#include "Error.h"
#include <cerrno>
#include <cstring>

QString StandardErrorText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

namespace {

struct CzechError {
    int Number;
    const char* Text;
};

const CzechError CzechErrors[] = {
    {ENOENT, "soubor nebo adresář neexistuje"},
    {EACCES, "přístup byl odepřen"},
    {EPERM, "operace není povolena"},
    {EISDIR, "je to adresář"},
    {ENOTDIR, "není to adresář"},
    {ENOSPC, "na disku není dost místa"},
#ifdef EDQUOT
    {EDQUOT, "na disku není dost místa (vyčerpaná kvóta)"},
#endif
    {EFBIG, "soubor je příliš velký"},
    {EROFS, "systém souborů je jen pro čtení"},
    {EMFILE, "příliš mnoho otevřených souborů"},
    {ENFILE, "příliš mnoho otevřených souborů v systému"},
    {ENAMETOOLONG, "název souboru je příliš dlouhý"},
    {EEXIST, "soubor již existuje"},
    {EIO, "chyba vstupu nebo výstupu"},
    {ELOOP, "příliš mnoho úrovní symbolických odkazů"},
    {EBUSY, "zařízení nebo prostředek je používán"},
    {ETXTBSY, "soubor je právě spuštěn"},
    {ENXIO, "zařízení neexistuje"},
};

QString SystemText(int errorNumber) { return QString::fromLocal8Bit(std::strerror(errorNumber)); }

}  // namespace

QString SystemErrorText(int errorNumber)
{
    for (const CzechError& e : CzechErrors)
        if (e.Number == errorNumber)
            return QString::fromUtf8(e.Text);
    return QStringLiteral("systémová chyba (%1)").arg(SystemText(errorNumber));
}

QString SystemErrorText(const QString& systemText)
{
    for (const CzechError& e : CzechErrors)
        if (systemText == SystemText(e.Number))
            return QString::fromUtf8(e.Text);
    // Qt's own texts for the same faults.
    if (systemText == QLatin1String("file to open is a directory"))
        return SystemErrorText(EISDIR);
    if (systemText.isEmpty() || systemText == QLatin1String("Unknown error"))
        return QStringLiteral("neznámá chyba");
    return QStringLiteral("systémová chyba (%1)").arg(systemText);
}
