#pragma once
#include <QObject>
#include <functional>

class Dialogs;
class QPlainTextEdit;
class QWidget;

// Drops typed characters that a field refuses, with the beep. Characters that Windows-1250 cannot
// hold and line breaks are always refused; Accept adds the field's own rule. In a multi-line memo,
// line breaks pass and text that arrives otherwise (pasted, dropped) is cleaned the same way.
class KeyFilter : public QObject {
    Q_OBJECT
public:
    enum class Pasted { Cleaned, Kept };  // what a one-line field does with pasted text
    KeyFilter(QWidget* field, Dialogs* dialogs, std::function<bool(QChar)> accept = {},
              Pasted pasted = Pasted::Cleaned);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CleanMemo(QPlainTextEdit* memo);

    Dialogs* Dlg;
    std::function<bool(QChar)> Accept;
    int PendingFrom = -1;  // memo: the range of the last change, still to be cleaned
    int PendingTo = -1;
    bool Cleaning = false;
};

// Refuses a path chosen in a dialog that Windows-1250 cannot hold, with the message that says so.
bool AcceptPath(Dialogs& dialogs, const QString& path);
