#include "Cli.h"
#include "DirSize.h"
#include <QDir>
#include <cstdio>
#include <optional>

namespace Cli {

namespace {

const QString Usage = QStringLiteral(
    "Použití:\n"
    "  zelvakon-cli build PROJEKT.zpf [--program-folder ADRESÁŘ]\n"
    "  zelvakon-cli inspect SOUBOR.dat [--json]\n"
    "  zelvakon-cli extract SOUBOR.dat ADRESÁŘ\n"
    "  zelvakon-cli dirsize ADRESÁŘ\n"
    "  zelvakon-cli --help | --version");

const QString Help = QStringLiteral(
    "\n\n"
    "build    Sestaví projekt jako příkaz Sestavit: kontroly, WinRAR, datový soubor a kopie Vorvanex.exe.\n"
    "         Unrar.dll a Vorvanex.exe bere z --program-folder, jinak z adresáře programu.\n"
    "inspect  Ověří hlavičku datového souboru a vypíše ji (s --json jako jeden objekt JSON).\n"
    "extract  Ověří datový soubor a zapíše jeho neprázdné části do adresáře.\n"
    "dirsize  Vypíše velikost adresáře v KB, jak ji program zapisuje do pole Místo na disku.\n"
    "\n"
    "Návratové kódy: 0 hotovo, 1 chyba, 2 projekt odmítnut nebo chybné parametry, 130 přerušeno (Ctrl+C).");

void Write(std::FILE* stream, const QString& line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int UsageError(const QString& what)
{
    Err(QStringLiteral("zelvakon-cli: ") + what);
    Err(Usage);
    return ExitRefused;
}

// A command's words: its positional arguments and the options it knows, "--" ending the options.
struct Words {
    QStringList Positional;
    std::optional<QString> ProgramFolder;
    bool Json = false;
    QString Error;  // empty when the words are right
};

Words Parse(const QStringList& args, bool withProgramFolder, bool withJson)
{
    Words words;
    bool options = true;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!options || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            words.Positional << arg;
        } else if (arg == QLatin1String("--")) {
            options = false;
        } else if (withJson && arg == QLatin1String("--json")) {
            words.Json = true;
        } else if (withProgramFolder && arg == QLatin1String("--program-folder")) {
            if (i + 1 == args.size()) {
                words.Error = QStringLiteral("volba --program-folder potřebuje adresář");
                return words;
            }
            words.ProgramFolder = args[++i];
        } else if (withProgramFolder && arg.startsWith(QLatin1String("--program-folder="))) {
            words.ProgramFolder = arg.mid(17);
        } else {
            words.Error = QStringLiteral("neznámá volba '%1'").arg(arg);
            return words;
        }
    }
    if (words.ProgramFolder && words.ProgramFolder->isEmpty())
        words.Error = QStringLiteral("volba --program-folder potřebuje adresář");
    return words;
}

}  // namespace

void Out(const QString& line) { Write(stdout, line); }
void Err(const QString& line) { Write(stderr, line); }

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

int Run(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return UsageError(QStringLiteral("chybí příkaz"));
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("--help") && rest.isEmpty()) {
        Out(Usage + Help);
        return ExitOk;
    }
    if (command == QLatin1String("--version") && rest.isEmpty()) {
        Out(QStringLiteral("zelvakon-cli " ZELVAKON_VERSION));
        return ExitOk;
    }

    struct Shape {
        const char* Name;
        int Positional;
        bool ProgramFolder;
        bool Json;
    };
    static const Shape shapes[] = {{"build", 1, true, false},
                                   {"inspect", 1, false, true},
                                   {"extract", 2, false, false},
                                   {"dirsize", 1, false, false}};
    const Shape* shape = nullptr;
    for (const Shape& s : shapes)
        if (command == QLatin1String(s.Name))
            shape = &s;
    if (!shape)
        return UsageError(QStringLiteral("neznámý příkaz '%1'").arg(command));
    const Words words = Parse(rest, shape->ProgramFolder, shape->Json);
    if (!words.Error.isEmpty())
        return UsageError(words.Error);
    if (words.Positional.size() != shape->Positional)
        return UsageError(QStringLiteral("příkaz %1 čeká %2 %3")
                              .arg(command)
                              .arg(shape->Positional)
                              .arg(shape->Positional == 1 ? QStringLiteral("parametr") : QStringLiteral("parametry")));

    const QStringList& p = words.Positional;
    if (command == QLatin1String("build"))
        return Build(p[0], words.ProgramFolder.value_or(QString()));
    if (command == QLatin1String("inspect"))
        return Inspect(p[0], words.Json);
    if (command == QLatin1String("extract"))
        return Extract(p[0], p[1]);
    // The text is taken as the folder field would take it: as typed, not made absolute.
    Out(FolderSizeKBText(p[0]));
    return ExitOk;
}

}  // namespace Cli
