#include "Cli.h"
#include "Error.h"
#include <QCoreApplication>
#include <csignal>
#include <new>

int main(int argc, char* argv[])
{
#ifdef SIGXFSZ
    // A file-size limit is then a write error, reported and cleaned up like a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    // What no command handles itself still ends as a failure with its text, never as an abort.
    try {
        return Cli::Run(arguments);
    } catch (const ZelvakonError& error) {
        Cli::Err(QStringLiteral("Chyba: ") + StandardErrorText(error.Message()));
    } catch (const std::bad_alloc&) {
        Cli::Err(QStringLiteral("Chyba: Nedostatek paměti."));
    }
    return Cli::ExitFailed;
}
