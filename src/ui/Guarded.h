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
