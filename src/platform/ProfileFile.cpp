#include "ProfileFile.h"
#include "Codec.h"
#include "Error.h"
#include "RegularFile.h"
#include <QFile>
#include <QSet>
#include <algorithm>

namespace {

const QLatin1String EolText[] = {QLatin1String(""), QLatin1String("\r\n"), QLatin1String("\n"), QLatin1String("\r")};
constexpr quint8 CrLf = 1;
constexpr char Bom[] = "\xEF\xBB\xBF";
constexpr qsizetype PieceSize = 32768;

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

// The end of the line that starts at pos, and where the next one starts: a line ends at CR LF, LF or CR.
std::pair<qsizetype, qsizetype> LineAt(const QByteArray& bytes, qsizetype pos)
{
    const qsizetype n = bytes.size();
    qsizetype end = pos;
    while (end < n && bytes[end] != '\r' && bytes[end] != '\n')
        ++end;
    qsizetype next = end;
    if (end < n)
        next += bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n' ? 2 : 1;
    return {end, next};
}

// A header line: first non-blank character "[". Windows-1250 keeps ASCII as it is, one byte per
// character, so the bytes tell, and only a header line needs decoding.
bool IsHeader(const QByteArray& bytes, qsizetype begin, qsizetype end)
{
    while (begin < end && (bytes[begin] == ' ' || bytes[begin] == '\t'))
        ++begin;
    return begin < end && bytes[begin] == '[';
}

// The name of a header line: up to "]" (or the line end), trimmed.
QString HeaderName(QStringView text)
{
    text = text.sliced(text.indexOf(QLatin1Char('[')) + 1);
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    return TrimBlanks(close < 0 ? text : text.left(close)).toString();
}

QStringView KeyTextOf(QStringView line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QStringView() : TrimBlanks(line.left(eq));
}

// The value of an entry line as Value reads it.
QString ValueOf(QStringView text)
{
    QStringView value = TrimBlanks(text.sliced(text.indexOf(QLatin1Char('=')) + 1));
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
        && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value.left(ProfileFile::MaxValueLength).toString();
}

// The first line of each key, found without a cached index: a section read once, as the Reg.ini
// loader reads each, would build and keep an index for nothing.
QList<std::pair<QString, QString>> FirstEntries(const std::vector<QStringView>& lines)
{
    QList<std::pair<QString, QString>> entries;
    QSet<QString> seen;
    for (const QStringView text : lines) {
        const QStringView keyText = KeyTextOf(text);
        if (keyText.isEmpty())
            continue;
        const qsizetype known = seen.size();
        seen.insert(ProfileFile::Lower(keyText));
        if (seen.size() > known)
            entries.append({keyText.toString(), ValueOf(text)});
    }
    return entries;
}

ZelvakonError CannotOpen(const QString& path, const QString& reason)
{
    return ZelvakonError(QStringLiteral("Soubor %1 nelze otevřít: %2").arg(path, reason));
}

}  // namespace

QByteArray ProfileFile::ReadFile(const QString& path)
{
    QByteArray bytes;
    if (!QFile::exists(path))
        return bytes;
    if (const QString reason = ReadRegularFile(path, MaxFileSize, bytes); !reason.isEmpty())
        throw CannotOpen(path, reason);
    return bytes;
}

ProfileFile ProfileFile::Parse(const QByteArray& file)
{
    ProfileFile profile;
    // Files saved by Notepad and other editors start with a UTF-8 byte order mark: read as
    // Windows-1250 it would become part of the first section's header, which then names nothing.
    const QByteArray bytes = file.startsWith(Bom) ? file.sliced(qsizetype(sizeof Bom) - 1) : file;
    profile.Source = Codec::FromWin1250(bytes);
    Section* current = nullptr;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const auto [end, next] = LineAt(bytes, pos);
        const quint8 eol = next - end == 2 ? CrLf : next == end ? 0 : bytes[end] == '\n' ? 2 : 3;
        const Line line{QStringView(profile.Source).sliced(pos, end - pos), eol};
        if (IsHeader(bytes, pos, end)) {
            profile.SectionList.push_back(Section{HeaderName(line.Text), line, {}, {}, false});
            current = &profile.SectionList.back();
        } else {
            (current ? current->Lines : profile.Preamble).push_back(line);
        }
        pos = next;
    }
    profile.Reindex();
    return profile;
}

ProfileFile::Line ProfileFile::OwnLine(QString text)
{
    OwnTexts.push_back(std::move(text));
    return Line{OwnTexts.back(), CrLf};
}

const QHash<QString, int>& ProfileFile::Index(const Section& section) const
{
    if (!section.Indexed) {
        section.KeyIndex.clear();
        for (int i = int(section.Lines.size()) - 1; i >= 0; --i) {
            const QStringView key = KeyTextOf(section.Lines[size_t(i)].Text);
            if (!key.isEmpty())
                section.KeyIndex.insert(Lower(key), i);  // walking backwards: the first line of a key wins
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

const ProfileFile::Section* ProfileFile::Find(const QString& section) const
{
    auto it = SectionIndex.constFind(Lower(section));
    return it == SectionIndex.constEnd() ? nullptr : &SectionList[size_t(*it)];
}

QStringList ProfileFile::Sections() const
{
    QStringList names;
    for (const Section& section : SectionList)
        names.append(section.Name);
    return names;
}

QStringList ProfileFile::Keys(const QString& section) const
{
    QStringList keys;
    const Section* s = Find(section);
    if (!s)
        return keys;
    const QHash<QString, int>& index = Index(*s);
    for (int i = 0; i < int(s->Lines.size()); ++i) {
        const QStringView keyText = KeyTextOf(s->Lines[size_t(i)].Text);
        if (!keyText.isEmpty() && index.value(Lower(keyText), -1) == i)
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
    auto it = index.constFind(Lower(key));
    if (it == index.constEnd())
        return std::nullopt;
    return ValueOf(s->Lines[size_t(*it)].Text);
}

QList<std::pair<QString, QString>> ProfileFile::Entries(const QString& section) const
{
    const Section* s = Find(section);
    return s ? EntriesAt(int(s - SectionList.data())) : QList<std::pair<QString, QString>>();
}

QList<std::pair<QString, QString>> ProfileFile::EntriesAt(int sectionIndex) const
{
    std::vector<QStringView> lines;
    for (const Line& line : SectionList[size_t(sectionIndex)].Lines)
        lines.push_back(line.Text);
    return FirstEntries(lines);
}

ProfileFile::SectionReader::SectionReader(const QByteArray& bytes)
    : Bytes(bytes)
    , Pos(bytes.startsWith(Bom) ? qsizetype(sizeof Bom) - 1 : 0)  // as Parse skips it
{
}

bool ProfileFile::SectionReader::Next()
{
    bool found = false;
    while (Pos < Bytes.size()) {
        const auto [end, next] = LineAt(Bytes, Pos);
        if (IsHeader(Bytes, Pos, end)) {
            if (found) {
                LinesEnd = Pos;
                return true;
            }
            found = true;
            SectionName = HeaderName(Codec::FromWin1250(Bytes.sliced(Pos, end - Pos)));
            LinesBegin = next;
        }
        Pos = next;
    }
    LinesEnd = Bytes.size();
    return found;
}

QList<std::pair<QString, QString>> ProfileFile::SectionReader::Entries() const
{
    const QString text = Codec::FromWin1250(Bytes.sliced(LinesBegin, LinesEnd - LinesBegin));
    std::vector<QStringView> lines;
    for (qsizetype pos = LinesBegin; pos < LinesEnd;) {
        const auto [end, next] = LineAt(Bytes, pos);
        lines.push_back(QStringView(text).sliced(pos - LinesBegin, end - pos));
        pos = next;
    }
    return FirstEntries(lines);
}

ProfileFile::Section* ProfileFile::AppendSection(const QString& name)
{
    SectionList.push_back(Section{name, OwnLine(QLatin1Char('[') + name + QLatin1Char(']')), {}, {}, true});
    return &SectionList.back();
}

void ProfileFile::Write(const QString& section, const QString& key, const QString& value)
{
    Section* s = Find(section);
    if (!s) {
        s = AppendSection(section);
        SectionIndex.insert(Lower(section), int(SectionList.size()) - 1);
    }
    WriteIn(*s, key, value);
}

void ProfileFile::WriteIn(Section& s, QStringView key, QStringView value, QStringView valueTail)
{
    QString text;
    text.reserve(key.size() + 1 + value.size() + valueTail.size());
    text.append(key).append(QLatin1Char('=')).append(value).append(valueTail);
    Line line = OwnLine(std::move(text));
    Changed = true;
    QString lowerKey = Lower(key);
    const QHash<QString, int>& index = Index(s);
    if (auto it = index.constFind(lowerKey); it != index.constEnd()) {
        s.Lines[size_t(*it)] = line;
        return;
    }
    // Appended after the section's last non-blank line, so blank lines between sections stay there.
    qsizetype at = qsizetype(s.Lines.size());
    while (at > 0 && TrimBlanks(s.Lines[size_t(at - 1)].Text).isEmpty())
        --at;
    if (at == qsizetype(s.Lines.size())) {
        s.Lines.push_back(line);
        s.KeyIndex.insert(std::move(lowerKey), int(s.Lines.size()) - 1);
    } else {
        s.Lines.insert(s.Lines.begin() + at, line);
        s.Indexed = false;
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
    s.Header = OwnLine(QLatin1Char('[') + name + QLatin1Char(']'));
    Changed = true;
    Reindex();
}

void ProfileFile::MoveSectionToFront(const QString& section)
{
    Section* s = Find(section);
    if (!s)
        s = AppendSection(section);
    const auto at = SectionList.begin() + (s - SectionList.data());
    std::rotate(SectionList.begin(), at, at + 1);
    Changed = true;
    Reindex();
}

void ProfileFile::RenderTo(QString& piece, const ByteSink& sink, bool blankLineAfterSection, bool allCrLf) const
{
    // A changed file is written the Windows way throughout: lines appended with CR LF among the LF
    // lines of a file from elsewhere would leave it with two kinds of line end.
    auto add = [&](const Line& line) {
        piece.append(line.Text).append(EolText[allCrLf ? CrLf : line.Eol]);
        if (piece.size() >= PieceSize) {
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
}

QByteArray ProfileFile::Render(bool blankLineAfterSection) const
{
    QByteArray bytes;
    QString piece;
    const ByteSink sink = [&bytes](const QByteArray& encoded) { bytes += encoded; };
    RenderTo(piece, sink, blankLineAfterSection, Changed);
    return bytes + Codec::ToWin1250(piece);
}

void ProfileFile::Save(const QString& path, const std::function<void(SectionStream&)>& more) const
{
    WriteFileAtomically(path, [this, &more](const ByteSink& sink) {
        SectionStream stream(sink, false);
        // Sections that follow are new lines: the whole file is then written with CR LF.
        RenderTo(stream.Piece, sink, false, Changed || more);
        if (more)
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
        throw CannotOpen(path, reason);
    // Read until the first header line: a "[" with only blanks before it on its line.
    QByteArray head;
    for (qsizetype from = 0;; from = head.size()) {
        const QByteArray chunk = file.read(65536);
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                throw ZelvakonError(
                    QStringLiteral("Soubor %1 nelze přečíst: %2").arg(path, SystemErrorText(file.errorString())));
            return Parse(head);
        }
        if (head.size() + chunk.size() > MaxFileSize)
            throw CannotOpen(path, QStringLiteral("soubor je větší než %1 bajtů").arg(MaxFileSize));
        head += chunk;
        for (qsizetype at = head.indexOf('[', from); at >= 0; at = head.indexOf('[', at + 1)) {
            qsizetype start = at;
            while (start > 0 && (head[start - 1] == ' ' || head[start - 1] == '\t'))
                --start;
            // A byte order mark before the first header is no text of its line: Parse skips it.
            if (start == 0 || head[start - 1] == '\r' || head[start - 1] == '\n'
                || (start == 3 && head.startsWith(Bom))) {
                head.truncate(start);
                return Parse(head);
            }
        }
    }
}

void ProfileFile::SectionStream::Write(const QString& section, QStringView key, QStringView value,
                                       QStringView valueTail)
{
    // Written into the one section pending, never looked up by its name: the names of deep keys are long.
    if (Pending.SectionList.empty() || section != Pending.SectionList.front().Name) {
        EndSection();
        Pending.AppendSection(section);
    }
    Pending.WriteIn(Pending.SectionList.front(), key, value, valueTail);
}

void ProfileFile::SectionStream::EndSection()
{
    Pending.RenderTo(Piece, Sink, BlankLine, true);
    Pending.SectionList.clear();
    Pending.OwnTexts.clear();
}

void ProfileFile::SectionStream::Finish()
{
    EndSection();
    if (!Piece.isEmpty())
        Sink(Codec::ToWin1250(Piece));
    Piece.truncate(0);
}
