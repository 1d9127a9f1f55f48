#include "RegIni.h"
#include "Codec.h"
#include "Error.h"
#include "ProfileFile.h"
#include <QHash>
#include <QSet>
#include <algorithm>
#include <functional>
#include <unordered_map>
#include <vector>

namespace {

const QString Placeholder = QStringLiteral("Nic");

const QStringList& Markers()
{
    static const QStringList markers = [] {
        QStringList list;
        for (int code = 2; code <= 9; ++code)
            list << QLatin1Char('(') + TypeNameOf(code) + QLatin1Char(')');
        return list;
    }();
    return markers;
}

bool HasControl(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; });
}

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// The walk shared by both writers: every line in the order the writers set them. A line's value is
// marker + text: the type marker "(Type)" (empty for the placeholder) and the entry's value. The
// views stay valid as long as the tree is not changed.
using RegIniLine = std::function<void(const QString& section, QStringView name, QStringView marker, QStringView text)>;
void WalkRegIni(const RegistryTree& tree, const RegIniLine& setLine)
{
    const QStringList& markers = Markers();
    const QString unknown = QStringLiteral("()");  // for a type code that the model should never hold
    // Depth-first, parent before children. The path grows and shrinks with the walk, so that the
    // walk holds one path however deep or wide the tree is.
    struct Step {
        const RegKey* Key;
        size_t Next;           // the child to visit next
        qsizetype PathLength;  // of the key's own path
    };
    for (const auto& root : tree.Roots()) {
        QString path = root->Name;
        std::vector<Step> stack{{root.get(), 0, path.size()}};
        while (!stack.empty()) {
            Step& step = stack.back();
            if (step.Next == step.Key->Children.size()) {
                stack.pop_back();
                continue;
            }
            const RegKey* key = step.Key->Children[step.Next++].get();
            path.truncate(step.PathLength);
            path += QLatin1Char('\\');
            path += key->Name;
            stack.push_back({key, 0, path.size()});
            // The editor refuses line breaks; one that came in another way must not make new lines or sections.
            auto refuseBreaks = [&path](QStringView text) {
                if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
                    throw ZelvakonError(
                        QStringLiteral("Klíč registru %1 obsahuje konec řádku a nelze ho uložit").arg(path));
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
}

// Sibling keys whose names differ only in letter case share one section, so their lines merge:
// only then must the whole file be gathered before it is written.
bool HasCaseTwins(const RegistryTree& tree)
{
    bool twins = false;
    tree.Walk([&twins](RegKey* key) {
        if (twins || key->Children.size() < 2)
            return;
        QSet<QString> names;
        names.reserve(qsizetype(key->Children.size()));
        for (const auto& child : key->Children)
            names.insert(ProfileFile::Lower(child->Name));
        twins = names.size() < qsizetype(key->Children.size());
    });
    return twins;
}

void StreamRegIni(const RegistryTree& tree, ProfileFile::SectionStream& stream)
{
    WalkRegIni(tree, [&stream](const QString& section, QStringView name, QStringView marker, QStringView text) {
        stream.Write(section, name, marker, text);
    });
}

// The lines of a section as the profile reader gives them, each key once with its first value: each
// type whose marker "(Type)" occurs in a line adds one entry, in code order, from the line with that
// marker's first occurrence removed.
void AddEntriesFromLines(RegistryTree& tree, RegKey* key, const QList<std::pair<QString, QString>>& entries)
{
    const QStringList& markers = Markers();
    for (const auto& [name, value] : entries) {
        const QString line = name + QLatin1Char('=') + value;
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

// Children by name, exactly or without regard to letter case. A short list of children is scanned,
// a long one gets a hash when the load first looks into it: a scan per section of a long list would
// make many siblings quadratic.
class ChildIndex {
public:
    RegKey* Find(RegKey* parent, const QString& name, bool anyCase)
    {
        const QString key = KeyOf(name, anyCase);
        auto& maps = Maps[anyCase];
        auto it = maps.find(parent);
        if (it == maps.end()) {
            if (parent->Children.size() < 32) {
                for (const auto& child : parent->Children)
                    if (KeyOf(child->Name, anyCase) == key)
                        return child.get();
                return nullptr;
            }
            it = maps.emplace(parent, QHash<QString, RegKey*>()).first;
            it->second.reserve(qsizetype(parent->Children.size()));
            for (auto child = parent->Children.rbegin(); child != parent->Children.rend(); ++child)
                it->second.insert(KeyOf((*child)->Name, anyCase), child->get());  // backwards: the first of a name wins
        }
        return it->second.value(key, nullptr);
    }
    // After the key was added, or renamed from oldName.
    void Update(RegKey* key, const QString* oldName = nullptr)
    {
        for (const bool anyCase : {false, true}) {
            if (auto it = Maps[anyCase].find(key->Parent); it != Maps[anyCase].end()) {
                if (oldName)
                    it->second.remove(KeyOf(*oldName, anyCase));
                it->second.insert(KeyOf(key->Name, anyCase), key);
            }
        }
    }

private:
    static QString KeyOf(const QString& name, bool anyCase) { return anyCase ? ProfileFile::Lower(name) : name; }
    std::unordered_map<const RegKey*, QHash<QString, RegKey*>> Maps[2];
};

}  // namespace

QByteArray BuildRegIniStream(const RegistryTree& tree)
{
    if (HasCaseTwins(tree)) {
        ProfileFile merged;
        WriteRegIni(merged, tree);
        return merged.Render(true);
    }
    QByteArray bytes;
    const ByteSink sink = [&bytes](const QByteArray& piece) { bytes += piece; };
    ProfileFile::SectionStream stream(sink, true);
    StreamRegIni(tree, stream);
    stream.Finish();
    return bytes;
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
    if (HasCaseTwins(tree)) {
        ProfileFile profile = ProfileFile::Load(path);
        WriteRegIni(profile, tree);
        profile.Save(path);
        return;
    }
    // Every section is written anew: of the earlier file only the text before its first section stays.
    ProfileFile::LoadPreamble(path).Save(path, [&tree](ProfileFile::SectionStream& stream) { StreamRegIni(tree, stream); });
}

RegIniLoadReport LoadRegIni(const QByteArray& bytes, RegistryTree& tree)
{
    RegIniLoadReport report;
    ChildIndex children;
    const QStringList& rootNames = RegistryTree::RootNames();
    ProfileFile::SectionReader sections(bytes);
    while (sections.Next()) {
        const QString& section = sections.Name();
        const qsizetype depth = section.count(QLatin1Char('\\'));
        if (depth == 0)
            continue;
        if (depth > MaxRegIniDepth) {
            ++report.TooDeep;
            continue;
        }
        const QStringList parts = section.split(QLatin1Char('\\'));
        const qsizetype rootIndex = rootNames.indexOf(parts[0]);
        if (rootIndex < 0)
            continue;
        RegKey* current = tree.Root(int(rootIndex));
        report.Last = current;
        bool merged = false;   // some key of the path is named in another letter case
        bool respelt = false;  // the section's own key is
        for (qsizetype k = 1; k < parts.size(); ++k) {
            RegKey* child = children.Find(current, parts[k], false);
            // Windows holds one key for names that differ only in letter case: a section that spells an
            // existing key otherwise names that key, never a second one beside it.
            if (!child && (child = children.Find(current, parts[k], true))) {
                merged = true;
                respelt = k == parts.size() - 1;
            }
            if (child) {
                current = child;
                continue;
            }
            current = tree.AddKey(current, parts[k]);
            children.Update(current);
            report.Last = current;
            // Read only now: a section whose key exists already never needs its lines.
            if (k == parts.size() - 1)
                AddEntriesFromLines(tree, current, sections.Entries());
        }
        if (!merged)
            continue;
        ++report.CaseMerged;
        if (respelt) {
            // The key named again in another letter case: the section that comes last decides its
            // spelling and its entries, as a later line of a name does in a section. Only its own
            // name counts, so that loading the same file again changes nothing.
            const QString oldName = current->Name;
            tree.RenameKey(current, parts.last());
            children.Update(current, &oldName);
            for (int i = int(current->Values.Entries.size()) - 1; i >= 0; --i)
                tree.DeleteValue(current, i);
            AddEntriesFromLines(tree, current, sections.Entries());
            report.Last = current;
        }
    }
    return report;
}

RegIniLoadReport LoadRegIni(const QString& path, RegistryTree& tree) { return LoadRegIni(ProfileFile::ReadFile(path), tree); }

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
