#include "Cli.h"
#include "AtomicFile.h"
#include "Codec.h"
#include "Error.h"
#include "RegularFile.h"
#include "DatFormat.h"
#include "Paths.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <array>
#include <cerrno>
#include <memory>

// Reading a data file as the extractor would: the header verified against the file before any offset
// in it is trusted, then the texts and the parts.

namespace Cli {

namespace {

struct OpenedDat {
    DatLayout Layout;
    std::array<QString, DatFormat::TextCount> Texts;  // converted from Windows-1250
};

int Refuse(const QString& path, const QString& why) { return Failed(path + QStringLiteral(": ") + why); }

// Verifies the file and reads its six texts; why it cannot be read otherwise.
QString OpenDat(QFile& file, const QString& path, OpenedDat& dat)
{
    // Only a plain file: a pipe or a device would block or never end.
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("Soubor neexistuje.");
    if (!info.isFile())
        return QStringLiteral("Nejde o obyčejný soubor.");
    if (const QString reason = OpenRegularFile(file, path); !reason.isEmpty())
        return QStringLiteral("Soubor nelze otevřít: %1.").arg(reason);
    const DatCheck check = VerifyDatHeader(file, file.size());
    if (!check.Ok)
        return check.Error;
    // What no finished build leaves: it packs at least one file and ends with Unrar.dll, a Windows
    // image. Anything else was cut by a killed build or is not whole.
    const DatLayout& layout = check.Layout;
    if (layout.Header.PartSizes[0] == 0)
        return QStringLiteral("Archiv v datovém souboru je prázdný, soubor není úplný.");
    if (layout.UnrarSize == 0)
        return QStringLiteral("Za částmi chybí Unrar.dll, soubor není úplný.");
    if (!file.seek(layout.UnrarOffset) || file.read(2) != "MZ")
        return QStringLiteral("Unrar.dll za částmi nezačíná znaky MZ, nejde o knihovnu Windows, soubor není úplný.");
    dat.Layout = layout;
    const auto& lengths = layout.Header.TextLengths;
    for (size_t i = 0; i < dat.Texts.size(); ++i) {
        QByteArray bytes;
        if (lengths[i] > 0
            && (!file.seek(layout.TextOffsets[i]) || (bytes = file.read(lengths[i])).size() != lengths[i]))
            return QStringLiteral("Texty hlavičky nelze přečíst.");
        dat.Texts[i] = Codec::FromWin1250(bytes);
    }
    return QString();
}

QString Row(const QString& caption, const QString& value)
{
    return (caption + QLatin1Char(':')).leftJustified(20) + value;
}

// The music's stored name as a bare file name, so that nothing is written outside the chosen folder:
// whatever follows the last separator of either platform or a drive colon, never "." or "..", and
// never the name of another part.
QString MusicFileName(const QString& stored, const QStringList& otherParts)
{
    QString name = stored;
    const qsizetype cut = qMax(qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))),
                               name.lastIndexOf(QLatin1Char(':')));
    name = name.mid(cut + 1);
    for (QChar& c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char('_');
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("Hudba");
    for (const QString& other : otherParts)
        if (name.compare(other, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Hudba-") + name;
    return name;
}

// Streams size bytes from offset into a new file, which takes the place of target only once it is
// complete. A file or link already named target is an error unless force, which replaces the name
// itself: nothing is ever written through a link that was in the folder.
QString WritePart(QFile& dat, qint64 offset, qint64 size, const QString& target, bool force)
{
    const QFileInfo existing(target);
    if (existing.exists() || existing.isSymLink()) {
        if (existing.isDir() && !existing.isSymLink())
            return SystemErrorText(EISDIR);
        if (!force)
            return QStringLiteral("soubor již existuje (přepsat jej dovolí volba --force)");
    }
    QString error;
    std::unique_ptr<QFile> out = CreateTemporaryBeside(target, error);
    if (!out)
        return error;
    const auto fail = [&out](const QString& why) {
        out->close();
        out->remove();
        return why;
    };
    if (!dat.seek(offset))
        return fail(SystemErrorText(dat.errorString()));
    QByteArray buffer;
    for (qint64 left = size; left > 0;) {
        buffer = dat.read(qMin<qint64>(left, 1 << 20));
        if (buffer.isEmpty())
            return fail(QStringLiteral("datový soubor skončil předčasně"));
        if (out->write(buffer) != buffer.size())
            return fail(SystemErrorText(out->errorString()));
        left -= buffer.size();
    }
    out->close();
    if (!ReplaceFile(out->fileName(), target, error))
        return fail(error);
    return QString();
}

}  // namespace

int Inspect(const QString& dataFile, bool json)
{
    QFile file(dataFile);
    OpenedDat dat;
    if (const QString why = OpenDat(file, dataFile, dat); !why.isEmpty())
        return Refuse(dataFile, why);
    const DatLayout& l = dat.Layout;
    const DatHeader& h = l.Header;
    // The parts and the texts in the order of the file: the JSON key and the caption of each.
    static const char* const parts[DatFormat::PartCount][2] = {
        {"archive", "Archiv"}, {"picture", "Obrázek"}, {"music", "Hudba (data)"}, {"readme", "Readme.nfo"},
        {"registry", "Reg.ini"}};
    static const char* const texts[DatFormat::TextCount][2] = {
        {"Nazev", "Název"},         {"DiskMisto", "Místo na disku"},  {"CilAdr", "Cílový adresář"},
        {"Hudba", "Hudba"},         {"NazevProg", "Spustit program"}, {"PrikRadka", "Příkazová řádka"}};
    const std::pair<QString, const ClickArea*> areas[] = {{QStringLiteral("Rozbal"), &h.Rozbal},
                                                          {QStringLiteral("Readme"), &h.Readme},
                                                          {QStringLiteral("Konec"), &h.Konec}};
    if (json) {
        QJsonObject sizes{{QStringLiteral("unrar"), l.UnrarSize}};
        QJsonObject textsJson;
        QJsonObject areasJson;
        for (size_t i = 0; i < DatFormat::PartCount; ++i)
            sizes[QLatin1String(parts[i][0])] = h.PartSizes[i];
        for (size_t i = 0; i < DatFormat::TextCount; ++i)
            textsJson[QLatin1String(texts[i][0])] = dat.Texts[i];
        for (const auto& [name, area] : areas)
            areasJson[name] = QJsonObject{{QStringLiteral("Levy"), area->Levy},
                                          {QStringLiteral("Horni"), area->Horni},
                                          {QStringLiteral("Pravy"), area->Pravy},
                                          {QStringLiteral("Dolni"), area->Dolni}};
        const QJsonObject root{{QStringLiteral("sizes"), sizes},
                               {QStringLiteral("texts"), textsJson},
                               {QStringLiteral("Zeptat"), h.AskFlag != 0 ? 1 : 0},
                               {QStringLiteral("areas"), areasJson}};
        Out(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)).trimmed());
        return ExitOk;
    }

    Out(Row(QStringLiteral("Datový soubor"), Printable(dataFile) + QStringLiteral(" (%1 bajtů)").arg(l.FileSize)));
    for (size_t i = 0; i < DatFormat::TextCount; ++i)
        Out(Row(QString::fromUtf8(texts[i][1]), Printable(dat.Texts[i])));
    Out(Row(QStringLiteral("Zeptat se"), h.AskFlag != 0 ? QStringLiteral("ano") : QStringLiteral("ne")));
    for (const auto& [name, area] : areas)
        Out(Row(QStringLiteral("Plocha ") + name, QString::asprintf("Levy %d, Horni %d, Pravy %d, Dolni %d", area->Levy,
                                                                     area->Horni, area->Pravy, area->Dolni)));
    for (size_t i = 0; i < DatFormat::PartCount; ++i)
        Out(Row(QString::fromUtf8(parts[i][1]),
                QStringLiteral("%1 bajtů od %2").arg(h.PartSizes[i]).arg(l.PartOffsets[i])));
    Out(Row(QStringLiteral("Unrar.dll"), QStringLiteral("%1 bajtů od %2").arg(l.UnrarSize).arg(l.UnrarOffset)));
    return ExitOk;
}

int Extract(const QString& dataFile, const QString& folder, bool force)
{
    QFile file(dataFile);
    OpenedDat dat;
    if (const QString why = OpenDat(file, dataFile, dat); !why.isEmpty())
        return Refuse(dataFile, why);
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return Refuse(folder, QStringLiteral("Adresář nelze vytvořit."));

    const DatLayout& l = dat.Layout;
    const QStringList fixed{QStringLiteral("archiv.rar"), QStringLiteral("Obrazek.bmp"), QStringLiteral("Readme.nfo"),
                            QStringLiteral("Reg.ini"), QStringLiteral("Unrar.dll")};
    // The parts in the order of the file, Unrar.dll last.
    const QString names[] = {fixed[0], fixed[1], MusicFileName(dat.Texts[3], fixed), fixed[2], fixed[3], fixed[4]};
    const auto& sizes = l.Header.PartSizes;
    for (size_t i = 0; i < std::size(names); ++i) {
        const qint64 size = i < sizes.size() ? sizes[i] : l.UnrarSize;
        if (size == 0)
            continue;
        const QString target = Paths::Join(Paths::StripTrailingBackslash(QDir::toNativeSeparators(folder)), names[i]);
        const QString error = WritePart(file, i < sizes.size() ? l.PartOffsets[i] : l.UnrarOffset, size, target, force);
        if (!error.isEmpty())
            return Refuse(Printable(target), QStringLiteral("Část nelze zapsat: %1.").arg(error));
        if (!Mode().Quiet)
            Out(Printable(target));
    }
    return ExitOk;
}

}  // namespace Cli
