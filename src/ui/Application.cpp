#include "Application.h"
#include "Dialogs.h"
#include "Error.h"
#include <QFont>

ZelvakonApplication::ZelvakonApplication(int& argc, char** argv) : QApplication(argc, argv) {}

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
