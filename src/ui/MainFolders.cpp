#include "Main.h"
#include <QLineEdit>

// The folder to pack with its size, the folder choosers, the settings dialog and the WinRAR file.

void TMainForm::SetupFolders()
{
    connect(Dir2AddEdit, &QLineEdit::textChanged, this, &TMainForm::Dir2AddEditChange);
}

void TMainForm::Dir2AddEditChange()
{
    UpdateBuildEnabled();
    SpaceEdit->setText(QStringLiteral("0"));
    Modified = true;
}

void TMainForm::Dir2AddBtnClick() {}
void TMainForm::TarDirBtnClick() {}
void TMainForm::SetActExecute() {}
void TMainForm::SpeedButton3Click() {}
