#include "RegistryText.h"

namespace {

RegKey* Child(RegKey* parent, const QString& name)
{
    for (const auto& child : parent->Children)
        if (child->Name == name)
            return child.get();
    return nullptr;
}

}  // namespace

RegKey* FindKey(const RegistryTree& tree, const QString& path)
{
    const QStringList parts = path.split(QLatin1Char('\\'));
    const qsizetype root = RegistryTree::RootNames().indexOf(parts[0]);
    if (root < 0)
        return nullptr;
    RegKey* key = tree.Root(int(root));
    for (qsizetype i = 1; key && i < parts.size(); ++i)
        key = Child(key, parts[i]);
    return key;
}

void BuildTree(RegistryTree& tree, const QStringList& items)
{
    for (const QString& item : items) {
        const QStringList fields = item.split(QLatin1Char('|'));
        const QStringList parts = fields[0].split(QLatin1Char('\\'));
        RegKey* key = tree.Root(int(RegistryTree::RootNames().indexOf(parts[0])));
        for (qsizetype i = 1; i < parts.size(); ++i) {
            RegKey* next = Child(key, parts[i]);
            key = next ? next : tree.AddKey(key, parts[i]);
        }
        if (fields.size() == 4)
            tree.AddValue(key, fields[1], fields[2], fields[3]);
    }
}

RegistryTree TreeOf(const QStringList& items)
{
    RegistryTree tree;
    BuildTree(tree, items);
    return tree;
}

QStringList DumpTree(const RegistryTree& tree)
{
    QStringList lines;
    tree.Walk([&lines](RegKey* key) {
        if (key->IsRoot())
            return;
        const QString path = KeyPath(key);
        lines << path;
        for (qsizetype i = 0; i < key->Values.Entries.size(); ++i)
            lines << path + QLatin1Char('|') + EntryName(key->Values.Entries[i]) + QLatin1Char('|')
                         + TypeNameOf(key->Values.TypeCodes.value(i).toInt()) + QLatin1Char('|')
                         + EntryValue(key->Values.Entries[i]);
    });
    return lines;
}
