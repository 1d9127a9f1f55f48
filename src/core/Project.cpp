#include "Project.h"
#include "AtomicFile.h"
#include "Codec.h"
#include "Error.h"
#include "Paths.h"
#include "ProfileFile.h"
#include "RegularFile.h"
#include <QFile>

qint32 ReadProfileInt(const QString& text, qint32 defaultValue)
{
    bool ok = false;
    qint32 value = 0;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        // Hex texts name the bit pattern: 0xFFFFFFFF is -1.
        const quint32 bits = text.mid(2).toUInt(&ok, 16);
        value = qint32(bits);
    } else {
        value = text.toInt(&ok, 10);
    }
    return ok ? value : defaultValue;
}

static const QString AreaSections[] = {QStringLiteral("Rozbal"), QStringLiteral("Readme"), QStringLiteral("Konec")};

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
    auto flag = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
    const std::pair<const char*, QString> keys[] = {
        {"Nazev", p.Nazev},         {"DiskMisto", p.DiskMisto}, {"ArchAdr", p.ArchAdr},
        {"CilAdr", p.CilAdr},       {"WinRARExe", p.WinRARExe}, {"Hudba", p.Hudba},
        {"Obrazek", p.Obrazek},     {"NazevProg", p.NazevProg}, {"PrikRadka", p.PrikRadka},
        {"Vystup", p.Vystup},       {"JmenoInst", p.JmenoInst}, {"JmenoDat", p.JmenoDat},
        {"SpustitPrg", flag(p.SpustitPrg)}, {"Zeptat", flag(p.Zeptat)}};
    for (const auto& [key, value] : keys) {
        // A line break inside a value would add lines or sections to the file.
        if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')))
            throw ZelvakonError(QStringLiteral("Hodnota %1 obsahuje konec řádku a nelze ji uložit").arg(QLatin1String(key)));
        profile.Write(mainSection, QLatin1String(key), value);
    }
    // Every read takes the first section as the main one: one that was appended behind an area
    // section would never be read again.
    if (profile.Sections().first().compare(mainSection, Qt::CaseInsensitive) != 0)
        profile.MoveSectionToFront(mainSection);
    const ClickArea* areas[] = {&p.Rozbal, &p.Readme, &p.Konec};
    for (int i = 0; i < 3; ++i) {
        profile.Write(AreaSections[i], QStringLiteral("Levy"), QString::number(areas[i]->Levy));
        profile.Write(AreaSections[i], QStringLiteral("Pravy"), QString::number(areas[i]->Pravy));
        profile.Write(AreaSections[i], QStringLiteral("Horni"), QString::number(areas[i]->Horni));
        profile.Write(AreaSections[i], QStringLiteral("Dolni"), QString::number(areas[i]->Dolni));
    }
}

void CheckProjectTexts(const Project& p)
{
    const std::pair<const char*, const QString*> keys[] = {
        {"Nazev", &p.Nazev},         {"DiskMisto", &p.DiskMisto}, {"ArchAdr", &p.ArchAdr},
        {"CilAdr", &p.CilAdr},       {"WinRARExe", &p.WinRARExe}, {"Hudba", &p.Hudba},
        {"Obrazek", &p.Obrazek},     {"NazevProg", &p.NazevProg}, {"PrikRadka", &p.PrikRadka},
        {"Vystup", &p.Vystup},       {"JmenoInst", &p.JmenoInst}, {"JmenoDat", &p.JmenoDat}};
    const QString cannot = QStringLiteral(" obsahuje znaky, které nelze uložit v kódování Windows-1250");
    for (const auto& [key, value] : keys)
        if (!Codec::IsEncodable(*value))
            throw ZelvakonError(QStringLiteral("Hodnota ") + QLatin1String(key) + cannot);
    if (!Codec::IsEncodable(p.ReadmeText))
        throw ZelvakonError(QStringLiteral("Text souboru ") + ReadmeNfoName + cannot);
}

void WriteProjectFile(const QString& path, const Project& project)
{
    // Checked before the first byte is written: the side files follow this one.
    CheckProjectTexts(project);
    ProfileFile profile = ProfileFile::Load(path);
    const QString fileName = Paths::FileNameOf(path);
    WriteProjectKeys(profile, fileName, project);
    profile.Save(path);
}

Project ReadProjectKeys(const ProfileFile& profile, const QString& path)
{
    const QStringList sections = profile.Sections();
    if (sections.isEmpty())
        throw ZelvakonError(QStringLiteral("Soubor %1 neobsahuje žádnou sekci, není to projekt").arg(path));
    const QString& main = sections.first();
    Project p;
    auto text = [&](const char* key) { return profile.Read(main, QLatin1String(key)); };
    auto flag = [&](const char* key) { return ReadProfileInt(text(key)) != 0; };
    p.Nazev = text("Nazev");
    p.ArchAdr = text("ArchAdr");
    p.DiskMisto = text("DiskMisto");
    p.CilAdr = text("CilAdr");
    p.WinRARExe = text("WinRARExe");
    p.Hudba = text("Hudba");
    p.Obrazek = text("Obrazek");
    p.SpustitPrg = flag("SpustitPrg");
    p.NazevProg = text("NazevProg");
    p.PrikRadka = text("PrikRadka");
    p.Zeptat = flag("Zeptat");
    p.Vystup = text("Vystup");
    p.JmenoInst = text("JmenoInst");
    p.JmenoDat = text("JmenoDat");
    ClickArea* areas[] = {&p.Rozbal, &p.Readme, &p.Konec};
    for (int i = 0; i < 3; ++i) {
        areas[i]->Levy = ReadProfileInt(profile.Read(AreaSections[i], QStringLiteral("Levy")));
        areas[i]->Pravy = ReadProfileInt(profile.Read(AreaSections[i], QStringLiteral("Pravy")));
        areas[i]->Horni = ReadProfileInt(profile.Read(AreaSections[i], QStringLiteral("Horni")));
        areas[i]->Dolni = ReadProfileInt(profile.Read(AreaSections[i], QStringLiteral("Dolni")));
    }
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
    return NormalizeLineBreaks(Codec::FromWin1250(bytes));
}

QString NormalizeLineBreaks(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            out += QLatin1String("\r\n");
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1String("\r\n");
        } else {
            out += c;
        }
    }
    return out;
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
