#include "RegistryText.h"
#include "RegistryTree.h"
#include <QTest>
#include <functional>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

}  // namespace

class TestRegistryTree : public QObject {
    Q_OBJECT
private slots:
    void operations_data();
    void operations();
    void texts_data();
    void texts();
    void deepTreeNeedsNoDeepStack();
    void copyIsIndependent();
};

using Operation = std::function<void(RegistryTree&)>;
Q_DECLARE_METATYPE(Operation)

void TestRegistryTree::operations_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("changes");

    // Every test starts from HKEY_CURRENT_USER\A with B below it, and two entries on A.
    auto a = [](RegistryTree& t) { return FindKey(t, S("HKEY_CURRENT_USER\\A")); };
    QTest::newRow("a new key is its parent's last child")
        << Operation([a](RegistryTree& t) { t.AddKey(a(t), S("C")); })
        << QStringList{S("HKEY_CURRENT_USER\\A"), S("HKEY_CURRENT_USER\\A|x|String|1"), S("HKEY_CURRENT_USER\\A|y|Time|2"),
                       S("HKEY_CURRENT_USER\\A\\B"), S("HKEY_CURRENT_USER\\A\\C")}
        << 1;
    QTest::newRow("rename keeps children and entries")
        << Operation([a](RegistryTree& t) { t.RenameKey(a(t), S("Z")); })
        << QStringList{S("HKEY_CURRENT_USER\\Z"), S("HKEY_CURRENT_USER\\Z|x|String|1"), S("HKEY_CURRENT_USER\\Z|y|Time|2"),
                       S("HKEY_CURRENT_USER\\Z\\B")}
        << 1;
    QTest::newRow("delete takes the whole subtree")
        << Operation([a](RegistryTree& t) { t.DeleteKey(a(t)); }) << QStringList() << 1;
    QTest::newRow("change replaces text and type in place")
        << Operation([a](RegistryTree& t) { t.ChangeValue(a(t), 0, S("x"), S("Integer"), S("7")); })
        << QStringList{S("HKEY_CURRENT_USER\\A"), S("HKEY_CURRENT_USER\\A|x|Integer|7"), S("HKEY_CURRENT_USER\\A|y|Time|2"),
                       S("HKEY_CURRENT_USER\\A\\B")}
        << 1;
    QTest::newRow("delete value moves the later ones up")
        << Operation([a](RegistryTree& t) { t.DeleteValue(a(t), 0); })
        << QStringList{S("HKEY_CURRENT_USER\\A"), S("HKEY_CURRENT_USER\\A|y|Time|2"), S("HKEY_CURRENT_USER\\A\\B")} << 1;
    const QStringList unchanged{S("HKEY_CURRENT_USER\\A"), S("HKEY_CURRENT_USER\\A|x|String|1"),
                                S("HKEY_CURRENT_USER\\A|y|Time|2"), S("HKEY_CURRENT_USER\\A\\B")};
    QTest::newRow("a root cannot be deleted") << Operation([](RegistryTree& t) { t.DeleteKey(t.Root(0)); })
                                              << unchanged << 0;
    QTest::newRow("a root cannot be renamed") << Operation([](RegistryTree& t) { t.RenameKey(t.Root(0), S("X")); })
                                              << unchanged << 0;
    QTest::newRow("a root holds no entries")
        << Operation([](RegistryTree& t) { t.AddValue(t.Root(0), S("n"), S("String"), S("v")); }) << unchanged << 0;
    QTest::newRow("an entry index out of range changes nothing")
        << Operation([a](RegistryTree& t) {
               t.ChangeValue(a(t), 2, S("n"), S("String"), S("v"));
               t.DeleteValue(a(t), -1);
               t.DeleteValue(a(t), 2);
           })
        << unchanged << 0;
}

void TestRegistryTree::operations()
{
    QFETCH(Operation, operation);
    QFETCH(QStringList, after);
    QFETCH(int, changes);
    RegistryTree tree = TreeOf({S("HKEY_CURRENT_USER\\A|x|String|1"), S("HKEY_CURRENT_USER\\A|y|Time|2"),
                                S("HKEY_CURRENT_USER\\A\\B")});
    int changed = 0;
    tree.OnChanged = [&changed] { ++changed; };
    operation(tree);
    QCOMPARE(DumpTree(tree), after);
    QCOMPARE(changed, changes);
    QCOMPARE(tree.Roots().size(), size_t(6));
}

void TestRegistryTree::texts_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("split at the first =") << S("a=b=c") << S("a") << S("b=c");
    QTest::newRow("empty value") << S("a=") << S("a") << QString();
    QTest::newRow("empty name") << S("=b") << QString() << S("b");
}

void TestRegistryTree::texts()
{
    QFETCH(QString, entry);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QCOMPARE(EntryName(entry), name);
    QCOMPARE(EntryValue(entry), value);
    // Type names are exact; codes run from 2 to 9 in this order.
    const QStringList names{S("Boolean"), S("Currency"), S("Date"), S("DateTime"),
                            S("Float"),   S("Integer"),  S("String"), S("Time")};
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(TypeCodeOf(names[i]), i + 2);
        QCOMPARE(TypeNameOf(i + 2), names[i]);
        QCOMPARE(TypeCodeOf(names[i].toLower()), -1);
    }
    QCOMPARE(TypeCodeOf(S("String ")), -1);
}

void TestRegistryTree::deepTreeNeedsNoDeepStack()
{
    // Far deeper than any stack holds frame by frame: copy, compare, path and destruction must not recurse.
    RegistryTree tree;
    RegKey* key = tree.Root(2);
    for (int i = 0; i < 300000; ++i)
        key = tree.AddKey(key, S("k"));
    tree.AddValue(key, S("n"), S("String"), S("v"));
    QVERIFY(tree.HasKeysBelowRoots());
    QCOMPARE(KeyPath(key).size(), 18 + 300000 * 2);
    {
        RegistryTree copy(tree);
        QVERIFY(copy == tree);
        copy.DeleteValue(FindKey(copy, KeyPath(key)), 0);
        QVERIFY(!(copy == tree));
    }
    tree.DeleteKey(tree.Root(2)->Children.front().get());
    QVERIFY(!tree.HasKeysBelowRoots());
}

void TestRegistryTree::copyIsIndependent()
{
    RegistryTree tree = TreeOf({S("HKEY_USERS\\A\\B|n|Float|1")});
    RegistryTree copy = tree;
    copy.RenameKey(FindKey(copy, S("HKEY_USERS\\A")), S("Z"));
    QCOMPARE(DumpTree(tree), (QStringList{S("HKEY_USERS\\A"), S("HKEY_USERS\\A\\B"), S("HKEY_USERS\\A\\B|n|Float|1")}));
    QCOMPARE(FindKey(copy, S("HKEY_USERS\\Z\\B"))->Parent, FindKey(copy, S("HKEY_USERS\\Z")));
    tree.Reset();
    QVERIFY(!tree.HasKeysBelowRoots());
    QCOMPARE(tree.NodeCount(), 6);
}

QTEST_GUILESS_MAIN(TestRegistryTree)
#include "tst_registrytree.moc"
