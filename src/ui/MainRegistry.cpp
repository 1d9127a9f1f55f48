#include "Main.h"
#include <QListWidget>
#include <QTreeWidget>

// The "Registry" page.

void TMainForm::SetupRegistryPage() {}

void TMainForm::ResetRegistryView()
{
    RegView->clear();
    ValueView->clear();
    for (const auto& root : Registry.Roots()) {
        auto* item = new QTreeWidgetItem(RegView, QStringList(root->Name));
        item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(root.get())));
    }
}

void TMainForm::SaveRegIni(const QString&) {}
void TMainForm::LoadRegIni(const QString&) {}
void TMainForm::RegViewChange() {}
void TMainForm::ValueViewChange() {}
void TMainForm::AddKeyBtnClick() {}
void TMainForm::EditKeyBtnClick() {}
void TMainForm::DelKeyBtnClick() {}
void TMainForm::AddBtnClick() {}
void TMainForm::EditBtnClick() {}
void TMainForm::DelBtnClick() {}
void TMainForm::OpenBtnClick() {}
