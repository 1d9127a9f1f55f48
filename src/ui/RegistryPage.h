#pragma once
#include "Pages.h"
#include "RegistryTree.h"

class QListView;
class QPushButton;
class QTreeView;
class RegistryKeyModel;
class RegistryValueModel;

// The page "Registry": the keys the extractor creates, edited in a tree of keys and the list of the
// selected key's entries.
class RegistryPage : public ProjectPage {
    Q_OBJECT
public:
    RegistryPage(const AppServices& services, const Forms& windows);
    ~RegistryPage() override;

    void Apply(const Project& project) override;  // the project's keys replace the page's; not a change
    void Collect(Project& project) const override;
    const RegistryTree& Tree() const { return Registry; }

    // Adds the keys of a Reg.ini to the page's and shows the last key loaded.
    void LoadRegIni(const QString& path);
    void LoadRegIni(const QByteArray& bytes, const QString& path);  // path names the file in messages
    // Writes the page's keys to path, asking first when the file exists.
    void SaveRegIni(const QString& path);

private:
    void RegViewChange();
    void ValueViewChange();
    void AddKeyBtnClick();
    void EditKeyBtnClick();
    void DelKeyBtnClick();
    void AddBtnClick();
    void EditBtnClick();
    void DelBtnClick();
    void OpenBtnClick();

    RegKey* CurrentKey() const;
    int SelectedRow() const;  // of the entry list, -1 when none

    Dialogs* Dlg;
    QString ProgramFolder;
    const Forms& Windows;
    RegistryTree Registry;
    RegistryKeyModel* Keys;
    RegistryValueModel* Values;
    QTreeView* RegView;
    QListView* ValueView;
    QPushButton* AddKeyBtn;
    QPushButton* EditKeyBtn;
    QPushButton* DelKeyBtn;
    QPushButton* AddBtn;
    QPushButton* EditBtn;
    QPushButton* DelBtn;
};
