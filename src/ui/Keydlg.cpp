#include "Keydlg.h"

TKeyForm::TKeyForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("KeyForm"));
}
