#pragma once
#include "RegistryTree.h"
#include <QAbstractItemModel>
#include <QIcon>
#include <QPixmap>

// ImageList1 of the registry page: ten 16 x 16 images from the resources.
// 0 a key, 1 a key below a root while selected, 2..9 an entry of the value type with that code.
QPixmap RegistryImage(int index);

// The keys of a RegistryTree for the tree view: the six roots are the top rows, an index points at
// its RegKey. Changes to the keys go through here, so that the view follows them.
class RegistryKeyModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit RegistryKeyModel(RegistryTree& tree, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    static RegKey* KeyOf(const QModelIndex& index);
    QModelIndex IndexOf(const RegKey* key) const;

    RegKey* AddKey(RegKey* parent, const QString& name);
    void RenameKey(RegKey* key, const QString& name);
    void DeleteKey(RegKey* key);
    // Any other change to the tree: the view starts again once it is done.
    template <typename Change>
    void Rebuild(Change change)
    {
        beginResetModel();
        change();
        endResetModel();
    }

private:
    int RowOf(const RegKey* key) const;
    RegistryTree& Tree;
    // Made once and shared by every row; they go with the page, before the application object.
    const QIcon RootIcon;
    const QIcon KeyIcon;
};

// The entries of one key below the roots for the list view; a root key or none shows nothing.
class RegistryValueModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int TypeCodeRole = Qt::UserRole;

    explicit RegistryValueModel(RegistryTree& tree, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    RegKey* Key() const { return Shown; }
    void SetKey(RegKey* key);  // its entries, shown from the start
    void AddValue(const QString& name, const QString& typeName, const QString& value);
    void ChangeValue(int row, const QString& name, const QString& typeName, const QString& value);
    void DeleteValue(int row);

private:
    RegistryTree& Tree;
    RegKey* Shown = nullptr;
    QIcon Icons[10];  // by type code
};
