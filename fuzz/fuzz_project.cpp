// The project file reader: any bytes give a project or the error for a file without sections, and a
// project that was read saves and reads back the same.
#include "Error.h"
#include "ProfileFile.h"
#include "Project.h"
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    ProfileFile profile = ProfileFile::Parse(bytes);
    Project project;
    try {
        project = ReadProjectKeys(profile, QStringLiteral("Fuzz.zpf"));
    } catch (const ZelvakonError&) {
        if (!profile.Sections().isEmpty())
            std::abort();  // only a file without sections is refused
        return 0;
    }
    try {
        WriteProjectKeys(profile, QStringLiteral("Fuzz.zpf"), project);
    } catch (const ZelvakonError&) {
        return 0;  // values with line breaks cannot come from a parsed file, but the writer may refuse
    }
    const Project back = ReadProjectKeys(ProfileFile::Parse(profile.Render()), QStringLiteral("Fuzz.zpf"));
    // Numbers and flags come back exactly; texts do unless the reader's trimming or unquoting applies.
    if (!(back.Rozbal == project.Rozbal && back.Readme == project.Readme && back.Konec == project.Konec
          && back.SpustitPrg == project.SpustitPrg && back.Zeptat == project.Zeptat))
        std::abort();
    auto stable = [](const QString& s) {
        const bool quoted = s.size() >= 2 && (s.front() == QLatin1Char('"') || s.front() == QLatin1Char('\''))
                            && s.back() == s.front();
        return !quoted && s == s.trimmed();
    };
    const std::pair<const QString*, const QString*> texts[] = {
        {&project.Nazev, &back.Nazev},         {&project.DiskMisto, &back.DiskMisto}, {&project.ArchAdr, &back.ArchAdr},
        {&project.CilAdr, &back.CilAdr},       {&project.WinRARExe, &back.WinRARExe}, {&project.Hudba, &back.Hudba},
        {&project.Obrazek, &back.Obrazek},     {&project.NazevProg, &back.NazevProg}, {&project.PrikRadka, &back.PrikRadka},
        {&project.Vystup, &back.Vystup},       {&project.JmenoInst, &back.JmenoInst}, {&project.JmenoDat, &back.JmenoDat}};
    for (const auto& [before, after] : texts)
        if (stable(*before) && *before != *after)
            std::abort();
    return 0;
}
