// The profile-file engine: any bytes parse, list, read, write and render without a fault, an
// untouched file renders back byte for byte (less a byte-order mark), and read a section at a time
// it gives what it gives parsed.
#include "ProfileFile.h"
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    ProfileFile profile = ProfileFile::Parse(bytes);
    // A leading byte-order mark is skipped when read and never written.
    if (profile.Render() != (bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes))
        std::abort();
    const QStringList sections = profile.Sections();
    ProfileFile::SectionReader reader(bytes);
    for (int i = 0; i < sections.size(); ++i)
        if (!reader.Next() || reader.Name() != sections[i] || reader.Entries() != profile.EntriesAt(i))
            std::abort();
    if (reader.Next())
        std::abort();
    for (const QString& section : sections)
        for (const QString& key : profile.Keys(section))
            if (profile.Read(section, key).size() > ProfileFile::MaxValueLength)
                std::abort();
    if (!sections.isEmpty()) {
        profile.Write(sections.first(), QStringLiteral("Nazev"), QStringLiteral("x"));
        profile.RenameSection(0, QStringLiteral("Novy.zpf"));
        if (profile.Read(QStringLiteral("Novy.zpf"), QStringLiteral("Nazev")) != QStringLiteral("x"))
            std::abort();
        profile.EraseSection(sections.last());
    }
    profile.Write(QStringLiteral("Konec"), QStringLiteral("Levy"), QStringLiteral("1"));
    const ProfileFile again = ProfileFile::Parse(profile.Render());
    if (again.Read(QStringLiteral("Konec"), QStringLiteral("Levy")) != QStringLiteral("1"))
        std::abort();
    profile.EraseAllSections();
    (void)profile.Render();
    return 0;
}
