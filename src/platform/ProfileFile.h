#pragma once
#include "AtomicFile.h"
#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <optional>
#include <vector>

// An ini file with the Windows profile semantics: sections and keys match without regard to letter
// case, a written key replaces its line in place or is appended to its section, a missing section is
// appended at the end; on read the blanks around a value and one pair of enclosing quotes are dropped
// and the value is cut to 2047 characters. The file is parsed once, changed in memory and written
// once; a file that was not changed renders back byte for byte, a changed one with CR LF after every
// line. A UTF-8 byte order mark at the start is skipped.
class ProfileFile {
public:
    static constexpr int MaxValueLength = 2047;
    static constexpr qint64 MaxFileSize = 512 * 1024 * 1024;  // larger files are refused, not half read

    // A missing file gives an empty profile; a file that cannot be read throws ZelvakonError.
    static ProfileFile Load(const QString& path) { return Parse(ReadFile(path)); }
    // The bytes Load parses, with its rules and its error.
    static QByteArray ReadFile(const QString& path);
    // Only the text before the first section: all a file needs whose every section is written anew.
    static ProfileFile LoadPreamble(const QString& path);
    static ProfileFile Parse(const QByteArray& bytes);
    // The lower-case form under which names are compared.
    static QString Lower(QStringView name) { return name.toString().toLower(); }

    // Section names in file order (a name that occurs twice is listed twice).
    QStringList Sections() const;
    bool HasSection(const QString& section) const { return Find(section) != nullptr; }
    // Key names of the first section of that name, each name once (first occurrence), in file order.
    QStringList Keys(const QString& section) const;
    // The value of the first line of that key in the first section of that name.
    std::optional<QString> Value(const QString& section, const QString& key) const;
    QString Read(const QString& section, const QString& key, const QString& defaultValue = {}) const
    {
        return Value(section, key).value_or(defaultValue);
    }
    // Keys() with the Value() of each, found with one look-up of the section.
    QList<std::pair<QString, QString>> Entries(const QString& section) const;
    // The same for the section at that place of Sections(), also when an earlier one has its name.
    QList<std::pair<QString, QString>> EntriesAt(int sectionIndex) const;

    void Write(const QString& section, const QString& key, const QString& value);
    void EraseSection(const QString& section);  // every section of that name, with its lines
    void EraseAllSections();                    // text before the first section stays
    void RenameSection(int index, const QString& name);
    // The first section of that name becomes the first of the file (made empty when missing).
    void MoveSectionToFront(const QString& section);

    QByteArray Render(bool blankLineAfterSection = false) const;
    // Atomic: a failed save leaves the earlier file as it was. Throws ZelvakonError naming the file.
    void Save(const QString& path) const { Save(path, {}); }

    class SectionStream;
    class SectionReader;
    // Saves this profile followed by the sections that more writes to the stream.
    void Save(const QString& path, const std::function<void(SectionStream&)>& more) const;

private:
    // A view into the decoded file, or into OwnTexts once written: their texts never move or change.
    struct Line {
        QStringView Text;
        quint8 Eol = 0;  // 0 none, 1 CR LF, 2 LF, 3 CR
    };
    struct Section {
        QString Name;
        Line Header;
        std::vector<Line> Lines;
        mutable QHash<QString, int> KeyIndex;  // lower-case key -> first line holding it; built on demand
        mutable bool Indexed = false;
    };
    Line OwnLine(QString text);
    // Adds the text to piece, which goes to the sink encoded whenever it has grown large: the whole
    // text never exists twice.
    void RenderTo(QString& piece, const ByteSink& sink, bool blankLineAfterSection, bool allCrLf) const;
    const QHash<QString, int>& Index(const Section& section) const;
    void Reindex();
    const Section* Find(const QString& section) const;
    Section* Find(const QString& section) { return const_cast<Section*>(std::as_const(*this).Find(section)); }
    Section* AppendSection(const QString& name);  // not yet in SectionIndex
    void WriteIn(Section& s, QStringView key, QStringView value, QStringView valueTail = {});

    QString Source;  // the decoded file
    std::vector<QString> OwnTexts;  // texts of written lines
    std::vector<Line> Preamble;
    std::vector<Section> SectionList;
    QHash<QString, int> SectionIndex;  // lower-case name -> first section of that name
    bool Changed = false;
};

// Sections written one after another straight to a sink, for files too large to be held: the lines
// of a section are kept until the next section begins, so that a key written again within its
// section replaces its line in place, as Write does. No two sections may share a name (letter case
// aside): the caller sees to that.
class ProfileFile::SectionStream {
public:
    // Each section ends with an empty line when blankLineAfterSection.
    SectionStream(const ByteSink& sink, bool blankLineAfterSection) : Sink(sink), BlankLine(blankLineAfterSection) {}
    SectionStream(const SectionStream&) = delete;
    SectionStream& operator=(const SectionStream&) = delete;
    void Write(const QString& section, QStringView key, QStringView value, QStringView valueTail = {});
    void Finish();  // writes what is pending; call once, after the last Write

private:
    friend class ProfileFile;  // a save renders the profile into the same pieces
    void EndSection();
    const ByteSink& Sink;
    const bool BlankLine;
    ProfileFile Pending;  // the section being gathered
    QString Piece;  // text not yet encoded and handed to the sink
};

// The sections of a file one at a time, in file order, read as Sections() and EntriesAt() give them,
// without holding the parsed whole: for files read once that may be large.
class ProfileFile::SectionReader {
public:
    explicit SectionReader(const QByteArray& bytes);  // the bytes must outlive the reader
    bool Next();  // moves to the next section; false after the last
    const QString& Name() const { return SectionName; }
    QList<std::pair<QString, QString>> Entries() const;

private:
    const QByteArray& Bytes;
    qsizetype Pos = 0;
    qsizetype LinesBegin = 0;
    qsizetype LinesEnd = 0;
    QString SectionName;
};
