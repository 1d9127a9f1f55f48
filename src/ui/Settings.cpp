#include "Settings.h"

TSetForm::TSetForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SetForm"));
}
