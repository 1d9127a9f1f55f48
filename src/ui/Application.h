#pragma once
#include <QApplication>
#include <QIcon>

class Dialogs;

// What escapes a handler is caught where the event loop delivers it and shown in the standard error
// box; the program goes on.
class ZelvakonApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
    void Report(const QString& message);
    Dialogs* ErrorDialogs = nullptr;
};

// The program's own font: an 8-point sans (DejaVu Sans stands in for the classic dialog font).
void ApplyProgramFont();

// Qt's own texts (file and colour dialogs, message box buttons, context menus of edit fields) in Czech,
// from the translation that Qt installs beside its libraries. False when it is not there.
bool LoadQtTranslation();

// The program's icon, which every window of the program shows.
QIcon ProgramIcon();

// The project file named on the command line (as a file manager starts the program), as an absolute
// native path; empty when there is none.
QString ProjectArgument(const QStringList& arguments);
