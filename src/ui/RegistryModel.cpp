#include "RegistryModel.h"
#include <algorithm>
#include <iterator>

QPixmap RegistryImage(int index)
{
    static const char* const names[] = {"key",    "key-selected", "boolean", "currency", "date",
                                        "datetime", "float",       "integer", "string",   "time"};
    if (index < 0 || index >= int(std::size(names)))
        return QPixmap();
    return QPixmap(QStringLiteral(":/registry/%1.png").arg(QLatin1String(names[index])));
}

namespace {

// An icon of image normal, showing image selected while its row is selected.
QIcon RegistryIcon(int normal, int selected)
{
    QIcon icon;
    icon.addPixmap(RegistryImage(normal), QIcon::Normal);
    // Without a pixmap of its own a selected row would show the image tinted.
    icon.addPixmap(RegistryImage(selected), QIcon::Selected);
    return icon;
}

}  // namespace

RegistryKeyModel::RegistryKeyModel(RegistryTree& tree, QObject* parent)
    : QAbstractItemModel(parent), Tree(tree), RootIcon(RegistryIcon(0, 0)), KeyIcon(RegistryIcon(0, 1))
{
}

QModelIndex RegistryKeyModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    const RegKey* owner = KeyOf(parent);
    return createIndex(row, column, owner ? owner->Children[size_t(row)].get() : Tree.Root(row));
}

QModelIndex RegistryKeyModel::parent(const QModelIndex& child) const
{
    const RegKey* key = KeyOf(child);
    if (!key || key->IsRoot())
        return {};
    return createIndex(RowOf(key->Parent), 0, key->Parent);
}

int RegistryKeyModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const RegKey* key = KeyOf(parent);
    return key ? int(key->Children.size()) : int(Tree.Roots().size());
}

int RegistryKeyModel::columnCount(const QModelIndex&) const { return 1; }

QVariant RegistryKeyModel::data(const QModelIndex& index, int role) const
{
    const RegKey* key = KeyOf(index);
    if (!key)
        return {};
    if (role == Qt::DisplayRole)
        return key->Name;
    if (role == Qt::DecorationRole)
        return key->IsRoot() ? RootIcon : KeyIcon;
    return {};
}

RegKey* RegistryKeyModel::KeyOf(const QModelIndex& index)
{
    return index.isValid() ? static_cast<RegKey*>(index.internalPointer()) : nullptr;
}

QModelIndex RegistryKeyModel::IndexOf(const RegKey* key) const
{
    return key ? createIndex(RowOf(key), 0, const_cast<RegKey*>(key)) : QModelIndex();
}

int RegistryKeyModel::RowOf(const RegKey* key) const
{
    const auto& siblings = key->IsRoot() ? Tree.Roots() : key->Parent->Children;
    const auto it = std::find_if(siblings.begin(), siblings.end(), [key](const auto& k) { return k.get() == key; });
    return int(it - siblings.begin());
}

RegKey* RegistryKeyModel::AddKey(RegKey* parent, const QString& name)
{
    const int row = int(parent->Children.size());
    beginInsertRows(IndexOf(parent), row, row);
    RegKey* key = Tree.AddKey(parent, name);
    endInsertRows();
    return key;
}

void RegistryKeyModel::RenameKey(RegKey* key, const QString& name)
{
    Tree.RenameKey(key, name);
    const QModelIndex index = IndexOf(key);
    emit dataChanged(index, index, {Qt::DisplayRole});
}

void RegistryKeyModel::DeleteKey(RegKey* key)
{
    if (key->IsRoot())
        return;
    const QModelIndex index = IndexOf(key);
    beginRemoveRows(index.parent(), index.row(), index.row());
    Tree.DeleteKey(key);
    endRemoveRows();
}

RegistryValueModel::RegistryValueModel(RegistryTree& tree, QObject* parent) : QAbstractListModel(parent), Tree(tree)
{
    for (int code = 2; code <= 9; ++code)
        Icons[code] = RegistryIcon(code, code);
}

int RegistryValueModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !Shown)
        return 0;
    return int(std::min(Shown->Values.Entries.size(), Shown->Values.TypeCodes.size()));
}

QVariant RegistryValueModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int code = Shown->Values.TypeCodes[index.row()].toInt();
    switch (role) {
    case Qt::DisplayRole: return Shown->Values.Entries[index.row()];
    case Qt::DecorationRole: return code >= 2 && code <= 9 ? Icons[code] : QIcon();
    case TypeCodeRole: return code;
    default: return {};
    }
}

void RegistryValueModel::SetKey(RegKey* key)
{
    beginResetModel();
    Shown = key && !key->IsRoot() ? key : nullptr;
    endResetModel();
}

void RegistryValueModel::AddValue(const QString& name, const QString& typeName, const QString& value)
{
    if (!Shown)
        return;
    const int row = rowCount();
    beginInsertRows({}, row, row);
    Tree.AddValue(Shown, name, typeName, value);
    endInsertRows();
}

void RegistryValueModel::ChangeValue(int row, const QString& name, const QString& typeName, const QString& value)
{
    if (!Shown || row < 0 || row >= rowCount())
        return;
    Tree.ChangeValue(Shown, row, name, typeName, value);
    emit dataChanged(index(row), index(row));
}

void RegistryValueModel::DeleteValue(int row)
{
    if (!Shown || row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    Tree.DeleteValue(Shown, row);
    endRemoveRows();
}
