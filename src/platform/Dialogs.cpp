#include "Dialogs.h"
#include "Error.h"

void Dialogs::ShowError(const QString& message)
{
    MessageBox(StandardErrorText(message), QStringLiteral("Zelvakon"), MsgIcon::Error, MsgButtons::Ok);
}
