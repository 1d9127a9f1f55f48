#include "KeyFilter.h"
#include "Codec.h"
#include "Dialogs.h"
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

KeyFilter::KeyFilter(QWidget* field, Dialogs* dialogs, std::function<bool(QChar)> accept)
    : QObject(field), Dlg(dialogs), Accept(std::move(accept))
{
    field->installEventFilter(this);
    // Pasted text skips the key filter: what a one-line field cannot store is taken out again, with the beep.
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        connect(edit, &QLineEdit::textEdited, this, [this, edit](const QString& text) {
            QString kept;
            kept.reserve(text.size());
            for (QChar c : text)
                if (c != QLatin1Char('\r') && c != QLatin1Char('\n') && Codec::IsEncodable(c) && (!Accept || Accept(c)))
                    kept += c;
            if (kept != text) {
                const int cursor = edit->cursorPosition() - int(text.size() - kept.size());
                edit->setText(kept);
                edit->setCursorPosition(qMax(0, cursor));
                if (Dlg)
                    Dlg->Beep();
            }
        });
    }
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (text.isEmpty() || key->modifiers().testFlag(Qt::ControlModifier))
        return false;
    for (QChar c : text) {
        if (c.unicode() == 8 || c.unicode() == 0x7F || c == QLatin1Char('\t') || c == QLatin1Char('\r')
            || c == QLatin1Char('\n') || c == QChar(0x1B))
            continue;  // editing keys: backspace, delete, tab, enter, escape
        if (!Codec::IsEncodable(c) || (Accept && !Accept(c))) {
            if (Dlg)
                Dlg->Beep();
            return true;
        }
    }
    return false;
}

bool AcceptPath(Dialogs& dialogs, const QString& path)
{
    if (Codec::IsEncodable(path))
        return true;
    dialogs.MessageBox(
        QStringLiteral("Cesta '%1' obsahuje znaky, které nelze uložit v kódování Windows-1250.\nZvolte prosím jiný soubor.")
            .arg(path),
        QStringLiteral("Chyba"), MsgIcon::Error, MsgButtons::Ok);
    return false;
}
