#include "Application.h"
#include "Dialogs.h"
#include "Error.h"
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool ZelvakonApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const ZelvakonError& error) {
        Report(error.Message());
    } catch (const std::exception& error) {
        Report(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

void ZelvakonApplication::Report(const QString& message)
{
    if (ErrorDialogs)
        ErrorDialogs->ShowError(message);
}

void ApplyProgramFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(8);
    QApplication::setFont(font);
}

bool LoadQtTranslation()
{
    // Sizes, dates and file types in Qt's dialogs follow the default locale: Czech too.
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    auto* translator = new QTranslator(qApp);
    if (!translator->load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

QIcon ProgramIcon()
{
    // The size of title bars and task lists. Larger views (menus, launchers) take the installed theme's
    // icons; decoding a 256-pixel picture here took a twelfth of the start-up.
    return QIcon(QStringLiteral(":/icons/zelvakon-48.png"));
}

QString ProjectArgument(const QStringList& arguments)
{
    // Qt has taken its own options out by now; what is left that is not an option is the file.
    for (const QString& argument : arguments.mid(1)) {
        if (!argument.startsWith(QLatin1Char('-')))
            return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(argument).absoluteFilePath()));
    }
    return QString();
}
