#include "Progress.h"

TProgressForm::TProgressForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ProgressForm"));
}
