#pragma once
#include <QObject>
#include <functional>

class Dialogs;
class QString;
class QWidget;

// Drops typed characters that a field refuses, with the beep. Characters that Windows-1250 cannot
// hold and line breaks are always refused; Accept adds the field's own rule.
class KeyFilter : public QObject {
    Q_OBJECT
public:
    KeyFilter(QWidget* field, Dialogs* dialogs, std::function<bool(QChar)> accept = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Dialogs* Dlg;
    std::function<bool(QChar)> Accept;
};

// Refuses a path chosen in a dialog that Windows-1250 cannot hold, with the message that says so.
bool AcceptPath(Dialogs& dialogs, const QString& path);
