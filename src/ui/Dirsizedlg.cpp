#include "Dirsizedlg.h"

TDirSizeForm::TDirSizeForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DirSizeForm"));
}
