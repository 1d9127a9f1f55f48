#include "Project.h"
#include "AtomicFile.h"
#include "Codec.h"
#include "Error.h"
#include "Paths.h"
#include "ProfileFile.h"
#include "RegularFile.h"

qint32 ReadProfileInt(const QString& text, qint32 defaultValue)
{
    bool ok = false;
    // Hex texts name the bit pattern: 0xFFFFFFFF is -1.
    const qint32 value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? qint32(text.mid(2).toUInt(&ok, 16))
                                                                                   : text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

namespace {

const QString AreaSections[] = {QStringLiteral("Rozbal"), QStringLiteral("Readme"), QStringLiteral("Konec")};
constexpr ClickArea Project::*Areas[] = {&Project::Rozbal, &Project::Readme, &Project::Konec};
const std::pair<QString, qint32 ClickArea::*> AreaKeys[] = {{QStringLiteral("Levy"), &ClickArea::Levy},
                                                            {QStringLiteral("Pravy"), &ClickArea::Pravy},
                                                            {QStringLiteral("Horni"), &ClickArea::Horni},
                                                            {QStringLiteral("Dolni"), &ClickArea::Dolni}};

// The main section's texts, in the order a new file gets them; the two flags follow.
constexpr std::pair<const char*, QString Project::*> TextKeys[] = {
    {"Nazev", &Project::Nazev},         {"DiskMisto", &Project::DiskMisto}, {"ArchAdr", &Project::ArchAdr},
    {"CilAdr", &Project::CilAdr},       {"WinRARExe", &Project::WinRARExe}, {"Hudba", &Project::Hudba},
    {"Obrazek", &Project::Obrazek},     {"NazevProg", &Project::NazevProg}, {"PrikRadka", &Project::PrikRadka},
    {"Vystup", &Project::Vystup},       {"JmenoInst", &Project::JmenoInst}, {"JmenoDat", &Project::JmenoDat}};
constexpr std::pair<const char*, bool Project::*> FlagKeys[] = {{"SpustitPrg", &Project::SpustitPrg},
                                                                {"Zeptat", &Project::Zeptat}};

void CheckProjectTexts(const Project& p)
{
    const QString cannot = QStringLiteral(" obsahuje znaky, které nelze uložit v kódování Windows-1250");
    for (const auto& [key, field] : TextKeys)
        if (!Codec::IsEncodable(p.*field))
            throw ZelvakonError(QStringLiteral("Hodnota ") + QLatin1String(key) + cannot);
    if (!Codec::IsEncodable(p.ReadmeText))
        throw ZelvakonError(QStringLiteral("Text souboru ") + ReadmeNfoName + cannot);
}

}  // namespace

void WriteProjectKeys(ProfileFile& profile, const QString& mainSection, const Project& p)
{
    const QStringList sections = profile.Sections();
    if (!sections.isEmpty() && sections.first().compare(mainSection, Qt::CaseInsensitive) != 0) {
        bool firstIsArea = false;
        for (const QString& area : AreaSections)
            firstIsArea = firstIsArea || sections.first().compare(area, Qt::CaseInsensitive) == 0;
        if (!firstIsArea) {
            // The first section is the main one for every read: a copied file keeps it under the new
            // name, and a later section of that name, which no read would ever use, goes.
            profile.EraseSection(mainSection);
            profile.RenameSection(0, mainSection);
        }
    }
    for (const auto& [key, field] : TextKeys) {
        // A line break inside a value would add lines or sections to the file.
        if ((p.*field).contains(QLatin1Char('\r')) || (p.*field).contains(QLatin1Char('\n')))
            throw ZelvakonError(QStringLiteral("Hodnota %1 obsahuje konec řádku a nelze ji uložit").arg(QLatin1String(key)));
        profile.Write(mainSection, QLatin1String(key), p.*field);
    }
    for (const auto& [key, field] : FlagKeys)
        profile.Write(mainSection, QLatin1String(key), p.*field ? QStringLiteral("1") : QStringLiteral("0"));
    // Every read takes the first section as the main one: one that was appended behind an area
    // section would never be read again.
    if (profile.Sections().first().compare(mainSection, Qt::CaseInsensitive) != 0)
        profile.MoveSectionToFront(mainSection);
    for (int i = 0; i < 3; ++i)
        for (const auto& [key, side] : AreaKeys)
            profile.Write(AreaSections[i], key, QString::number(p.*Areas[i].*side));
}

void WriteProjectFile(const QString& path, const Project& project)
{
    // Checked before the first byte is written: the side files follow this one.
    CheckProjectTexts(project);
    ProfileFile profile = ProfileFile::Load(path);
    WriteProjectKeys(profile, Paths::FileNameOf(path), project);
    profile.Save(path);
}

Project ReadProjectKeys(const ProfileFile& profile, const QString& path)
{
    const QStringList sections = profile.Sections();
    if (sections.isEmpty())
        throw ZelvakonError(QStringLiteral("Soubor %1 neobsahuje žádnou sekci, není to projekt").arg(path));
    const QString& main = sections.first();
    Project p;
    for (const auto& [key, field] : TextKeys)
        p.*field = profile.Read(main, QLatin1String(key));
    for (const auto& [key, field] : FlagKeys)
        p.*field = ReadProfileInt(profile.Read(main, QLatin1String(key))) != 0;
    for (int i = 0; i < 3; ++i)
        for (const auto& [key, side] : AreaKeys)
            p.*Areas[i].*side = ReadProfileInt(profile.Read(AreaSections[i], key));
    return p;
}

Project ReadProjectFile(const QString& path)
{
    return ReadProjectKeys(ProfileFile::Load(path), path);
}

void SaveReadmeText(const QString& path, const QString& text)
{
    WriteFileAtomically(path, Codec::ToWin1250(text));
}

QString LoadReadmeText(const QString& path)
{
    QByteArray bytes;
    if (const QString reason = ReadRegularFile(path, ProfileFile::MaxFileSize, bytes); !reason.isEmpty())
        throw ZelvakonError(QStringLiteral("Soubor %1 nelze otevřít: %2").arg(path, reason));
    // Every CR, LF or CR LF becomes CR LF.
    QString text = Codec::FromWin1250(bytes);
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'))
        .replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

int ReadmeLineCount(const QString& text)
{
    if (text.isEmpty())
        return 0;
    int lines = int(text.count(QLatin1Char('\n'))) + 1;
    if (text.endsWith(QLatin1Char('\n')))
        --lines;  // an empty last line does not count
    return lines;
}
