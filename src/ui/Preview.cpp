#include "Preview.h"

TPrevForm::TPrevForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PrevForm"));
}
