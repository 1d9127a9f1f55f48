#include "Namvaldlg.h"

TValueForm::TValueForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ValueForm"));
}
