#include "RegistryPage.h"
#include "Controls.h"
#include "Forms.h"
#include "Guarded.h"
#include "Paths.h"
#include "ProfileFile.h"
#include "Project.h"
#include "RegIni.h"
#include "RegistryForms.h"
#include "RegistryModel.h"
#include <QFileInfo>
#include <QHash>
#include <QListView>
#include <QSet>
#include <QTreeView>
#include <vector>

namespace {

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

// Why the entry cannot join those of the key other than the one at index ignore: another with the
// same text and type, or one whose name differs only in letter case (merged as above); or nothing.
QString EntryRefusal(const RegKey* key, const RegEntry& entry, int ignore)
{
    const KeyValues& values = key->Values;
    const QString text = entry.Name + QLatin1Char('=') + entry.Value;
    const QString lower = ProfileFile::Lower(entry.Name);
    bool caseOnly = false;
    for (qsizetype i = 0; i < values.Entries.size(); ++i) {
        if (i == ignore)
            continue;
        if (i < values.TypeCodes.size() && values.Entries[i] == text
            && values.TypeCodes[i].toInt() == TypeCodeOf(entry.TypeName))
            return QStringLiteral("Jméno a hodnota už existuje.");
        const QString other = EntryName(values.Entries[i]);
        caseOnly = caseOnly || (other != entry.Name && ProfileFile::Lower(other) == lower);
    }
    return caseOnly ? QStringLiteral("Jména v jednom klíči se nemohou lišit jen velikostí písmen.") : QString();
}

// Every key with its index, parent before children, without recursion.
template <typename Visit>
void WalkIndexes(const RegistryKeyModel& model, Visit visit)
{
    std::vector<QModelIndex> stack;
    for (int row = model.rowCount() - 1; row >= 0; --row)
        stack.push_back(model.index(row, 0));
    while (!stack.empty()) {
        const QModelIndex index = stack.back();
        stack.pop_back();
        visit(RegistryKeyModel::KeyOf(index), index);
        for (int row = model.rowCount(index) - 1; row >= 0; --row)
            stack.push_back(model.index(row, 0, index));
    }
}

}  // namespace

RegistryPage::RegistryPage(const AppServices& services, const Forms& windows)
    : Dlg(services.Dlg), ProgramFolder(services.ProgramFolder), Windows(windows)
{
    setObjectName(QStringLiteral("RegistryPage"));
    Keys = new RegistryKeyModel(Registry, this);
    Values = new RegistryValueModel(Registry, this);
    Registry.OnChanged = [this] { emit Changed(); };

    Label(this, QStringLiteral("Hlavní klíče:"), 4, 8, "Label11");
    RegView = Make<QTreeView>(this, "RegView", 8, 24, 185, 185);
    RegView->setHeaderHidden(true);
    RegView->setModel(Keys);
    RegView->setIconSize(QSize(16, 16));
    Label(this, QStringLiteral("Jména a hodnoty:"), 280, 8, "Label12");
    ValueView = Make<QListView>(this, "ValueView", 284, 24, 161, 185);
    ValueView->setModel(Values);
    ValueView->setIconSize(QSize(16, 16));
    auto button = [this](const char* name, const QString& caption, const QString& hint, int x, int y, int w,
                         void (RegistryPage::*handler)()) {
        QPushButton* made = Button(this, name, caption, hint, x, y, w, 25);
        connect(made, &QPushButton::clicked, this, Guarded(this, Dlg, handler));
        return made;
    };
    AddKeyBtn = button("AddKeyBtn", QStringLiteral("Přidat klíč"),
                       QStringLiteral("Přidá nový klíč do zvoleného kořenového klíče"), 196, 24, 85,
                       &RegistryPage::AddKeyBtnClick);
    EditKeyBtn = button("EditKeyBtn", QStringLiteral("Editovat klíč"), QStringLiteral("Edituje zvolený klíč"), 196, 56,
                        85, &RegistryPage::EditKeyBtnClick);
    DelKeyBtn = button("DelKeyBtn", QStringLiteral("Smazat klíč"),
                       QStringLiteral("Smaže zvolený klíč se všemi podklíči a jejich hodnotami"), 196, 88, 85,
                       &RegistryPage::DelKeyBtnClick);
    button("OpenBtn", QStringLiteral("Otevřít .ini"),
           QStringLiteral("Načte informace o modifikaci registrů z ini souboru"), 196, 184, 85,
           &RegistryPage::OpenBtnClick);
    AddBtn = button("AddBtn", QStringLiteral("Přidat"), QStringLiteral("Přidá jméno a hodnotu do zvoleného klíče"), 448,
                    24, 75, &RegistryPage::AddBtnClick);
    EditBtn = button("EditBtn", QStringLiteral("Editovat"), QStringLiteral("Edituje jméno a hodnotu ve zvoleném klíči"),
                     448, 56, 75, &RegistryPage::EditBtnClick);
    DelBtn = button("DelBtn", QStringLiteral("Smazat"), QStringLiteral("Smaže jméno a hodnotu ve zvoleném klíči"), 448,
                    88, 75, &RegistryPage::DelBtnClick);
    connect(RegView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            Guarded(this, Dlg, &RegistryPage::RegViewChange));
    connect(ValueView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            Guarded(this, Dlg, &RegistryPage::ValueViewChange));
    RegViewChange();
}

// The views go before the tree their models show.
RegistryPage::~RegistryPage()
{
    delete RegView;
    delete ValueView;
}

void RegistryPage::Apply(const Project& project)
{
    Values->SetKey(nullptr);
    Keys->Rebuild([&] { Registry = project.Registry; });
    RegViewChange();
}

void RegistryPage::Collect(Project& project) const
{
    project.Registry = Registry;
    project.Registry.OnChanged = nullptr;
}

RegKey* RegistryPage::CurrentKey() const { return RegistryKeyModel::KeyOf(RegView->currentIndex()); }

int RegistryPage::SelectedRow() const
{
    const QModelIndexList selected = ValueView->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void RegistryPage::RegViewChange()
{
    RegKey* key = CurrentKey();
    const bool belowRoot = key && !key->IsRoot();
    AddKeyBtn->setEnabled(key != nullptr);
    AddBtn->setEnabled(belowRoot);
    EditKeyBtn->setEnabled(belowRoot);
    DelKeyBtn->setEnabled(belowRoot);
    Values->SetKey(key);  // a root key shows an empty list
    ValueViewChange();
}

void RegistryPage::ValueViewChange()
{
    const int row = SelectedRow();
    EditBtn->setEnabled(row >= 0);
    DelBtn->setEnabled(row >= 0);
    // This list is the one control that shows its hint: the selected entry's type.
    ValueView->setToolTip(row < 0 ? QString()
                                  : TypeNameOf(Values->index(row).data(RegistryValueModel::TypeCodeRole).toInt()));
}

void RegistryPage::AddKeyBtnClick()
{
    const QModelIndex parentIndex = RegView->currentIndex();
    RegKey* parent = RegistryKeyModel::KeyOf(parentIndex);
    if (!parent)
        return;
    const std::optional<QString> name = Windows.KeyForm->Execute(QStringLiteral("Nový klíč"));
    if (!name)
        return;
    if (KeyNameUsedAtLevel(Registry, *name, parent->Depth() + 1, nullptr))
        return Refuse(*Dlg, QStringLiteral("Klíče stejného vnoření nemohou mít stejné názvy."));
    // A deeper key would be saved and then never loaded again.
    if (parent->Depth() + 1 > MaxRegIniDepth)
        return Refuse(*Dlg, QStringLiteral("Klíč nelze vnořit hlouběji než do %1 úrovní.").arg(MaxRegIniDepth));
    if (SiblingDiffersOnlyInCase(parent, *name, nullptr))
        return Refuse(*Dlg, QStringLiteral("Klíče v jednom klíči se nemohou lišit jen velikostí písmen."));
    Keys->AddKey(parent, *name);
    RegView->expand(parentIndex);
}

void RegistryPage::EditKeyBtnClick()
{
    RegKey* key = CurrentKey();
    if (!key || key->IsRoot())
        return;
    const std::optional<QString> name = Windows.KeyForm->Execute(QStringLiteral("Editace klíče"), key->Name);
    if (!name)
        return;
    if (KeyNameUsedAtLevel(Registry, *name, key->Depth(), key))
        return Refuse(*Dlg, QStringLiteral("Klíče stejného vnoření nemohou mít stejné názvy."));
    if (SiblingDiffersOnlyInCase(key->Parent, *name, key))
        return Refuse(*Dlg, QStringLiteral("Klíče v jednom klíči se nemohou lišit jen velikostí písmen."));
    Keys->RenameKey(key, *name);
}

void RegistryPage::DelKeyBtnClick()
{
    RegKey* key = CurrentKey();
    if (!key || key->IsRoot())
        return;
    if (Ask(*Dlg, QStringLiteral("Opravdu chcete smazat klíč se všemi hodnotami?")) != MsgAnswer::Yes)
        return;
    // While the row goes, the view moves the current key to one that stays; it is selected too.
    Values->SetKey(nullptr);
    Keys->DeleteKey(key);
    if (const QModelIndex current = RegView->currentIndex(); current.isValid())
        RegView->selectionModel()->select(current, QItemSelectionModel::Select);
    RegViewChange();
}

void RegistryPage::AddBtnClick()
{
    RegKey* key = Values->Key();
    if (!key)
        return;
    const std::optional<RegEntry> entry = Windows.ValueForm->Execute(QStringLiteral("Přidání nového jména a hodnoty"));
    if (!entry)
        return;
    if (const QString refusal = EntryRefusal(key, *entry, -1); !refusal.isEmpty())
        return Refuse(*Dlg, refusal);
    Values->AddValue(entry->Name, entry->TypeName, entry->Value);
    ValueViewChange();
}

void RegistryPage::EditBtnClick()
{
    RegKey* key = Values->Key();
    const int row = SelectedRow();
    if (!key || row < 0)
        return;
    const QString text = key->Values.Entries[row];
    const std::optional<RegEntry> entry = Windows.ValueForm->Execute(
        QStringLiteral("Editace jména a hodnoty"),
        RegEntry{EntryName(text), EntryValue(text), TypeNameOf(key->Values.TypeCodes[row].toInt())});
    if (!entry)
        return;
    if (const QString refusal = EntryRefusal(key, *entry, row); !refusal.isEmpty())
        return Refuse(*Dlg, refusal);
    Values->ChangeValue(row, entry->Name, entry->TypeName, entry->Value);
    ValueViewChange();
}

void RegistryPage::DelBtnClick()
{
    const int row = SelectedRow();
    if (!Values->Key() || row < 0)
        return;
    if (Ask(*Dlg, QStringLiteral("Opravdu chcete smazat toto jméno a hodnotu?")) != MsgAnswer::Yes)
        return;
    Values->DeleteValue(row);
    RegViewChange();  // the list from the start, nothing selected
}

void RegistryPage::OpenBtnClick()
{
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít ini soubor s informacemi o registrech");
    options.Filter = QStringLiteral("Soubory .ini (*.ini)|*.INI");
    options.InitialFolder = Paths::Join(ProgramFolder, QStringLiteral("Projekty"));
    const std::optional<QString> path = Dlg->OpenFile(options);
    if (!path)
        return;
    LoadRegIni(*path);
    emit Changed();  // also when the file added nothing
}

void RegistryPage::SaveRegIni(const QString& path)
{
    if (QFileInfo::exists(path) && Ask(*Dlg, QStringLiteral("Soubor Reg.ini existuje. Přepsat?")) != MsgAnswer::Yes)
        return;
    ::SaveRegIni(path, Registry);
}

void RegistryPage::LoadRegIni(const QString& path) { LoadRegIni(ProfileFile::ReadFile(path), path); }

void RegistryPage::LoadRegIni(const QByteArray& bytes, const QString& path)
{
    // One reset for the whole load: a view told of every new key lays itself out once per key.
    // What was open stays open, the parents of new keys open, and the last key loaded is shown.
    RegKey* shown = CurrentKey();
    QHash<const RegKey*, size_t> childrenBefore;
    QSet<const RegKey*> open;
    WalkIndexes(*Keys, [&](const RegKey* key, const QModelIndex& index) {
        childrenBefore.insert(key, key->Children.size());
        if (RegView->isExpanded(index))
            open.insert(key);
    });
    Values->SetKey(nullptr);
    RegIniLoadReport report;
    Keys->Rebuild([&] { report = ::LoadRegIni(bytes, Registry); });
    // A load only adds keys, at the end of their parents: one that has more children gained keys.
    WalkIndexes(*Keys, [&](const RegKey* key, const QModelIndex& index) {
        const auto before = childrenBefore.constFind(key);
        if (open.contains(key) || key->Children.size() > (before == childrenBefore.cend() ? 0 : *before))
            RegView->expand(index);
    });
    if (RegKey* last = report.Last ? report.Last : shown)
        RegView->setCurrentIndex(Keys->IndexOf(last));
    else
        RegViewChange();
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
    Dlg->MessageBox(text, QStringLiteral("Upozornění"), MsgIcon::Warning, MsgButtons::Ok);
}
