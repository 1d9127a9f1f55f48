#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// The registry keys and typed name/value entries that the extractor creates on the target machine.

// Two parallel lists: entry texts (name "=" value) and type codes as decimal text.
struct KeyValues {
    QStringList Entries;
    QStringList TypeCodes;
};

struct RegKey {
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey();  // iterative, so that a very deep subtree cannot overflow the stack

    QString Name;
    RegKey* Parent = nullptr;
    std::vector<std::unique_ptr<RegKey>> Children;
    KeyValues Values;

    int Depth() const;
    bool IsRoot() const { return Parent == nullptr; }
};

class RegistryTree {
public:
    RegistryTree();
    RegistryTree(const RegistryTree& other);
    RegistryTree& operator=(const RegistryTree& other);
    RegistryTree(RegistryTree&&) noexcept = default;
    RegistryTree& operator=(RegistryTree&&) noexcept = default;

    static const QStringList& RootNames();

    const std::vector<std::unique_ptr<RegKey>>& Roots() const { return RootKeys; }
    RegKey* Root(int index) const { return RootKeys[size_t(index)].get(); }

    // Back to the six root keys alone. Does not count as a change.
    void Reset();
    // All nodes, the six roots included.
    int NodeCount() const;
    bool HasKeysBelowRoots() const;

    // The six model operations; each one reports a change through OnChanged. Root keys are fixed:
    // renaming, deleting or giving entries to one, and an entry index out of range, change nothing.
    RegKey* AddKey(RegKey* parent, const QString& name);
    void RenameKey(RegKey* key, const QString& name);
    void DeleteKey(RegKey* key);
    void AddValue(RegKey* key, const QString& name, const QString& typeName, const QString& value);
    void ChangeValue(RegKey* key, int index, const QString& name, const QString& typeName, const QString& value);
    void DeleteValue(RegKey* key, int index);

    // Depth-first, parent before children, roots in their fixed order.
    void Walk(const std::function<void(RegKey*)>& visit) const;

    std::function<void()> OnChanged;

private:
    void Changed() const
    {
        if (OnChanged)
            OnChanged();
    }
    std::vector<std::unique_ptr<RegKey>> RootKeys;
};

bool operator==(const RegistryTree& a, const RegistryTree& b);

QString KeyPath(const RegKey* key);                // always joined with "\", on every platform
QString EntryName(const QString& entryText);       // text before the first "="
QString EntryValue(const QString& entryText);      // text after the first "="
int TypeCodeOf(const QString& typeName);           // exact match, -1 when none
QString TypeNameOf(int code);
