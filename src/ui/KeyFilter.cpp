#include "KeyFilter.h"
#include "Codec.h"
#include "Guarded.h"
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>

KeyFilter::KeyFilter(QWidget* field, Dialogs* dialogs, std::function<bool(QChar)> accept, Pasted pasted)
    : QObject(field), Dlg(dialogs), Accept(std::move(accept))
{
    field->installEventFilter(this);
    // Pasted text skips the key filter: what a one-line field cannot store is taken out again, with the beep.
    if (auto* edit = qobject_cast<QLineEdit*>(field); edit && pasted == Pasted::Cleaned) {
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
    if (auto* memo = qobject_cast<QPlainTextEdit*>(field)) {
        connect(memo->document(), &QTextDocument::contentsChange, this, [this](int position, int, int added) {
            if (Cleaning || added <= 0)
                return;
            PendingFrom = PendingFrom < 0 ? position : qMin(PendingFrom, position);
            PendingTo = qMax(PendingTo, position + added);
        });
        connect(memo, &QPlainTextEdit::textChanged, this, [this, memo] {
            if (!Cleaning && PendingFrom >= 0)
                CleanMemo(memo);
        });
    }
}

void KeyFilter::CleanMemo(QPlainTextEdit* memo)
{
    QTextDocument* document = memo->document();
    const int from = PendingFrom;
    const int to = qMin(PendingTo, document->characterCount());
    PendingFrom = PendingTo = -1;
    // A line separator (pasted, or typed as Shift+Enter elsewhere) has no Windows-1250 byte: it
    // becomes the line break Enter makes. Anything else the file cannot hold goes, with the beep.
    auto kind = [document](int at) {
        const QChar c = document->characterAt(at);
        if (c == QChar::LineSeparator)
            return 1;
        return c == QChar::ParagraphSeparator || Codec::IsEncodable(c) ? 0 : 2;
    };
    bool dropped = false;
    Cleaning = true;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    // Backwards, a run at a time: what lies before a replaced run keeps its position.
    for (int end = to; end > from;) {
        const int k = kind(end - 1);
        if (k == 0) {
            --end;
            continue;
        }
        int begin = end - 1;
        while (begin > from && kind(begin - 1) == k)
            --begin;
        cursor.setPosition(begin);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.insertText(k == 1 ? QString(end - begin, QLatin1Char('\n')) : QString());
        dropped = dropped || k == 2;
        end = begin;
    }
    cursor.endEditBlock();
    Cleaning = false;
    if (dropped && Dlg)
        Dlg->Beep();
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // The memo takes Shift+Enter as a line separator inside the line, which Windows-1250 cannot
    // hold: it gets the line break of a plain Enter instead.
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers().testFlag(Qt::ShiftModifier)
        && qobject_cast<QPlainTextEdit*>(watched)) {
        QKeyEvent plain(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ShiftModifier, key->text(),
                        key->isAutoRepeat(), ushort(key->count()));
        QCoreApplication::sendEvent(watched, &plain);
        return true;
    }
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
    Refuse(dialogs,
           QStringLiteral("Cesta '%1' obsahuje znaky, které nelze uložit v kódování Windows-1250.\nZvolte prosím jiný soubor.")
               .arg(path));
    return false;
}
