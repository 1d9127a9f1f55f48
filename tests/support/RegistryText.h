#pragma once
#include "RegistryTree.h"
#include <QStringList>

// Registry trees for tests, written and compared as text.

// Builds keys and entries in order: "path" makes the key (and the keys above it, matched exactly);
// "path|name|Type|value" also adds the entry.
void BuildTree(RegistryTree& tree, const QStringList& items);
RegistryTree TreeOf(const QStringList& items);
// The key at that path, matched exactly; nullptr when there is none.
RegKey* FindKey(const RegistryTree& tree, const QString& path);
// Depth-first: "path" per key below the roots and "path|name|Type|value" per entry.
QStringList DumpTree(const RegistryTree& tree);
