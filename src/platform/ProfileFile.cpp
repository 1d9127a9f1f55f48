#include "ProfileFile.h"
#include "Codec.h"
#include "Error.h"
#include <QFile>
#include <QSaveFile>

static const QString CrLf = QStringLiteral("\r\n");

static bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

static QString TrimBlanks(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}

// A header line: first non-blank character "[", the name up to "]" (or the line end), trimmed.
static std::optional<QString> HeaderName(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i >= text.size() || text[i] != QLatin1Char('['))
        return std::nullopt;
    const qsizetype close = text.indexOf(QLatin1Char(']'), i + 1);
    const qsizetype end = close < 0 ? text.size() : close;
    return TrimBlanks(QStringView(text).sliced(i + 1, end - i - 1));
}

static QString KeyOf(const QString& text)
{
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq < 0)
        return QString();
    return TrimBlanks(QStringView(text).left(eq)).toLower();
}

ProfileFile ProfileFile::Load(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return ProfileFile();
    if (!file.open(QIODevice::ReadOnly))
        throw ZelvakonError(QStringLiteral("Soubor %1 nelze otevřít: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ZelvakonError(QStringLiteral("Soubor %1 nelze přečíst: %2").arg(path, file.errorString()));
    return Parse(bytes);
}

ProfileFile ProfileFile::Parse(const QByteArray& bytes)
{
    ProfileFile profile;
    const QString text = Codec::FromWin1250(bytes);
    qsizetype pos = 0;
    const qsizetype n = text.size();
    Section* current = nullptr;
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        Line line;
        line.Text = text.mid(pos, end - pos);
        if (end < n) {
            if (text[end] == QLatin1Char('\r') && end + 1 < n && text[end + 1] == QLatin1Char('\n'))
                line.Eol = CrLf;
            else
                line.Eol = text[end];
        }
        pos = end + line.Eol.size();
        if (auto name = HeaderName(line.Text)) {
            profile.SectionList.push_back(Section{*name, std::move(line), {}, {}});
            current = &profile.SectionList.back();
            continue;
        }
        if (current) {
            line.Key = KeyOf(line.Text);
            current->Lines.push_back(std::move(line));
        } else {
            profile.Preamble.push_back(std::move(line));
        }
    }
    profile.Reindex();
    return profile;
}

void ProfileFile::Reindex()
{
    SectionIndex.clear();
    for (int s = 0; s < int(SectionList.size()); ++s) {
        Section& section = SectionList[size_t(s)];
        section.KeyIndex.clear();
        for (int i = int(section.Lines.size()) - 1; i >= 0; --i)
            if (!section.Lines[size_t(i)].Key.isEmpty())
                section.KeyIndex.insert(section.Lines[size_t(i)].Key, i);
    }
    // QHash::insert replaces: walk backwards so that the first section of a name wins.
    for (int s = int(SectionList.size()) - 1; s >= 0; --s)
        SectionIndex.insert(SectionList[size_t(s)].Name.toLower(), s);
}

ProfileFile::Section* ProfileFile::Find(const QString& section)
{
    auto it = SectionIndex.constFind(section.toLower());
    return it == SectionIndex.constEnd() ? nullptr : &SectionList[size_t(*it)];
}

const ProfileFile::Section* ProfileFile::Find(const QString& section) const
{
    auto it = SectionIndex.constFind(section.toLower());
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
    for (int i = 0; i < int(s->Lines.size()); ++i) {
        const Line& line = s->Lines[size_t(i)];
        if (!line.Key.isEmpty() && s->KeyIndex.value(line.Key) == i)
            keys.append(TrimBlanks(QStringView(line.Text).left(line.Text.indexOf(QLatin1Char('=')))));
    }
    return keys;
}

std::optional<QString> ProfileFile::Value(const QString& section, const QString& key) const
{
    const Section* s = Find(section);
    if (!s)
        return std::nullopt;
    auto it = s->KeyIndex.constFind(key.toLower());
    if (it == s->KeyIndex.constEnd())
        return std::nullopt;
    return ValueOf(s->Lines[size_t(*it)]);
}

QString ProfileFile::ValueOf(const Line& line)
{
    const QString& text = line.Text;
    QString value = TrimBlanks(QStringView(text).mid(text.indexOf(QLatin1Char('=')) + 1));
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
        && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    if (value.size() > MaxValueLength)
        value.truncate(MaxValueLength);
    return value;
}

QList<std::pair<QString, QString>> ProfileFile::Entries(const QString& section) const
{
    QList<std::pair<QString, QString>> entries;
    const Section* s = Find(section);
    if (!s)
        return entries;
    for (int i = 0; i < int(s->Lines.size()); ++i) {
        const Line& line = s->Lines[size_t(i)];
        if (!line.Key.isEmpty() && s->KeyIndex.value(line.Key) == i)
            entries.append({TrimBlanks(QStringView(line.Text).left(line.Text.indexOf(QLatin1Char('=')))), ValueOf(line)});
    }
    return entries;
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
    if (last && last->Eol.isEmpty())
        last->Eol = CrLf;
}

void ProfileFile::Write(const QString& section, const QString& key, const QString& value)
{
    const QString lowerKey = key.toLower();
    Line line{key + QLatin1Char('=') + value, CrLf, lowerKey};
    Section* s = Find(section);
    if (!s) {
        EnsureLastLineEnds();
        SectionList.push_back(Section{section, Line{QLatin1Char('[') + section + QLatin1Char(']'), CrLf, {}}, {}, {}});
        SectionIndex.insert(section.toLower(), int(SectionList.size()) - 1);
        s = &SectionList.back();
    }
    auto it = s->KeyIndex.constFind(lowerKey);
    if (it != s->KeyIndex.constEnd()) {
        Line& old = s->Lines[size_t(*it)];
        line.Eol = old.Eol.isEmpty() ? QString() : old.Eol;
        old = std::move(line);
        return;
    }
    // Appended after the section's last line that holds a key, so trailing blank lines stay between sections.
    qsizetype at = qsizetype(s->Lines.size());
    while (at > 0 && TrimBlanks(s->Lines[size_t(at - 1)].Text).isEmpty())
        --at;
    if (at == qsizetype(s->Lines.size())) {
        EnsureLastLineEnds();
        s->Lines.push_back(std::move(line));
        s->KeyIndex.insert(lowerKey, int(s->Lines.size()) - 1);
    } else {
        s->Lines.insert(s->Lines.begin() + at, std::move(line));
        s->KeyIndex.clear();
        for (int i = int(s->Lines.size()) - 1; i >= 0; --i)
            if (!s->Lines[size_t(i)].Key.isEmpty())
                s->KeyIndex.insert(s->Lines[size_t(i)].Key, i);
    }
}

void ProfileFile::EraseSection(const QString& section)
{
    const QString lower = section.toLower();
    std::erase_if(SectionList, [&lower](const Section& s) { return s.Name.toLower() == lower; });
    Reindex();
}

void ProfileFile::EraseAllSections()
{
    SectionList.clear();
    SectionIndex.clear();
}

void ProfileFile::RenameSection(int index, const QString& name)
{
    Section& s = SectionList[size_t(index)];
    s.Name = name;
    s.Header.Text = QLatin1Char('[') + name + QLatin1Char(']');
    Reindex();
}

QByteArray ProfileFile::Render() const
{
    QString text;
    auto add = [&text](const Line& line) {
        text += line.Text;
        text += line.Eol;
    };
    for (const Line& line : Preamble)
        add(line);
    for (const Section& section : SectionList) {
        add(section.Header);
        for (const Line& line : section.Lines)
            add(line);
    }
    return Codec::ToWin1250(text);
}

void ProfileFile::Save(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ZelvakonError(QStringLiteral("Soubor %1 nelze uložit: %2").arg(path, file.errorString()));
    const QByteArray bytes = Render();
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw ZelvakonError(QStringLiteral("Soubor %1 nelze uložit: %2").arg(path, file.errorString()));
}
