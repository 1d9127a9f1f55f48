#include "Areadlg.h"

TAreaForm::TAreaForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AreaForm"));
}
