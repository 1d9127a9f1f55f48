#pragma once
#include <QApplication>

class Dialogs;

// What escapes a handler is caught where the event loop delivers it and shown in the standard error
// box; the program goes on.
class ZelvakonApplication : public QApplication {
public:
    ZelvakonApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
    void Report(const QString& message);
    Dialogs* ErrorDialogs = nullptr;
};

// The program's own font: an 8-point sans (DejaVu Sans stands in for the classic dialog font).
void ApplyProgramFont();
