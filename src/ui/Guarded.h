#pragma once
#include "Dialogs.h"
#include "Error.h"

// How handlers are connected: a ZelvakonError that a handler throws ends there, in the standard
// error box, and the program goes on.
template <typename Owner, typename Handler>
auto Guarded(Owner* owner, Dialogs* dialogs, Handler handler)
{
    return [owner, dialogs, handler] {
        try {
            (owner->*handler)();
        } catch (const ZelvakonError& error) {
            dialogs->ShowError(error.Message());
        }
    };
}

// The two boxes handlers show themselves: a refusal, and a question.
inline void Refuse(Dialogs& dialogs, const QString& text)
{
    dialogs.MessageBox(text, QStringLiteral("Chyba"), MsgIcon::Error, MsgButtons::Ok);
}

inline MsgAnswer Ask(Dialogs& dialogs, const QString& question)
{
    return dialogs.MessageBox(question, QStringLiteral("Dotaz"), MsgIcon::Question, MsgButtons::YesNoCancel);
}
