#include "RegistryTree.h"
#include <algorithm>

// The type code as text. The eight codes share static texts: a large tree holds one per entry.
static QString CodeText(int code)
{
    static const QString texts[] = {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                                    QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9")};
    return code >= 2 && code <= 9 ? texts[code - 2] : QString::number(code);
}

const QStringList& RegistryTree::RootNames()
{
    static const QStringList names = {
        QStringLiteral("HKEY_CURRENT_USER"), QStringLiteral("HKEY_CLASSES_ROOT"),
        QStringLiteral("HKEY_LOCAL_MACHINE"), QStringLiteral("HKEY_USERS"),
        QStringLiteral("HKEY_CURRENT_CONFIG"), QStringLiteral("HKEY_DYN_DATA")};
    return names;
}

int RegKey::Depth() const
{
    int depth = 0;
    for (const RegKey* k = Parent; k; k = k->Parent)
        ++depth;
    return depth;
}

RegKey::~RegKey()
{
    // Take the descendants apart one level at a time, so that each dies without children.
    std::vector<std::unique_ptr<RegKey>> pending = std::move(Children);
    while (!pending.empty()) {
        std::unique_ptr<RegKey> key = std::move(pending.back());
        pending.pop_back();
        for (auto& child : key->Children)
            pending.push_back(std::move(child));
        key->Children.clear();
    }
}

RegistryTree::RegistryTree() { Reset(); }

// Iterative for the same reason as the destructor.
static std::unique_ptr<RegKey> CloneKey(const RegKey& source)
{
    auto top = std::make_unique<RegKey>();
    std::vector<std::pair<const RegKey*, RegKey*>> stack{{&source, top.get()}};
    while (!stack.empty()) {
        auto [from, to] = stack.back();
        stack.pop_back();
        to->Name = from->Name;
        to->Values = from->Values;
        to->Children.reserve(from->Children.size());
        for (const auto& child : from->Children) {
            auto copy = std::make_unique<RegKey>();
            copy->Parent = to;
            stack.emplace_back(child.get(), copy.get());
            to->Children.push_back(std::move(copy));
        }
    }
    return top;
}

RegistryTree::RegistryTree(const RegistryTree& other) : OnChanged(other.OnChanged)
{
    for (const auto& root : other.RootKeys)
        RootKeys.push_back(CloneKey(*root));
}

RegistryTree& RegistryTree::operator=(const RegistryTree& other)
{
    // Copied first, so that assigning a tree to itself is safe too.
    RegistryTree copy(other);
    RootKeys = std::move(copy.RootKeys);
    return *this;
}

void RegistryTree::Reset()
{
    RootKeys.clear();
    for (const QString& name : RootNames()) {
        auto root = std::make_unique<RegKey>();
        root->Name = name;
        RootKeys.push_back(std::move(root));
    }
}

int RegistryTree::NodeCount() const
{
    int count = 0;
    Walk([&count](RegKey*) { ++count; });
    return count;
}

bool RegistryTree::HasKeysBelowRoots() const
{
    return std::any_of(RootKeys.begin(), RootKeys.end(), [](const auto& root) { return !root->Children.empty(); });
}

RegKey* RegistryTree::AddKey(RegKey* parent, const QString& name)
{
    auto key = std::make_unique<RegKey>();
    key->Name = name;
    key->Parent = parent;
    RegKey* raw = key.get();
    parent->Children.push_back(std::move(key));
    Changed();
    return raw;
}

void RegistryTree::RenameKey(RegKey* key, const QString& name)
{
    if (key->IsRoot())
        return;
    key->Name = name;
    Changed();
}

void RegistryTree::DeleteKey(RegKey* key)
{
    if (key->IsRoot())
        return;
    auto& siblings = key->Parent->Children;
    const auto it
        = std::find_if(siblings.begin(), siblings.end(), [key](const auto& child) { return child.get() == key; });
    if (it != siblings.end()) {
        siblings.erase(it);
        Changed();
    }
}

static bool ValidIndex(const RegKey* key, int index)
{
    return index >= 0 && index < key->Values.Entries.size() && index < key->Values.TypeCodes.size();
}

void RegistryTree::AddValue(RegKey* key, const QString& name, const QString& typeName, const QString& value)
{
    if (key->IsRoot())
        return;
    key->Values.Entries.append(name + QLatin1Char('=') + value);
    key->Values.TypeCodes.append(CodeText(TypeCodeOf(typeName)));
    Changed();
}

void RegistryTree::ChangeValue(RegKey* key, int index, const QString& name, const QString& typeName,
                               const QString& value)
{
    if (key->IsRoot() || !ValidIndex(key, index))
        return;
    key->Values.Entries[index] = name + QLatin1Char('=') + value;
    key->Values.TypeCodes[index] = CodeText(TypeCodeOf(typeName));
    Changed();
}

void RegistryTree::DeleteValue(RegKey* key, int index)
{
    if (key->IsRoot() || !ValidIndex(key, index))
        return;
    key->Values.Entries.removeAt(index);
    key->Values.TypeCodes.removeAt(index);
    Changed();
}

// Iterative, so that a very deep tree cannot overflow the stack.
void RegistryTree::Walk(const std::function<void(RegKey*)>& visit) const
{
    std::vector<RegKey*> stack;
    for (auto it = RootKeys.rbegin(); it != RootKeys.rend(); ++it)
        stack.push_back(it->get());
    while (!stack.empty()) {
        RegKey* key = stack.back();
        stack.pop_back();
        visit(key);
        for (auto it = key->Children.rbegin(); it != key->Children.rend(); ++it)
            stack.push_back(it->get());
    }
}

bool operator==(const RegistryTree& a, const RegistryTree& b)
{
    // Iterative for the same reason as the walk.
    std::vector<std::pair<const RegKey*, const RegKey*>> stack;
    for (int i = 0; i < 6; ++i)
        stack.emplace_back(a.Root(i), b.Root(i));
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        if (x->Name != y->Name || x->Values.Entries != y->Values.Entries
            || x->Values.TypeCodes != y->Values.TypeCodes || x->Children.size() != y->Children.size())
            return false;
        for (size_t i = 0; i < x->Children.size(); ++i)
            stack.emplace_back(x->Children[i].get(), y->Children[i].get());
    }
    return true;
}

QString KeyPath(const RegKey* key)
{
    // Collected first and joined once: prepending name by name grows quadratically with the depth.
    QStringList names;
    for (const RegKey* k = key; k; k = k->Parent)
        names.prepend(k->Name);
    return names.join(QLatin1Char('\\'));
}

QString EntryName(const QString& entryText)
{
    const qsizetype i = entryText.indexOf(QLatin1Char('='));
    return i < 0 ? entryText : entryText.left(i);
}

QString EntryValue(const QString& entryText)
{
    const qsizetype i = entryText.indexOf(QLatin1Char('='));
    return i < 0 ? QString() : entryText.mid(i + 1);
}

static const char* const TypeNames[] = {"Boolean", "Currency", "Date", "DateTime", "Float", "Integer", "String", "Time"};

int TypeCodeOf(const QString& typeName)
{
    for (int i = 0; i < 8; ++i)
        if (typeName == QLatin1String(TypeNames[i]))
            return i + 2;
    return -1;
}

QString TypeNameOf(int code)
{
    if (code < 2 || code > 9)
        return QString();
    return QLatin1String(TypeNames[code - 2]);
}
