#include "Keydlg.h"
#include "Main.h"
#include "Namvaldlg.h"
#include "Paths.h"
#include "ProfileFile.h"
#include "RegIni.h"
#include "RegistryImages.h"
#include <QComboBox>
#include <QFileInfo>
#include <QHash>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <vector>

// The "Registry" page: RegView and ValueView mirror Registry, which changes only through its operations.

namespace {

constexpr int KeyRole = Qt::UserRole;         // tree item: its RegKey
constexpr int ImageRole = Qt::UserRole + 1;   // list item: its image index, the entry's type code

RegKey* KeyOf(const QTreeWidgetItem* item)
{
    return item ? static_cast<RegKey*>(item->data(0, KeyRole).value<void*>()) : nullptr;
}

QTreeWidgetItem* MakeKeyItem(RegKey* key)
{
    auto* item = new QTreeWidgetItem(QStringList(key->Name));
    item->setData(0, KeyRole, QVariant::fromValue(static_cast<void*>(key)));
    item->setIcon(0, KeyIcon(!key->IsRoot()));
    return item;
}

QListWidgetItem* MakeValueItem(const QString& entry, int code)
{
    auto* item = new QListWidgetItem(entry);
    item->setData(ImageRole, code);
    item->setIcon(ValueIcon(code));
    return item;
}

void SetValueItem(QListWidgetItem* item, const QString& entry, int code)
{
    item->setText(entry);
    item->setData(ImageRole, code);
    item->setIcon(ValueIcon(code));
}

// Every item of the tree by its key, walked without recursion.
QHash<const RegKey*, QTreeWidgetItem*> ItemsByKey(QTreeWidget* view)
{
    QHash<const RegKey*, QTreeWidgetItem*> items;
    std::vector<QTreeWidgetItem*> stack;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        stack.push_back(view->topLevelItem(i));
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        items.insert(KeyOf(item), item);
        for (int i = 0; i < item->childCount(); ++i)
            stack.push_back(item->child(i));
    }
    return items;
}

// Some key of the whole tree other than ignore, at that depth, with exactly that name.
bool KeyNameUsedAtLevel(const RegistryTree& tree, const QString& name, int depth, const RegKey* ignore)
{
    std::vector<std::pair<const RegKey*, int>> stack;
    for (const auto& root : tree.Roots())
        stack.emplace_back(root.get(), 0);
    while (!stack.empty()) {
        auto [key, level] = stack.back();
        stack.pop_back();
        if (level == depth) {
            if (key != ignore && key->Name == name)
                return true;
            continue;  // nothing deeper can be at that depth
        }
        for (const auto& child : key->Children)
            stack.emplace_back(child.get(), level + 1);
    }
    return false;
}

// Some entry of the key other than ignore with exactly that text and type.
bool ValueEntryExists(const RegKey* key, const QString& name, const QString& value, int code, int ignore)
{
    const QString entry = name + QLatin1Char('=') + value;
    for (qsizetype i = 0; i < key->Values.Entries.size() && i < key->Values.TypeCodes.size(); ++i)
        if (i != ignore && key->Values.Entries[i] == entry && key->Values.TypeCodes[i].toInt() == code)
            return true;
    return false;
}

// Windows holds names that differ only in letter case as one, and so would Reg.ini: a sibling key
// (other than ignore) spelled that way would merge with this one at the next save.
bool SiblingDiffersOnlyInCase(const RegKey* parent, const QString& name, const RegKey* ignore)
{
    const QString lower = ProfileFile::Lower(name);
    for (const auto& child : parent->Children)
        if (child.get() != ignore && child->Name != name && ProfileFile::Lower(child->Name) == lower)
            return true;
    return false;
}

// The same for the entries of a key, other than the entry at index ignore.
bool EntryNameDiffersOnlyInCase(const RegKey* key, const QString& name, int ignore)
{
    const QString lower = ProfileFile::Lower(name);
    for (qsizetype i = 0; i < key->Values.Entries.size(); ++i) {
        const QString other = EntryName(key->Values.Entries[i]);
        if (i != ignore && other != name && ProfileFile::Lower(other) == lower)
            return true;
    }
    return false;
}

}  // namespace

void TMainForm::SetupRegistryPage()
{
    RegView->setSelectionMode(QAbstractItemView::SingleSelection);
    RegView->setIconSize(QSize(16, 16));
    ValueView->setSelectionMode(QAbstractItemView::SingleSelection);
    ValueView->setViewMode(QListView::ListMode);
    ValueView->setIconSize(QSize(16, 16));
    connect(RegView, &QTreeWidget::currentItemChanged, this, Guarded(&TMainForm::RegViewChange));
    connect(ValueView, &QListWidget::itemSelectionChanged, this, Guarded(&TMainForm::ValueViewChange));
    connect(AddKeyBtn, &QPushButton::clicked, this, Guarded(&TMainForm::AddKeyBtnClick));
    connect(EditKeyBtn, &QPushButton::clicked, this, Guarded(&TMainForm::EditKeyBtnClick));
    connect(DelKeyBtn, &QPushButton::clicked, this, Guarded(&TMainForm::DelKeyBtnClick));
    connect(AddBtn, &QPushButton::clicked, this, Guarded(&TMainForm::AddBtnClick));
    connect(EditBtn, &QPushButton::clicked, this, Guarded(&TMainForm::EditBtnClick));
    connect(DelBtn, &QPushButton::clicked, this, Guarded(&TMainForm::DelBtnClick));
    connect(OpenBtn, &QPushButton::clicked, this, Guarded(&TMainForm::OpenBtnClick));
}

void TMainForm::ResetRegistryView()
{
    // Mirrors whatever the model holds; after Reset that is the six root keys alone.
    RegView->clear();
    ValueView->clear();
    QHash<const RegKey*, QTreeWidgetItem*> items;
    Registry.Walk([this, &items](RegKey* key) {
        QTreeWidgetItem* item = MakeKeyItem(key);
        items.insert(key, item);
        if (key->IsRoot())
            RegView->addTopLevelItem(item);
        else
            items.value(key->Parent)->addChild(item);
    });
    RegViewChange();
}

void TMainForm::RegViewChange()
{
    RegKey* key = KeyOf(RegView->currentItem());
    const bool belowRoot = key && !key->IsRoot();
    AddKeyBtn->setEnabled(key != nullptr);
    AddBtn->setEnabled(belowRoot);
    EditKeyBtn->setEnabled(belowRoot);
    DelKeyBtn->setEnabled(belowRoot);
    // ShowKeyValues: a root key shows an empty list.
    ValueView->clear();
    if (belowRoot) {
        const KeyValues& values = key->Values;
        for (qsizetype i = 0; i < values.Entries.size() && i < values.TypeCodes.size(); ++i)
            ValueView->addItem(MakeValueItem(values.Entries[i], values.TypeCodes[i].toInt()));
    }
    ValueViewChange();
}

void TMainForm::ValueViewChange()
{
    const QList<QListWidgetItem*> selected = ValueView->selectedItems();
    EditBtn->setEnabled(!selected.isEmpty());
    DelBtn->setEnabled(!selected.isEmpty());
    // This list is the one control that shows its hint: the selected entry's type.
    ValueView->setToolTip(selected.isEmpty() ? QString() : TypeNameOf(selected.first()->data(ImageRole).toInt()));
}

void TMainForm::AddKeyBtnClick()
{
    QTreeWidgetItem* parentItem = RegView->currentItem();
    RegKey* parent = KeyOf(parentItem);
    if (!parent)
        return;
    const std::optional<QString> name = Windows.KeyForm->Execute(QStringLiteral("Nový klíč"));
    if (!name)
        return;
    if (KeyNameUsedAtLevel(Registry, *name, parent->Depth() + 1, nullptr)) {
        Services.Dlg->MessageBox(QStringLiteral("Klíče stejného vnoření nemohou mít stejné názvy."),
                                     QStringLiteral("Chyba"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    // A deeper key would be saved and then never loaded again.
    if (parent->Depth() + 1 > MaxRegIniDepth) {
        Services.Dlg->MessageBox(QStringLiteral("Klíč nelze vnořit hlouběji než do %1 úrovní.").arg(MaxRegIniDepth),
                                 QStringLiteral("Chyba"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    if (SiblingDiffersOnlyInCase(parent, *name, nullptr)) {
        Services.Dlg->MessageBox(QStringLiteral("Klíče v jednom klíči se nemohou lišit jen velikostí písmen."),
                                 QStringLiteral("Chyba"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    parentItem->addChild(MakeKeyItem(Registry.AddKey(parent, *name)));
    parentItem->setExpanded(true);
}

void TMainForm::EditKeyBtnClick()
{
    QTreeWidgetItem* item = RegView->currentItem();
    RegKey* key = KeyOf(item);
    if (!key || key->IsRoot())
        return;
    const std::optional<QString> name = Windows.KeyForm->Execute(QStringLiteral("Editace klíče"), key->Name);
    if (!name)
        return;
    if (KeyNameUsedAtLevel(Registry, *name, key->Depth(), key)) {
        Services.Dlg->MessageBox(QStringLiteral("Klíče stejného vnoření nemohou mít stejné názvy."),
                                     QStringLiteral("Chyba"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    if (SiblingDiffersOnlyInCase(key->Parent, *name, key)) {
        Services.Dlg->MessageBox(QStringLiteral("Klíče v jednom klíči se nemohou lišit jen velikostí písmen."),
                                 QStringLiteral("Chyba"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    Registry.RenameKey(key, *name);
    item->setText(0, *name);
}

void TMainForm::DelKeyBtnClick()
{
    QTreeWidgetItem* item = RegView->currentItem();
    RegKey* key = KeyOf(item);
    if (!key || key->IsRoot())
        return;
    if (Services.Dlg->MessageBox(QStringLiteral("Opravdu chcete smazat klíč se všemi hodnotami?"),
                                     QStringLiteral("Dotaz"), MsgIcon::Question, MsgButtons::YesNoCancel)
        != MsgAnswer::Yes)
        return;
    // The view goes first: while its node dies, the tree control moves the selection to a key that stays.
    delete item;
    Registry.DeleteKey(key);
    if (QTreeWidgetItem* current = RegView->currentItem())
        current->setSelected(true);
    RegViewChange();
}

void TMainForm::AddBtnClick()
{
    RegKey* key = KeyOf(RegView->currentItem());
    if (!key || key->IsRoot())
        return;
    const std::optional<RegEntry> entry = Windows.ValueForm->Execute(QStringLiteral("Přidání nového jména a hodnoty"));
    if (!entry)
        return;
    const int code = TypeCodeOf(entry->TypeName);
    if (ValueEntryExists(key, entry->Name, entry->Value, code, -1)) {
        Services.Dlg->MessageBox(QStringLiteral("Jméno a hodnota už existuje."), QStringLiteral("Chyba"),
                                     MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    if (EntryNameDiffersOnlyInCase(key, entry->Name, -1)) {
        Services.Dlg->MessageBox(QStringLiteral("Jména v jednom klíči se nemohou lišit jen velikostí písmen."),
                                 QStringLiteral("Chyba"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    Registry.AddValue(key, entry->Name, entry->TypeName, entry->Value);
    ValueView->addItem(MakeValueItem(key->Values.Entries.back(), code));
    ValueViewChange();
}

void TMainForm::EditBtnClick()
{
    RegKey* key = KeyOf(RegView->currentItem());
    const QList<QListWidgetItem*> selected = ValueView->selectedItems();
    if (!key || key->IsRoot() || selected.isEmpty())
        return;
    QListWidgetItem* item = selected.first();
    const int index = ValueView->row(item);
    const std::optional<RegEntry> entry = Windows.ValueForm->Execute(
        QStringLiteral("Editace jména a hodnoty"),
        RegEntry{EntryName(item->text()), EntryValue(item->text()), TypeNameOf(item->data(ImageRole).toInt())});
    if (!entry)
        return;
    const int code = TypeCodeOf(entry->TypeName);
    if (ValueEntryExists(key, entry->Name, entry->Value, code, index)) {
        Services.Dlg->MessageBox(QStringLiteral("Jméno a hodnota už existuje."), QStringLiteral("Chyba"),
                                     MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    if (EntryNameDiffersOnlyInCase(key, entry->Name, index)) {
        Services.Dlg->MessageBox(QStringLiteral("Jména v jednom klíči se nemohou lišit jen velikostí písmen."),
                                 QStringLiteral("Chyba"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    Registry.ChangeValue(key, index, entry->Name, entry->TypeName, entry->Value);
    SetValueItem(item, key->Values.Entries[index], code);
    ValueViewChange();
}

void TMainForm::DelBtnClick()
{
    RegKey* key = KeyOf(RegView->currentItem());
    const QList<QListWidgetItem*> selected = ValueView->selectedItems();
    if (!key || key->IsRoot() || selected.isEmpty())
        return;
    const int index = ValueView->row(selected.first());
    if (Services.Dlg->MessageBox(QStringLiteral("Opravdu chcete smazat toto jméno a hodnotu?"),
                                     QStringLiteral("Dotaz"), MsgIcon::Question, MsgButtons::YesNoCancel)
        != MsgAnswer::Yes)
        return;
    Registry.DeleteValue(key, index);
    RegViewChange();  // the list filled again, nothing selected
}

void TMainForm::OpenBtnClick()
{
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít ini soubor s informacemi o registrech");
    options.Filter = QStringLiteral("Soubory .ini (*.ini)|*.INI");
    options.InitialFolder = Paths::Join(ProgramFolder, QStringLiteral("Projekty"));
    options.MustExist = true;
    const std::optional<QString> path = Services.Dlg->OpenFile(options);
    if (!path)
        return;
    LoadRegIni(*path);
    Modified = true;  // also when the file added nothing
}

void TMainForm::SaveRegIni(const QString& path)
{
    if (QFileInfo::exists(path)
        && Services.Dlg->MessageBox(QStringLiteral("Soubor Reg.ini existuje. Přepsat?"), QStringLiteral("Dotaz"),
                                        MsgIcon::Question, MsgButtons::YesNoCancel)
               != MsgAnswer::Yes)
        return;
    ::SaveRegIni(path, Registry);
}

void TMainForm::LoadRegIni(const QString& path) { LoadRegIni(ProfileFile::Load(path), path); }

void TMainForm::LoadRegIni(const ProfileFile& profile, const QString& path)
{
    // The loader names each key it makes current. The items of new keys are made as it goes, but
    // hang in the view only at the end, a list per parent already shown: the view then lays out and
    // moves its expanded rows once, not once per key. The selection is set once at the end, where it
    // would rest after selecting each in turn.
    QHash<const RegKey*, QTreeWidgetItem*> items = ItemsByKey(RegView);
    std::vector<QTreeWidgetItem*> shownParents;  // in the order they first gained a key
    QHash<QTreeWidgetItem*, QList<QTreeWidgetItem*>> newChildren;
    std::vector<QTreeWidgetItem*> expand;
    QTreeWidgetItem* last = nullptr;
    const RegIniLoadReport report = ::LoadRegIni(profile, Registry, [&](RegKey* key) {
        QTreeWidgetItem* item = items.value(key);
        if (item) {
            item->setText(0, key->Name);  // a key named again in another letter case takes that spelling
        } else {
            QTreeWidgetItem* parentItem = items.value(key->Parent);
            item = MakeKeyItem(key);
            if (parentItem->treeWidget()) {
                auto list = newChildren.find(parentItem);
                if (list == newChildren.end()) {
                    list = newChildren.insert(parentItem, {});
                    shownParents.push_back(parentItem);
                }
                list->append(item);
            } else {
                parentItem->addChild(item);
            }
            if (expand.empty() || expand.back() != parentItem)
                expand.push_back(parentItem);
            items.insert(key, item);
        }
        last = item;
    });
    for (QTreeWidgetItem* parentItem : shownParents)
        parentItem->addChildren(newChildren.value(parentItem));
    for (QTreeWidgetItem* parentItem : expand)
        parentItem->setExpanded(true);
    if (last && last != RegView->currentItem())
        RegView->setCurrentItem(last);
    else
        RegViewChange();  // the shown key may have gained nothing, but its list is rebuilt all the same
    if (report.TooDeep == 0 && report.CaseMerged == 0)
        return;
    QString text = QStringLiteral("Soubor %1 nebyl načten celý.").arg(path);
    if (report.TooDeep > 0)
        text += QStringLiteral("\nVynechané sekce vnořené hlouběji než do %1 úrovní: %2")
                    .arg(MaxRegIniDepth)
                    .arg(report.TooDeep);
    if (report.CaseMerged > 0)
        text += QStringLiteral("\nSekce s klíčem, který se od jiného liší jen velikostí písmen (platí poslední): %1")
                    .arg(report.CaseMerged);
    Services.Dlg->MessageBox(text, QStringLiteral("Upozornění"), MsgIcon::Warning, MsgButtons::Ok);
}
