#include "Cli.h"
#include "DirSize.h"
#include "Paths.h"
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QHash>
#include <QStandardPaths>
#include <cstdio>

namespace Cli {

namespace {

const QString Usage = QStringLiteral(
    "Použití:\n"
    "  zelvakon-cli build PROJEKT.zpf [--program-folder ADRESÁŘ] [--winrar CESTA] [--output ADRESÁŘ]\n"
    "                     [--installer-name JMÉNO] [--data-name JMÉNO] [--json] [--quiet] [--verbose]\n"
    "  zelvakon-cli inspect SOUBOR.dat [--json]\n"
    "  zelvakon-cli extract SOUBOR.dat ADRESÁŘ [--quiet] [--force]\n"
    "  zelvakon-cli dirsize ADRESÁŘ\n"
    "  zelvakon-cli PŘÍKAZ --help | --help | --version");

const QString BuildHelp = QStringLiteral(
    "build    Sestaví projekt jako příkaz Sestavit: kontroly, WinRAR, datový soubor a kopie Vorvanex.exe.\n"
    "         Relativní cesty v projektu (adresář k archivaci, obrázek, hudba, výstupní adresář) platí\n"
    "         od adresáře projektového souboru. Archiv archiv.rar vzniká vedle projektového souboru\n"
    "         a po úspěšném sestavení se smaže. Projektový soubor se nezapisuje.\n"
    "  --program-folder ADRESÁŘ  Unrar.dll a Vorvanex.exe bere odtud, jinak z adresáře programu\n"
    "  --winrar CESTA            archivátor pro tento běh (rar, nebo WinRAR.exe spuštěný přes wine);\n"
    "                            samotné jméno se hledá v PATH\n"
    "  --output ADRESÁŘ          výstupní adresář pro tento běh\n"
    "  --installer-name JMÉNO    jméno spustitelného souboru instalace bez přípony .exe\n"
    "  --data-name JMÉNO         jméno datového souboru bez přípony .dat\n"
    "  --json                    výsledek nebo chyba jako jeden objekt JSON na stdout\n"
    "  --quiet                   nevypisuje nic kromě chyb\n"
    "  --verbose                 výstup archivátoru průběžně na stderr");
const QString InspectHelp = QStringLiteral(
    "inspect  Ověří hlavičku datového souboru a vypíše ji (s --json jako jeden objekt JSON, chybu také).");
const QString ExtractHelp = QStringLiteral(
    "extract  Ověří datový soubor a zapíše jeho neprázdné části do adresáře (s --quiet bez výpisu).\n"
    "         Soubory a odkazy stejných jmen, které v adresáři už jsou, nahradí jen s --force.");
const QString DirsizeHelp = QStringLiteral(
    "dirsize  Vypíše velikost adresáře v KB, jak ji program zapisuje do pole Místo na disku;\n"
    "         adresář, který neexistuje nebo jej nelze číst, je chyba.");
const QString ExitCodes = QStringLiteral(
    "Návratové kódy: 0 hotovo, 1 chyba, 2 projekt odmítnut nebo chybné parametry, 130 přerušeno (Ctrl+C).");

void Write(std::FILE* stream, const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// Refusals and failures alike: "<title>: <message>" on stderr, or one JSON object on stdout.
void Problem(const QString& status, const QString& title, const QString& message)
{
    if (Mode().Json)
        Json({{QStringLiteral("status"), status},
              {QStringLiteral("title"), title},
              {QStringLiteral("message"), message}});
    else
        Err(title + QStringLiteral(": ") + message);
}

int UsageError(const QString& what)
{
    Problem(QStringLiteral("refused"), QStringLiteral("zelvakon-cli"), what);
    Err(Usage);
    return ExitRefused;
}

// What each value option wants, for the message when it is missing; the other options are flags.
const QHash<QString, QString> ValueOptions = {{QStringLiteral("--program-folder"), QStringLiteral("adresář")},
                                              {QStringLiteral("--winrar"), QStringLiteral("cestu")},
                                              {QStringLiteral("--output"), QStringLiteral("adresář")},
                                              {QStringLiteral("--installer-name"), QStringLiteral("jméno")},
                                              {QStringLiteral("--data-name"), QStringLiteral("jméno")}};

// A command's words: its positional arguments and the options it knows, "--" ending the options.
struct Words {
    QStringList Positional;
    QHash<QString, QString> Given;  // by name; a flag has no value
    bool Help = false;
    QString Error;  // empty when the words are right
};

Words Parse(const QStringList& args, const QStringList& allowed)
{
    Words words;
    bool options = true;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!options || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            words.Positional << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            options = false;
            continue;
        }
        if (arg == QLatin1String("--help")) {
            words.Help = true;
            continue;
        }
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        const QString name = arg.left(eq);
        const QString needs = ValueOptions.value(name);
        if (!allowed.contains(name) || (eq >= 0 && needs.isEmpty())) {
            words.Error = QStringLiteral("neznámá volba '%1'").arg(arg);
            return words;
        }
        QString value;
        if (!needs.isEmpty()) {
            if (eq >= 0)
                value = arg.mid(eq + 1);
            else if (i + 1 < args.size())
                value = args[++i];
            if (value.isEmpty()) {
                words.Error = QStringLiteral("volba %1 potřebuje %2").arg(name, needs);
                return words;
            }
        }
        words.Given[name] = value;
    }
    return words;
}

// A path given on the command line is relative to the current folder; a bare program name for
// --winrar that is no file here is looked up on PATH.
QString CommandLinePath(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

QString ArchiverPath(const QString& given)
{
    if (!given.contains(QLatin1Char('/')) && !given.contains(QDir::separator()) && !QFileInfo::exists(given)) {
        const QString found = QStandardPaths::findExecutable(given);
        if (!found.isEmpty())
            return found;
    }
    return CommandLinePath(given);
}

}  // namespace

OutputMode& Mode()
{
    static OutputMode mode;
    return mode;
}

void Out(const QString& line) { Write(stdout, (line + QLatin1Char('\n')).toUtf8()); }
void Err(const QString& line) { Write(stderr, (line + QLatin1Char('\n')).toUtf8()); }
void ErrBytes(const QByteArray& bytes) { Write(stderr, bytes); }

void Json(const QJsonObject& object)
{
    Out(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

int Refused(const QString& title, const QString& message)
{
    Problem(QStringLiteral("refused"), title, message);
    return ExitRefused;
}

int Failed(const QString& message)
{
    Problem(QStringLiteral("failed"), QStringLiteral("Chyba"), message);
    return ExitFailed;
}

QString Printable(const QString& text)
{
    // A stored text could carry terminal escape sequences; show control characters as \xNN instead.
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            shown += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

int DirSize(const QString& folder)
{
    // The text is taken as the folder field would take it: as typed, not made absolute. Unlike the
    // field, a script must not take a wrong folder for an empty one.
    const QFileInfo info(folder);
    if (!info.exists())
        return Failed(QStringLiteral("Adresář %1 neexistuje.").arg(Printable(folder)));
    if (!info.isDir())
        return Failed(QStringLiteral("%1 není adresář.").arg(Printable(folder)));
    if (!info.isReadable() || !QDir(folder).isReadable())
        return Failed(QStringLiteral("Adresář %1 nelze číst.").arg(Printable(folder)));
    Out(FolderSizeKBText(folder));
    return ExitOk;
}

int Run(const QStringList& arguments)
{
    Mode() = {};
    // Set before the words are checked, so that a wrong command line is JSON too.
    Mode().Json = arguments.mid(0, arguments.indexOf(QStringLiteral("--"))).contains(QStringLiteral("--json"));
    if (arguments.isEmpty())
        return UsageError(QStringLiteral("chybí příkaz"));
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("--help") && rest.isEmpty()) {
        Out(Usage + QStringLiteral("\n\n") + BuildHelp + QLatin1Char('\n') + InspectHelp + QLatin1Char('\n')
            + ExtractHelp + QLatin1Char('\n') + DirsizeHelp + QStringLiteral("\n\n") + ExitCodes);
        return ExitOk;
    }
    if (command == QLatin1String("--version") && rest.isEmpty()) {
        Out(QStringLiteral("zelvakon-cli " ZELVAKON_VERSION));
        return ExitOk;
    }

    struct Shape {
        const char* Name;
        int Positional;
        const char* Options;  // separated by blanks
        const char* Synopsis;
        const QString* Help;
    };
    static const Shape shapes[] = {
        {"build", 1, "--program-folder --winrar --output --installer-name --data-name --json --quiet --verbose",
         "build PROJEKT.zpf [volby]", &BuildHelp},
        {"inspect", 1, "--json", "inspect SOUBOR.dat [--json]", &InspectHelp},
        {"extract", 2, "--quiet --force", "extract SOUBOR.dat ADRESÁŘ [--quiet] [--force]", &ExtractHelp},
        {"dirsize", 1, "", "dirsize ADRESÁŘ", &DirsizeHelp}};
    const Shape* shape = nullptr;
    for (const Shape& s : shapes)
        if (command == QLatin1String(s.Name))
            shape = &s;
    if (!shape)
        return UsageError(QStringLiteral("neznámý příkaz '%1'").arg(command));
    const QStringList allowed = QString::fromLatin1(shape->Options).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    Mode().Json = Mode().Json && allowed.contains(QStringLiteral("--json"));
    const Words words = Parse(rest, allowed);
    const auto given = [&words](const char* option) { return words.Given.value(QLatin1String(option)); };
    const auto has = [&words](const char* option) { return words.Given.contains(QLatin1String(option)); };
    Mode().Quiet = has("--quiet");
    if (!words.Error.isEmpty())
        return UsageError(words.Error);
    if (words.Help) {
        Out(QStringLiteral("Použití: zelvakon-cli ") + QString::fromUtf8(shape->Synopsis) + QStringLiteral("\n\n")
            + *shape->Help + QStringLiteral("\n\n") + ExitCodes);
        return ExitOk;
    }
    if (words.Positional.size() != shape->Positional)
        return UsageError(QStringLiteral("příkaz %1 čeká %2 %3")
                              .arg(command)
                              .arg(shape->Positional)
                              .arg(shape->Positional == 1 ? QStringLiteral("parametr") : QStringLiteral("parametry")));

    const QStringList& p = words.Positional;
    if (command == QLatin1String("build")) {
        // The installer's and the data file's names as the settings dialog lets them be typed: no
        // extension, no path. A separator would put the file outside the output folder.
        for (const char* name : {"--installer-name", "--data-name"})
            for (const char c : {'.', ':', '\\', '/'})
                if (given(name).contains(QLatin1Char(c)))
                    return UsageError(
                        QStringLiteral("volba %1: jméno nesmí obsahovat znaky . : \\ /").arg(QLatin1String(name)));
        BuildOptions options;
        if (has("--program-folder"))
            options.ProgramFolder = Paths::StripTrailingBackslash(CommandLinePath(given("--program-folder")));
        if (has("--winrar"))
            options.WinRar = ArchiverPath(given("--winrar"));
        if (has("--output"))
            options.Output = Paths::StripTrailingBackslash(CommandLinePath(given("--output")));
        options.InstallerName = given("--installer-name");
        options.DataName = given("--data-name");
        options.Verbose = has("--verbose");
        return Build(CommandLinePath(p[0]), options);
    }
    if (command == QLatin1String("inspect"))
        return Inspect(p[0], Mode().Json);
    if (command == QLatin1String("extract"))
        return Extract(p[0], p[1], has("--force"));
    return DirSize(p[0]);
}

}  // namespace Cli
