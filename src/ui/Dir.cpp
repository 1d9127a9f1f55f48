#include "Dir.h"

TDirForm::TDirForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DirForm"));
}
