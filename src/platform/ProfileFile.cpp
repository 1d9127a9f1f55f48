#include "ProfileFile.h"
#include "AtomicFile.h"
#include "Codec.h"
#include "Error.h"
#include "RegularFile.h"
#include <QFile>
#include <QSet>
#include <algorithm>
#include <memory>

namespace {

const QLatin1String EolText[] = {QLatin1String(""), QLatin1String("\r\n"), QLatin1String("\n"), QLatin1String("\r")};
constexpr quint8 CrLf = 1;

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

QStringView TrimBlanks(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// A header line: first non-blank character "[", the name up to "]" (or the line end), trimmed.
// The end of the line that starts at pos, and where the next one starts: a line ends at CR LF, LF or CR.
template <typename Char>
std::pair<qsizetype, qsizetype> LineAt(const Char* data, qsizetype n, qsizetype pos)
{
    qsizetype end = pos;
    while (end < n && data[end] != Char('\r') && data[end] != Char('\n'))
        ++end;
    qsizetype next = end;
    if (end < n)
        next += data[end] == Char('\r') && end + 1 < n && data[end + 1] == Char('\n') ? 2 : 1;
    return {end, next};
}

bool HeaderName(QStringView text, QString* name)
{
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i >= text.size() || text[i] != QLatin1Char('['))
        return false;
    const qsizetype close = text.indexOf(QLatin1Char(']'), i + 1);
    const qsizetype end = close < 0 ? text.size() : close;
    *name = TrimBlanks(text.sliced(i + 1, end - i - 1)).toString();
    return true;
}

// The lower-case form of a name for a look-up in the indexes, which hold lower-case names. Short
// ASCII names, nearly every name the program asks for, are lowered on the stack: a look-up then
// costs no allocation. Anything else takes ProfileFile::Lower, as the indexes were built with.
class LookupKey {
public:
    explicit LookupKey(QStringView name)
    {
        const char16_t* in = name.utf16();
        bool ascii = name.size() <= Capacity;
        for (qsizetype i = 0; ascii && i < name.size(); ++i)
            ascii = in[i] < 0x80;
        if (!ascii) {
            Key = ProfileFile::Lower(name);
            return;
        }
        for (qsizetype i = 0; i < name.size(); ++i) {
            const char16_t c = in[i];
            Buffer[i] = c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
        }
        Key = QString::fromRawData(reinterpret_cast<const QChar*>(Buffer), name.size());
    }
    LookupKey(const LookupKey&) = delete;
    LookupKey& operator=(const LookupKey&) = delete;
    const QString& Get() const { return Key; }  // valid while this object lives

private:
    static constexpr qsizetype Capacity = 64;
    char16_t Buffer[Capacity];
    QString Key;
};

QStringView KeyTextOf(QStringView line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QStringView() : TrimBlanks(line.left(eq));
}

}  // namespace

QString ProfileFile::KeyOf(QStringView text)
{
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq < 0)
        return QString();
    return Lower(TrimBlanks(text.left(eq)));
}

namespace {

// Lower-case forms of the characters below U+3000, which hold every Windows-1250 character: Qt lowers
// each character on its own, so looking one up gives what QString::toLower gives. 0 marks a character
// whose lower-case form is longer than one character (or that has none below the bound).
constexpr char16_t LowerTableSize = 0x3000;

const char16_t* LowerTable()
{
    static const std::unique_ptr<char16_t[]> table = [] {
        auto t = std::make_unique<char16_t[]>(LowerTableSize);
        for (char16_t c = 0; c < LowerTableSize; ++c) {
            const QString lower = QString(QChar(c)).toLower();
            t[c] = lower.size() == 1 ? lower[0].unicode() : char16_t(0);
        }
        return t;
    }();
    return table.get();
}

}  // namespace

QString ProfileFile::Lower(QStringView name)
{
    QString lower(name.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(lower.data());
    const char16_t* in = name.utf16();  // not operator[]: its range checks cost more than the look-up
    const char16_t* table = nullptr;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            out[i] = c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
            continue;
        }
        if (!table)
            table = LowerTable();
        if (c >= LowerTableSize || table[c] == 0)
            return name.toString().toLower();
        out[i] = table[c];
    }
    return lower;
}

ProfileFile ProfileFile::Load(const QString& path) { return Parse(ReadFile(path)); }

QByteArray ProfileFile::ReadFile(const QString& path)
{
    QByteArray bytes;
    if (!QFile::exists(path))
        return bytes;
    if (const QString reason = ReadRegularFile(path, MaxFileSize, bytes); !reason.isEmpty())
        throw ZelvakonError(QStringLiteral("Soubor %1 nelze otevřít: %2").arg(path, reason));
    return bytes;
}

ProfileFile ProfileFile::Parse(const QByteArray& bytes)
{
    ProfileFile profile;
    // Files saved by Notepad and other editors start with a UTF-8 byte order mark: read as
    // Windows-1250 it would become part of the first section's header, which then names nothing.
    static const QByteArray bom("\xEF\xBB\xBF");
    profile.Source = Codec::FromWin1250(bytes.startsWith(bom) ? bytes.sliced(bom.size()) : bytes);
    const ushort* data = profile.Source.utf16();
    const qsizetype n = profile.Source.size();
    qsizetype pos = 0;
    Section* current = nullptr;
    QString name;
    while (pos < n) {
        const auto [end, next] = LineAt(data, n, pos);
        Line line;
        line.Offset = qint32(pos);
        line.Length = qint32(end - pos);
        line.Eol = next - end == 2 ? CrLf : next == end ? 0 : data[end] == u'\n' ? 2 : 3;
        pos = next;
        if (HeaderName(QStringView(data + line.Offset, line.Length), &name)) {
            profile.SectionList.push_back(Section{std::move(name), line, {}, {}, false});
            current = &profile.SectionList.back();
        } else if (current) {
            current->Lines.push_back(line);
        } else {
            profile.Preamble.push_back(line);
        }
    }
    profile.Reindex();
    return profile;
}

QStringView ProfileFile::TextOf(const Line& line) const
{
    if (line.Own)
        return OwnTexts[size_t(line.Offset)];
    return QStringView(Source).sliced(line.Offset, line.Length);
}

ProfileFile::Line ProfileFile::OwnLine(QString text)
{
    Line line;
    line.Own = true;
    line.Offset = qint32(OwnTexts.size());
    line.Eol = CrLf;
    OwnTexts.push_back(std::move(text));
    return line;
}

const QHash<QString, int>& ProfileFile::Index(const Section& section) const
{
    if (!section.Indexed) {
        section.KeyIndex.clear();
        for (int i = int(section.Lines.size()) - 1; i >= 0; --i) {
            const QString key = KeyOf(TextOf(section.Lines[size_t(i)]));
            if (!key.isEmpty())
                section.KeyIndex.insert(key, i);  // walking backwards: the first line of a key wins
        }
        section.Indexed = true;
    }
    return section.KeyIndex;
}

void ProfileFile::Reindex()
{
    SectionIndex.clear();
    // QHash::insert replaces: walk backwards so that the first section of a name wins.
    for (int s = int(SectionList.size()) - 1; s >= 0; --s)
        SectionIndex.insert(Lower(SectionList[size_t(s)].Name), s);
}

ProfileFile::Section* ProfileFile::Find(const QString& section)
{
    const LookupKey name(section);
    auto it = SectionIndex.constFind(name.Get());
    return it == SectionIndex.constEnd() ? nullptr : &SectionList[size_t(*it)];
}

const ProfileFile::Section* ProfileFile::Find(const QString& section) const
{
    const LookupKey name(section);
    auto it = SectionIndex.constFind(name.Get());
    return it == SectionIndex.constEnd() ? nullptr : &SectionList[size_t(*it)];
}

QStringList ProfileFile::Sections() const
{
    QStringList names;
    names.reserve(qsizetype(SectionList.size()));
    for (const Section& section : SectionList)
        names.append(section.Name);
    return names;
}

bool ProfileFile::HasSection(const QString& section) const { return Find(section) != nullptr; }

QStringList ProfileFile::Keys(const QString& section) const
{
    QStringList keys;
    const Section* s = Find(section);
    if (!s)
        return keys;
    const QHash<QString, int>& index = Index(*s);
    for (int i = 0; i < int(s->Lines.size()); ++i) {
        const QStringView keyText = KeyTextOf(TextOf(s->Lines[size_t(i)]));
        if (keyText.isEmpty())
            continue;
        const LookupKey name(keyText);
        if (index.value(name.Get(), -1) == i)
            keys.append(keyText.toString());
    }
    return keys;
}

std::optional<QString> ProfileFile::Value(const QString& section, const QString& key) const
{
    const Section* s = Find(section);
    if (!s)
        return std::nullopt;
    const QHash<QString, int>& index = Index(*s);
    const LookupKey name(key);
    auto it = index.constFind(name.Get());
    if (it == index.constEnd())
        return std::nullopt;
    return ValueOf(TextOf(s->Lines[size_t(*it)]));
}

QString ProfileFile::ValueOf(QStringView text)
{
    QStringView value = TrimBlanks(text.sliced(text.indexOf(QLatin1Char('=')) + 1));
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
        && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    if (value.size() > MaxValueLength)
        value = value.left(MaxValueLength);
    return value.toString();
}

QList<std::pair<QString, QString>> ProfileFile::Entries(const QString& section) const
{
    const Section* s = Find(section);
    return s ? EntriesOf(s) : QList<std::pair<QString, QString>>();
}

QList<std::pair<QString, QString>> ProfileFile::EntriesAt(int sectionIndex) const
{
    return EntriesOf(&SectionList[size_t(sectionIndex)]);
}

QList<std::pair<QString, QString>> ProfileFile::EntriesOf(const Section* s) const
{
    std::vector<QStringView> lines;
    lines.reserve(s->Lines.size());
    for (const Line& line : s->Lines)
        lines.push_back(TextOf(line));
    return FirstEntries(lines);
}

QList<std::pair<QString, QString>> ProfileFile::FirstEntries(const std::vector<QStringView>& lines)
{
    QList<std::pair<QString, QString>> entries;
    // The first line of each key, found without the section's cached index: a section read once,
    // as the Reg.ini loader reads each, would build and keep an index for nothing.
    QSet<QString> seen;
    for (const QStringView text : lines) {
        const QStringView keyText = KeyTextOf(text);
        if (keyText.isEmpty())
            continue;
        QString lower = Lower(keyText);
        if (seen.contains(lower))
            continue;
        seen.insert(std::move(lower));
        entries.append({keyText.toString(), ValueOf(text)});
    }
    return entries;
}

ProfileFile::SectionReader::SectionReader(const QByteArray& bytes) : Bytes(bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    if (Bytes.startsWith(bom))
        Pos = bom.size();  // as Parse skips it
}

// Windows-1250 keeps ASCII as it is, one byte per character: lines and the opening bracket of a
// header are found in the bytes, and only a header line is decoded.
bool ProfileFile::SectionReader::IsHeader(qsizetype begin, qsizetype end, QString* name) const
{
    const char* data = Bytes.constData();
    qsizetype i = begin;
    while (i < end && (data[i] == ' ' || data[i] == '\t'))
        ++i;
    if (i >= end || data[i] != '[')
        return false;
    if (name)
        HeaderName(Codec::FromWin1250(Bytes.sliced(begin, end - begin)), name);
    return true;
}

bool ProfileFile::SectionReader::Next()
{
    const char* data = Bytes.constData();
    const qsizetype n = Bytes.size();
    bool found = false;
    while (Pos < n) {
        const auto [end, next] = LineAt(data, n, Pos);
        if (found && IsHeader(Pos, end, nullptr)) {
            LinesEnd = Pos;
            return true;
        }
        if (!found && IsHeader(Pos, end, &SectionName)) {
            found = true;
            LinesBegin = next;
        }
        Pos = next;
    }
    LinesEnd = n;
    return found;
}

QList<std::pair<QString, QString>> ProfileFile::SectionReader::Entries() const
{
    const QString text = Codec::FromWin1250(Bytes.sliced(LinesBegin, LinesEnd - LinesBegin));
    std::vector<QStringView> lines;
    for (qsizetype pos = 0; pos < text.size();) {
        const auto [end, next] = LineAt(text.utf16(), text.size(), pos);
        lines.push_back(QStringView(text).sliced(pos, end - pos));
        pos = next;
    }
    return FirstEntries(lines);
}

QString ProfileFile::Read(const QString& section, const QString& key, const QString& defaultValue) const
{
    return Value(section, key).value_or(defaultValue);
}

void ProfileFile::EnsureLastLineEnds()
{
    Line* last = nullptr;
    for (auto it = SectionList.rbegin(); it != SectionList.rend() && !last; ++it)
        last = it->Lines.empty() ? &it->Header : &it->Lines.back();
    if (!last && !Preamble.empty())
        last = &Preamble.back();
    if (last && last->Eol == 0)
        last->Eol = CrLf;
}

void ProfileFile::Write(const QString& section, const QString& key, const QString& value)
{
    const LookupKey lookup(key);
    QString text;
    text.reserve(key.size() + 1 + value.size());
    text += key;
    text += QLatin1Char('=');
    text += value;
    Line line = OwnLine(std::move(text));
    Changed = true;
    Section* s = Find(section);
    if (!s) {
        EnsureLastLineEnds();
        SectionList.push_back(Section{section, OwnLine(QLatin1Char('[') + section + QLatin1Char(']')), {}, {}, true});
        SectionIndex.insert(Lower(section), int(SectionList.size()) - 1);
        s = &SectionList.back();
    }
    const QHash<QString, int>& index = Index(*s);
    auto it = index.constFind(lookup.Get());
    if (it != index.constEnd()) {
        Line& old = s->Lines[size_t(*it)];
        line.Eol = old.Eol;
        old = line;
        return;
    }
    // Appended after the section's last non-blank line, so blank lines between sections stay there.
    qsizetype at = qsizetype(s->Lines.size());
    while (at > 0 && TrimBlanks(TextOf(s->Lines[size_t(at - 1)])).isEmpty())
        --at;
    if (at == qsizetype(s->Lines.size())) {
        EnsureLastLineEnds();
        s->Lines.push_back(line);
        s->KeyIndex.insert(Lower(key), int(s->Lines.size()) - 1);
    } else {
        s->Lines.insert(s->Lines.begin() + at, line);
        s->Indexed = false;
    }
}

void ProfileFile::EraseSection(const QString& section)
{
    const QString lower = Lower(section);
    std::erase_if(SectionList, [&lower](const Section& s) { return Lower(s.Name) == lower; });
    Changed = true;
    Reindex();
}

void ProfileFile::EraseAllSections()
{
    SectionList.clear();
    SectionIndex.clear();
    Changed = true;
}

void ProfileFile::RenameSection(int index, const QString& name)
{
    Section& s = SectionList[size_t(index)];
    s.Name = name;
    const quint8 eol = s.Header.Eol;
    s.Header = OwnLine(QLatin1Char('[') + name + QLatin1Char(']'));
    s.Header.Eol = eol;
    Changed = true;
    Reindex();
}

void ProfileFile::MoveSectionToFront(const QString& section)
{
    Section* s = Find(section);
    if (!s) {
        EnsureLastLineEnds();
        SectionList.push_back(Section{section, OwnLine(QLatin1Char('[') + section + QLatin1Char(']')), {}, {}, true});
        s = &SectionList.back();
    }
    const auto at = SectionList.begin() + (s - SectionList.data());
    std::rotate(SectionList.begin(), at, at + 1);
    Changed = true;
    Reindex();
}

bool ProfileFile::RenderTo(const ByteSink& sink, bool blankLineAfterSection, bool allCrLf) const
{
    // Encoded a piece at a time, so that the whole text never exists twice.
    constexpr qsizetype pieceSize = 32768;
    QString piece;
    const Line* last = nullptr;
    // A changed file is written the Windows way throughout: lines appended with CR LF among the LF
    // lines of a file from elsewhere would leave it with two kinds of line end.
    auto add = [&](const Line& line) {
        piece += TextOf(line);
        piece += EolText[allCrLf ? CrLf : line.Eol];
        last = &line;
        if (piece.size() >= pieceSize) {
            sink(Codec::ToWin1250(piece));
            piece.truncate(0);
        }
    };
    for (const Line& line : Preamble)
        add(line);
    for (const Section& section : SectionList) {
        add(section.Header);
        for (const Line& line : section.Lines)
            add(line);
        if (blankLineAfterSection)
            piece += QLatin1String("\r\n");
    }
    if (!piece.isEmpty())
        sink(Codec::ToWin1250(piece));
    return !allCrLf && last && last->Eol == 0 && !(blankLineAfterSection && !SectionList.empty());
}

QByteArray ProfileFile::Render(bool blankLineAfterSection) const
{
    QByteArray bytes;
    RenderTo([&bytes](const QByteArray& piece) { bytes += piece; }, blankLineAfterSection, Changed);
    return bytes;
}

void ProfileFile::Save(const QString& path, const std::function<void(SectionStream&)>& more) const
{
    WriteFileAtomically(path, [this, &more](const ByteSink& sink) {
        // Sections that follow are new lines: the whole file is then written with CR LF.
        const bool lineOpen = RenderTo(sink, false, Changed || more);
        if (!more)
            return;
        SectionStream stream(sink, false, lineOpen);
        more(stream);
        stream.Finish();
    });
}

ProfileFile ProfileFile::LoadPreamble(const QString& path)
{
    if (!QFile::exists(path))
        return ProfileFile();
    QFile file;
    if (const QString reason = OpenRegularFile(file, path); !reason.isEmpty())
        throw ZelvakonError(QStringLiteral("Soubor %1 nelze otevřít: %2").arg(path, reason));
    // Read until the first header line: a line whose first non-blank character is "[" (the same
    // bytes in Windows-1250 as in the text Parse looks at).
    QByteArray head;
    qsizetype lineStart = 0;
    bool leading = true;  // still among the blanks at the start of a line
    for (;;) {
        const QByteArray chunk = file.read(65536);
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                throw ZelvakonError(QStringLiteral("Soubor %1 nelze přečíst: %2").arg(path, SystemErrorText(file.errorString())));
            return Parse(head);
        }
        if (head.size() + chunk.size() > MaxFileSize)
            throw ZelvakonError(QStringLiteral("Soubor %1 nelze otevřít: soubor je větší než %2 bajtů").arg(path).arg(MaxFileSize));
        const qsizetype from = head.size();
        head += chunk;
        for (qsizetype i = from; i < head.size(); ++i) {
            const char c = head[i];
            if (i < 3 && head.startsWith("\xEF\xBB\xBF"))
                continue;  // a byte order mark before the first header, which Parse skips
            if (c == '\r' || c == '\n') {
                lineStart = i + 1;
                leading = true;
            } else if (leading && c == '[') {
                head.truncate(lineStart);
                return Parse(head);
            } else if (c != ' ' && c != '\t') {
                leading = false;
            }
        }
    }
}

void ProfileFile::Save(const QString& path) const { Save(path, {}); }

ProfileFile::SectionStream::SectionStream(const ByteSink& sink, bool blankLineAfterSection, bool lineOpen)
    : Sink(sink), BlankLine(blankLineAfterSection), LineOpen(lineOpen)
{
}

void ProfileFile::SectionStream::Write(const QString& section, QStringView key, QStringView value,
                                       QStringView valueTail)
{
    if (Name.isNull() || section != Name) {
        EndSection();
        Name = section;
    }
    QString line;
    line.reserve(key.size() + 1 + value.size() + valueTail.size());
    line.append(key).append(QLatin1Char('=')).append(value).append(valueTail);
    QString lower = Lower(key);
    // Most keys have a handful of lines: a short list is scanned, a long one gets a hash.
    int at = -1;
    if (!KeyIndex.isEmpty()) {
        at = KeyIndex.value(lower, -1);
    } else {
        const auto found = std::find(LowerKeys.begin(), LowerKeys.end(), lower);
        at = found == LowerKeys.end() ? -1 : int(found - LowerKeys.begin());
        if (at < 0 && LowerKeys.size() >= 16)
            for (int i = 0; i < int(LowerKeys.size()); ++i)
                KeyIndex.insert(LowerKeys[size_t(i)], i);
    }
    if (at >= 0) {
        Lines[size_t(at)] = std::move(line);
        return;
    }
    if (!KeyIndex.isEmpty())
        KeyIndex.insert(lower, int(Lines.size()));
    Lines.push_back(std::move(line));
    LowerKeys.push_back(std::move(lower));
}

void ProfileFile::SectionStream::EndSection()
{
    if (Name.isNull())
        return;
    static const QLatin1String crLf("\r\n");
    if (LineOpen)
        Piece += crLf;
    LineOpen = false;
    Piece.append(QLatin1Char('[')).append(Name).append(QLatin1Char(']')).append(crLf);
    for (const QString& line : Lines) {
        Piece.append(line).append(crLf);
        if (Piece.size() >= PieceSize)
            Flush();
    }
    if (BlankLine)
        Piece += crLf;
    if (Piece.size() >= PieceSize)
        Flush();
    Name = QString();
    Lines.clear();
    LowerKeys.clear();
    KeyIndex.clear();
}

void ProfileFile::SectionStream::Flush()
{
    if (!Piece.isEmpty())
        Sink(Codec::ToWin1250(Piece));
    Piece.truncate(0);
}

void ProfileFile::SectionStream::Finish()
{
    EndSection();
    Flush();
}
