#include "RegIni.h"
#include "Codec.h"
#include "Error.h"
#include "ProfileFile.h"
#include <QHash>
#include <unordered_map>
#include <vector>

namespace {

const QString Placeholder = QStringLiteral("Nic");

QString Marker(int code) { return QLatin1Char('(') + TypeNameOf(code) + QLatin1Char(')'); }

const QStringList& Markers()
{
    static const QStringList markers = [] {
        QStringList list;
        for (int code = 2; code <= 9; ++code)
            list << Marker(code);
        return list;
    }();
    return markers;
}

// The in-memory ini of the build copy: sections and their lines in order, found by lower-case name.
// A line is kept as views into the tree's own texts, which stay put while the copy is made.
class MemoryIni {
public:
    explicit MemoryIni(int sections)
    {
        Sections.reserve(size_t(sections));
        SectionIndex.reserve(sections);
    }

    void Set(const QString& section, QStringView name, QStringView marker, QStringView text)
    {
        // The walk sets the lines of one key in a row: look the section up once for all of them.
        if (Last < 0 || section != Sections[size_t(Last)].Name) {
            const QString lower = ProfileFile::Lower(section);
            auto found = SectionIndex.constFind(lower);
            if (found == SectionIndex.constEnd()) {
                found = SectionIndex.insert(lower, int(Sections.size()));
                Sections.push_back(Section{section, {}, {}, {}});
            }
            Last = *found;
        }
        Section& s = Sections[size_t(Last)];
        const Line line{name, marker, text};
        QString lowerName = ProfileFile::Lower(name);
        const int at = s.Find(lowerName);
        if (at >= 0) {
            s.Lines[size_t(at)] = line;
            return;
        }
        s.Lines.push_back(line);
        s.Add(std::move(lowerName));
    }

    // Rendered and encoded a piece at a time, so that the whole text never exists twice.
    QByteArray Render() const
    {
        static const QString crLf = QStringLiteral("\r\n");
        qsizetype size = 0;
        for (const Section& s : Sections) {
            size += s.Name.size() + 6;
            for (const Line& line : s.Lines)
                size += line.Name.size() + 1 + line.Marker.size() + line.Text.size() + 2;
        }
        QByteArray bytes;
        bytes.reserve(size);
        QString piece;
        piece.reserve(PieceSize + 1024);
        auto flush = [&bytes, &piece] {
            bytes += Codec::ToWin1250(piece);
            piece.truncate(0);
        };
        for (const Section& s : Sections) {
            piece += QLatin1Char('[');
            piece += s.Name;
            piece += QLatin1Char(']');
            piece += crLf;
            for (const Line& line : s.Lines) {
                piece += line.Name;
                piece += QLatin1Char('=');
                piece += line.Marker;
                piece += line.Text;
                piece += crLf;
            }
            piece += crLf;
            if (piece.size() >= PieceSize)
                flush();
        }
        flush();
        return bytes;
    }

private:
    static constexpr qsizetype PieceSize = 32768;
    struct Line {
        QStringView Name;
        QStringView Marker;
        QStringView Text;
    };
    // Most keys have a handful of entries: a short list is scanned, a long one gets a hash.
    struct Section {
        QString Name;
        std::vector<Line> Lines;
        QStringList LowerNames;
        QHash<QString, int> NameIndex;

        int Find(const QString& lowerName) const
        {
            if (!NameIndex.isEmpty())
                return NameIndex.value(lowerName, -1);
            return int(LowerNames.indexOf(lowerName));
        }
        void Add(QString lowerName)
        {
            if (!NameIndex.isEmpty()) {
                NameIndex.insert(lowerName, int(LowerNames.size()));
            } else if (LowerNames.size() >= 16) {
                for (int i = 0; i < LowerNames.size(); ++i)
                    NameIndex.insert(LowerNames[i], i);
                NameIndex.insert(lowerName, int(LowerNames.size()));
            }
            LowerNames.append(std::move(lowerName));
        }
    };
    std::vector<Section> Sections;
    QHash<QString, int> SectionIndex;
    int Last = -1;
};

bool HasControl(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20)
            return true;
    return false;
}

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// The lines of a section as the profile reader gives them: each key once, with its first value.
QStringList SectionLines(const ProfileFile& profile, const QString& section)
{
    QStringList lines;
    for (const auto& [key, value] : profile.Entries(section))
        lines << key + QLatin1Char('=') + value;
    return lines;
}

}  // namespace

void WalkRegIni(const RegistryTree& tree, const RegIniLine& setLine)
{
    const QStringList& markers = Markers();
    const QString unknown = QStringLiteral("()");  // for a type code that the model should never hold
    // Depth-first, parent before children; each path is its parent's path and one more name.
    std::vector<std::pair<const RegKey*, QString>> stack;
    for (auto it = tree.Roots().rbegin(); it != tree.Roots().rend(); ++it)
        stack.emplace_back(it->get(), (*it)->Name);
    while (!stack.empty()) {
        const RegKey* key = stack.back().first;
        const QString path = std::move(stack.back().second);
        stack.pop_back();
        for (auto it = key->Children.rbegin(); it != key->Children.rend(); ++it)
            stack.emplace_back(it->get(), path + QLatin1Char('\\') + (*it)->Name);
        if (key->IsRoot())
            continue;
        // The editor refuses line breaks; one that came in another way must not make new lines or sections.
        auto refuseBreaks = [&path](QStringView text) {
            if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
                throw ZelvakonError(QStringLiteral("Klíč registru %1 obsahuje konec řádku a nelze ho uložit").arg(path));
        };
        refuseBreaks(key->Name);
        const KeyValues& values = key->Values;
        const qsizetype count = std::min(values.Entries.size(), values.TypeCodes.size());
        if (count == 0) {
            setLine(path, Placeholder, QStringView(), Placeholder);
            continue;
        }
        for (qsizetype i = 0; i < count; ++i) {
            // Split as EntryName and EntryValue do, without copies.
            const QStringView entry = values.Entries[i];
            refuseBreaks(entry);
            const qsizetype eq = entry.indexOf(QLatin1Char('='));
            const int code = values.TypeCodes[i].toInt();
            setLine(path, eq < 0 ? entry : entry.left(eq), code >= 2 && code <= 9 ? markers[code - 2] : unknown,
                    eq < 0 ? QStringView() : entry.mid(eq + 1));
        }
    }
}

QByteArray BuildRegIniStream(const RegistryTree& tree)
{
    MemoryIni ini(tree.NodeCount());
    WalkRegIni(tree, [&ini](const QString& section, QStringView name, QStringView marker, QStringView text) {
        ini.Set(section, name, marker, text);
    });
    return ini.Render();
}

void WriteRegIni(ProfileFile& profile, const RegistryTree& tree)
{
    profile.EraseAllSections();
    WalkRegIni(tree, [&profile](const QString& section, QStringView name, QStringView marker, QStringView text) {
        profile.Write(section, name.toString(), marker.toString().append(text));
    });
}

void SaveRegIni(const QString& path, const RegistryTree& tree)
{
    ProfileFile profile = ProfileFile::Load(path);
    WriteRegIni(profile, tree);
    profile.Save(path);
}

void AddEntriesFromLines(RegistryTree& tree, RegKey* key, const QStringList& lines)
{
    const QStringList& markers = Markers();
    for (const QString& line : lines) {
        // Every type is looked for in the line as read, not in what another type left of it.
        for (int i = 0; i < markers.size(); ++i) {
            const qsizetype at = line.indexOf(markers[i]);
            if (at < 0)
                continue;
            QString rest = line;
            rest.remove(at, markers[i].size());
            tree.AddValue(key, EntryName(rest), TypeNameOf(i + 2), EntryValue(rest));
        }
    }
}

void LoadRegIni(const ProfileFile& profile, RegistryTree& tree, const RegIniSelect& select)
{
    // Exact-name child lookup: a short list of children is scanned, a long one gets a hash when the
    // load first looks into it; a scan per section of a long list would make many siblings quadratic.
    constexpr size_t scanLimit = 32;
    std::unordered_map<const RegKey*, QHash<QString, RegKey*>> childIndex;
    auto findChild = [&childIndex](RegKey* parent, const QString& name) -> RegKey* {
        auto it = childIndex.find(parent);
        if (it == childIndex.end()) {
            if (parent->Children.size() < scanLimit) {
                for (const auto& child : parent->Children)
                    if (child->Name == name)
                        return child.get();
                return nullptr;
            }
            QHash<QString, RegKey*> index;
            index.reserve(qsizetype(parent->Children.size()));
            for (const auto& child : parent->Children)
                if (!index.contains(child->Name))
                    index.insert(child->Name, child.get());
            it = childIndex.emplace(parent, std::move(index)).first;
        }
        return it->second.value(name, nullptr);
    };
    auto addChild = [&childIndex, &tree](RegKey* parent, const QString& name) {
        RegKey* key = tree.AddKey(parent, name);
        auto it = childIndex.find(parent);
        if (it != childIndex.end())
            it->second.insert(name, key);
        return key;
    };

    const QStringList& rootNames = RegistryTree::RootNames();
    for (const QString& section : profile.Sections()) {
        const qsizetype depth = section.count(QLatin1Char('\\'));
        if (depth == 0 || depth > MaxRegIniDepth)
            continue;
        const QStringList parts = section.split(QLatin1Char('\\'));
        const qsizetype rootIndex = rootNames.indexOf(parts[0]);
        if (rootIndex < 0)
            continue;
        RegKey* current = tree.Root(int(rootIndex));
        if (select)
            select(current);
        for (qsizetype k = 1; k < parts.size(); ++k) {
            if (RegKey* child = findChild(current, parts[k])) {
                current = child;
                continue;
            }
            current = addChild(current, parts[k]);
            if (select)
                select(current);
            // Read only now: a section whose key exists already never needs its lines.
            if (k == parts.size() - 1)
                AddEntriesFromLines(tree, current, SectionLines(profile, section));
        }
    }
}

void LoadRegIni(const QString& path, RegistryTree& tree, const RegIniSelect& select)
{
    LoadRegIni(ProfileFile::Load(path), tree, select);
}

bool RegIniKeepsKeyName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('\\')) && !name.contains(QLatin1Char(']'))
        && !HasControl(name) && !IsBlank(name.back()) && Codec::IsEncodable(name);
}

bool RegIniKeepsEntry(const QString& name, const QString& typeName, const QString& value)
{
    const int code = TypeCodeOf(typeName);
    if (code < 0 || name.isEmpty() || value.isEmpty())
        return false;
    if (name.contains(QLatin1Char('=')) || value.contains(QLatin1Char('=')) || HasControl(name) || HasControl(value))
        return false;
    if (IsBlank(name.front()) || IsBlank(name.back()) || name.front() == QLatin1Char('[') || IsBlank(value.back()))
        return false;
    const QStringList& markers = Markers();
    for (int i = 0; i < markers.size(); ++i) {
        // Its own marker in the value is harmless: the loader removes the first one, at the head.
        if (name.contains(markers[i]) || (i + 2 != code && value.contains(markers[i])))
            return false;
    }
    if (markers[code - 2].size() + value.size() > ProfileFile::MaxValueLength)
        return false;
    return Codec::IsEncodable(name) && Codec::IsEncodable(value);
}
