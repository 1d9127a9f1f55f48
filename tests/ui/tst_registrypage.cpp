#include "Error.h"
#include "RegistryForms.h"
#include "Paths.h"
#include "RegIni.h"
#include "RegistryModel.h"
#include "TimeBounds.h"
#include "RegistryText.h"
#include "TestEnv.h"
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QAbstractItemModelTester>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include "RegistryPage.h"

Q_DECLARE_METATYPE(MsgAnswer)

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

struct Page {
    TestEnv env;
    TMainForm* main;
    RegistryPage* registry;
    TKeyForm* keyForm;
    TValueForm* valueForm;
    QTreeView* RegView;
    QListView* ValueView;
    QPushButton *AddKeyBtn, *EditKeyBtn, *DelKeyBtn, *AddBtn, *EditBtn, *DelBtn, *OpenBtn;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;

    explicit Page(const QStringList& tree = {}, bool checkModels = true)
    {
        main = env.Start();
        registry = main->findChild<RegistryPage*>("RegistryPage");
        keyForm = main->Windows.KeyForm;
        valueForm = main->Windows.ValueForm;
        RegView = registry->findChild<QTreeView*>("RegView");
        ValueView = registry->findChild<QListView*>("ValueView");
        for (auto [button, name] : {std::pair{&AddKeyBtn, "AddKeyBtn"}, {&EditKeyBtn, "EditKeyBtn"}, {&DelKeyBtn, "DelKeyBtn"},
                                    {&AddBtn, "AddBtn"}, {&EditBtn, "EditBtn"}, {&DelBtn, "DelBtn"}, {&OpenBtn, "OpenBtn"}})
            *button = registry->findChild<QPushButton*>(name);
        // Every change the tests make is checked against what views may expect of a model.
        if (checkModels)
            for (QAbstractItemModel* model : {RegView->model(), ValueView->model()})
                testers.push_back(std::make_unique<QAbstractItemModelTester>(
                    model, QAbstractItemModelTester::FailureReportingMode::QtTest));
        Project project;
        BuildTree(project.Registry, tree);
        registry->Apply(project);
        main->Modified = false;
    }

    const RegistryTree& Tree() const { return registry->Tree(); }

    QModelIndex Item(const QString& path) const
    {
        const QAbstractItemModel* model = RegView->model();
        QModelIndex found;
        for (const QString& part : path.split(QLatin1Char('\\'))) {
            QModelIndex next;
            for (int i = 0; i < model->rowCount(found) && !next.isValid(); ++i)
                if (model->index(i, 0, found).data().toString() == part)
                    next = model->index(i, 0, found);
            if (!next.isValid())
                return {};
            found = next;
        }
        return found;
    }

    void Select(const QString& path) const
    {
        const QModelIndex item = Item(path);
        QVERIFY2(item.isValid(), qPrintable(path));
        RegView->setCurrentIndex(item);
    }

    void SelectEntry(int row) const { ValueView->setCurrentIndex(ValueView->model()->index(row, 0)); }
    QString Current() const { return RegView->currentIndex().data().toString(); }

    // Paths of the view's rows below the roots, depth-first, as DumpTree lists keys.
    QStringList ViewKeys() const
    {
        QStringList keys;
        const QAbstractItemModel* model = RegView->model();
        std::function<void(const QModelIndex&, const QString&)> walk = [&](const QModelIndex& item, const QString& path) {
            for (int i = 0; i < model->rowCount(item); ++i) {
                const QString child = path + QLatin1Char('\\') + model->index(i, 0, item).data().toString();
                keys << child;
                walk(model->index(i, 0, item), child);
            }
        };
        for (int i = 0; i < model->rowCount(); ++i)
            walk(model->index(i, 0), model->index(i, 0).data().toString());
        return keys;
    }

    QStringList ModelKeys() const
    {
        QStringList keys;
        for (const QString& line : DumpTree(Tree()))
            if (!line.contains(QLatin1Char('|')))
                keys << line;
        return keys;
    }

    QStringList ValueTexts() const
    {
        QStringList texts;
        for (int i = 0; i < ValueView->model()->rowCount(); ++i)
            texts << ValueView->model()->index(i, 0).data().toString();
        return texts;
    }

    // The user types the name and presses OK when it is enabled, else Cancel.
    void ScriptKey(const QString& name)
    {
        env.Dlg.ModalScripts.push_back([this, name](QObject* window) {
            if (window != keyForm)
                return int(QDialog::Rejected);
            if (!name.isNull())
                keyForm->KeyEdit->setText(name);
            return keyForm->OKBtn->isEnabled() ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
    }

    void ScriptValue(const QString& name, const QString& type, const QString& value)
    {
        env.Dlg.ModalScripts.push_back([this, name, type, value](QObject* window) {
            if (window != valueForm)
                return int(QDialog::Rejected);
            if (!name.isNull()) {
                valueForm->NameEdit->setText(name);
                valueForm->ValueEdit->setText(value);
                valueForm->ValueCombo->setEditText(type);
            }
            return valueForm->OkBtn->isEnabled() ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
    }

    bool Enabled(QPushButton* button) const { return button->isEnabled(); }
};

QIcon Icon(const QModelIndex& item) { return item.data(Qt::DecorationRole).value<QIcon>(); }

bool SameImage(const QIcon& icon, QIcon::Mode mode, int index)
{
    return icon.pixmap(QSize(16, 16), mode).toImage().convertToFormat(QImage::Format_ARGB32)
        == RegistryImage(index).toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

class TestRegistryPage : public QObject {
    Q_OBJECT
private slots:
    void keyNameRule_data();
    void keyNameRule();
    void entryRule_data();
    void entryRule();
    void dialogsKeepTheirInput();
    void okRules_data();
    void okRules();
    void typedCharacters_data();
    void typedCharacters();
    void pastedTextStaysAsPasted_data();
    void pastedTextStaysAsPasted();
    void deleteKey_data();
    void deleteKey();
    void deleteEntry_data();
    void deleteEntry();
    void buttonStatesFollowSelection();
    void icons();
    void import_data();
    void import();
    void importOfAFolderReports();
    void importReportsWhatItCouldNotTake();
    void namesThatWouldMergeOrVanish_data();
    void namesThatWouldMergeOrVanish();
    void projectSaveAndOpen_data();
    void projectSaveAndOpen();
    void largeImportStaysLinear();
};

void TestRegistryPage::keyNameRule_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("rename");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("the name of a depth-1 key under another root is refused")
        << QStringList{S("HKEY_LOCAL_MACHINE\\Software")} << S("HKEY_CURRENT_USER") << false << S("Software") << true
        << QStringList{S("HKEY_LOCAL_MACHINE\\Software")};
    QTest::newRow("letter case counts")
        << QStringList{S("HKEY_LOCAL_MACHINE\\Software")} << S("HKEY_CURRENT_USER") << false << S("SOFTWARE") << false
        << QStringList{S("HKEY_CURRENT_USER\\SOFTWARE"), S("HKEY_LOCAL_MACHINE\\Software")};
    QTest::newRow("the same name one level deeper is allowed")
        << QStringList{S("HKEY_LOCAL_MACHINE\\Software")} << S("HKEY_LOCAL_MACHINE\\Software") << false << S("Software")
        << false << QStringList{S("HKEY_LOCAL_MACHINE\\Software"), S("HKEY_LOCAL_MACHINE\\Software\\Software")};
    QTest::newRow("a depth-2 name used under another parent and root is refused")
        << QStringList{S("HKEY_CURRENT_USER\\A\\X"), S("HKEY_USERS\\B")} << S("HKEY_USERS\\B") << false << S("X") << true
        << QStringList{S("HKEY_CURRENT_USER\\A"), S("HKEY_CURRENT_USER\\A\\X"), S("HKEY_USERS\\B")};
    QTest::newRow("renaming to a name used at that depth elsewhere is refused")
        << QStringList{S("HKEY_CURRENT_USER\\A"), S("HKEY_DYN_DATA\\B")} << S("HKEY_CURRENT_USER\\A") << true << S("B")
        << true << QStringList{S("HKEY_CURRENT_USER\\A"), S("HKEY_DYN_DATA\\B")};
    QTest::newRow("an unchanged rename is accepted")
        << QStringList{S("HKEY_CURRENT_USER\\A")} << S("HKEY_CURRENT_USER\\A") << true << QString() << false
        << QStringList{S("HKEY_CURRENT_USER\\A")};
    QTest::newRow("renaming to a name used at another depth is allowed")
        << QStringList{S("HKEY_CURRENT_USER\\A\\B")} << S("HKEY_CURRENT_USER\\A") << true << S("B") << false
        << QStringList{S("HKEY_CURRENT_USER\\B"), S("HKEY_CURRENT_USER\\B\\B")};
}

void TestRegistryPage::keyNameRule()
{
    QFETCH(QStringList, tree);
    QFETCH(QString, selected);
    QFETCH(bool, rename);
    QFETCH(QString, name);
    QFETCH(bool, refused);
    QFETCH(QStringList, after);
    Page page(tree);
    page.Select(selected);
    page.ScriptKey(name);
    if (rename)
        page.EditKeyBtn->click();
    else
        page.AddKeyBtn->click();

    QCOMPARE(page.keyForm->windowTitle(), rename ? S("Editace klíče") : S("Nový klíč"));
    QCOMPARE(page.ModelKeys(), after);
    QCOMPARE(page.ViewKeys(), after);
    QCOMPARE(page.main->Modified, !refused);
    QCOMPARE(page.env.Dlg.Messages.size(), refused ? 1 : 0);
    if (refused) {
        const FakeDialogs::Message& m = page.env.Dlg.Messages.front();
        QCOMPARE(m.Text, S("Klíče stejného vnoření nemohou mít stejné názvy."));
        QCOMPARE(m.Title, S("Chyba"));
        QCOMPARE(m.Icon, MsgIcon::Error);
        QCOMPARE(m.Buttons, MsgButtons::Ok);
    }
    // The selection stays where the command started; a new node is visible under its parent.
    QCOMPARE(page.Current(), rename && !refused && !name.isNull() ? name
                                                                                                : selected.section(QLatin1Char('\\'), -1));
    if (!rename && !refused)
        QVERIFY(page.RegView->isExpanded(page.RegView->currentIndex()));
    QVERIFY(page.env.Dlg.Unexpected.isEmpty());
}

void TestRegistryPage::entryRule_data()
{
    QTest::addColumn<QStringList>("entries");  // on HKEY_CURRENT_USER\K: "name|Type|value"
    QTest::addColumn<int>("editRow");           // -1: add
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QStringList>("after");

    const QStringList verze{S("Verze|Integer|2")};
    QTest::newRow("Verze=2 Integer twice is refused")
        << verze << -1 << S("Verze") << S("Integer") << S("2") << true << QStringList{S("Verze=2")};
    QTest::newRow("Verze=2 as String beside it is allowed")
        << verze << -1 << S("Verze") << S("String") << S("2") << false << QStringList{S("Verze=2"), S("Verze=2")};
    QTest::newRow("Verze=3 Integer beside it is allowed")
        << verze << -1 << S("Verze") << S("Integer") << S("3") << false << QStringList{S("Verze=2"), S("Verze=3")};
    QTest::newRow("an unchanged edit is accepted")
        << verze << 0 << S("Verze") << S("Integer") << S("2") << false << QStringList{S("Verze=2")};
    QTest::newRow("changing only the type is allowed")
        << verze << 0 << S("Verze") << S("Boolean") << S("2") << false << QStringList{S("Verze=2")};
    QTest::newRow("editing into another entry of the same type is refused")
        << QStringList{S("Verze|Integer|2"), S("Verze|Integer|3")} << 1 << S("Verze") << S("Integer") << S("2") << true
        << QStringList{S("Verze=2"), S("Verze=3")};
    QTest::newRow("editing into another entry's text with another type is allowed")
        << QStringList{S("Verze|Integer|2"), S("Verze|Integer|3")} << 1 << S("Verze") << S("Time") << S("2") << false
        << QStringList{S("Verze=2"), S("Verze=2")};
}

void TestRegistryPage::entryRule()
{
    QFETCH(QStringList, entries);
    QFETCH(int, editRow);
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, value);
    QFETCH(bool, refused);
    QFETCH(QStringList, after);
    QStringList tree;
    for (const QString& e : entries)
        tree << S("HKEY_CURRENT_USER\\K|") + e;
    Page page(tree);
    page.Select(S("HKEY_CURRENT_USER\\K"));
    if (editRow >= 0)
        page.SelectEntry(editRow);
    page.ScriptValue(name, type, value);
    if (editRow >= 0)
        page.EditBtn->click();
    else
        page.AddBtn->click();

    QCOMPARE(page.valueForm->windowTitle(), editRow >= 0 ? S("Editace jména a hodnoty") : S("Přidání nového jména a hodnoty"));
    QCOMPARE(page.Tree().Root(0)->Children.front()->Values.Entries, after);
    QCOMPARE(page.ValueTexts(), after);
    QCOMPARE(page.main->Modified, !refused);
    QCOMPARE(page.env.Dlg.Messages.size(), refused ? 1 : 0);
    if (refused) {
        const FakeDialogs::Message& m = page.env.Dlg.Messages.front();
        QCOMPARE(m.Text, S("Jméno a hodnota už existuje."));
        QCOMPARE(m.Title, S("Chyba"));
        QCOMPARE(m.Icon, MsgIcon::Error);
        QCOMPARE(m.Buttons, MsgButtons::Ok);
        return;
    }
    // An added item comes last and unselected; an edited one keeps its place and its selection.
    const int row = editRow >= 0 ? editRow : int(page.ValueTexts().size()) - 1;
    const QModelIndex item = page.ValueView->model()->index(row, 0);
    QCOMPARE(page.ValueView->selectionModel()->isSelected(item), editRow >= 0);
    QCOMPARE(page.Tree().Root(0)->Children.front()->Values.TypeCodes[row].toInt(), TypeCodeOf(type));
    QVERIFY(SameImage(Icon(item), QIcon::Normal, TypeCodeOf(type)));
    QVERIFY(page.env.Dlg.Unexpected.isEmpty());
}

void TestRegistryPage::dialogsKeepTheirInput()
{
    Page page({S("HKEY_CURRENT_USER\\K"), S("HKEY_USERS\\Used")});
    page.Select(S("HKEY_CURRENT_USER\\K"));

    // The edit command fills the fields from the selected entry, and the add command keeps them.
    page.ScriptValue(S("Verze"), S("Integer"), S("2"));
    page.AddBtn->click();
    QStringList seen;
    page.env.Dlg.ModalScripts.push_back([&](QObject*) {
        seen << page.valueForm->NameEdit->text() << page.valueForm->ValueEdit->text()
             << page.valueForm->ValueCombo->currentText() << (page.valueForm->OkBtn->isEnabled() ? S("OK") : S("-"));
        return int(QDialog::Accepted);
    });
    page.AddBtn->click();
    QCOMPARE(seen, (QStringList{S("Verze"), S("2"), S("Integer"), S("OK")}));
    QCOMPARE(page.env.Dlg.Messages.size(), 1);
    QCOMPARE(page.env.Dlg.Messages.front().Text, S("Jméno a hodnota už existuje."));

    page.ScriptValue(S("Cesta"), S("String"), S("C:\\Hry"));
    page.AddBtn->click();
    page.SelectEntry(0);
    seen.clear();
    page.env.Dlg.ModalScripts.push_back([&](QObject*) {
        seen << page.valueForm->NameEdit->text() << page.valueForm->ValueEdit->text()
             << page.valueForm->ValueCombo->currentText();
        return int(QDialog::Rejected);
    });
    page.EditBtn->click();
    QCOMPARE(seen, (QStringList{S("Verze"), S("2"), S("Integer")}));

    // A refused key name is still there the next time; cancelling changes nothing.
    page.Select(S("HKEY_CURRENT_USER"));
    page.ScriptKey(S("Used"));
    page.AddKeyBtn->click();
    QCOMPARE(page.env.Dlg.Messages.size(), 2);
    page.main->Modified = false;
    QString kept;
    page.env.Dlg.ModalScripts.push_back([&](QObject*) {
        kept = page.keyForm->KeyEdit->text();
        return int(QDialog::Rejected);
    });
    page.AddKeyBtn->click();
    QCOMPARE(kept, S("Used"));
    QVERIFY(!page.main->Modified);
    QVERIFY(page.env.Dlg.Unexpected.isEmpty());
}

void TestRegistryPage::okRules_data()
{
    QTest::addColumn<bool>("keyForm");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("type");  // typed into the combo's field
    QTest::addColumn<bool>("ok");

    QTest::newRow("key: a name") << true << S("Firma") << QString() << QString() << true;
    QTest::newRow("key: empty") << true << QString() << QString() << QString() << false;
    QTest::newRow("key: pasted backslash") << true << S("a\\b") << QString() << QString() << false;
    QTest::newRow("key: pasted line break") << true << S("a\nb") << QString() << QString() << false;
    QTest::newRow("key: trailing blank") << true << S("a ") << QString() << QString() << false;
    QTest::newRow("key: not Windows-1250") << true << S("Жук") << QString() << QString() << false;
    QTest::newRow("entry: complete") << false << S("Verze") << S("2") << S("Integer") << true;
    QTest::newRow("entry: type in lower case") << false << S("Verze") << S("2") << S("integer") << false;
    QTest::newRow("entry: type not listed") << false << S("Verze") << S("2") << S("Number") << false;
    QTest::newRow("entry: no value") << false << S("Verze") << QString() << S("Integer") << false;
    QTest::newRow("entry: no name") << false << QString() << S("2") << S("Integer") << false;
    QTest::newRow("entry: a name of one blank") << false << S(" ") << S("2") << S("Integer") << false;
    QTest::newRow("entry: pasted line break") << false << S("Verze") << S("2\r\n3") << S("Integer") << false;
    QTest::newRow("entry: pasted =") << false << S("a=b") << S("2") << S("Integer") << false;
    QTest::newRow("entry: another type's marker") << false << S("Verze") << S("(Time)") << S("Integer") << false;
}

void TestRegistryPage::okRules()
{
    QFETCH(bool, keyForm);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, type);
    QFETCH(bool, ok);
    Page page;
    if (keyForm) {
        page.keyForm->KeyEdit->setText(S("x"));
        page.keyForm->KeyEdit->setText(name);
        QCOMPARE(page.keyForm->OKBtn->isEnabled(), ok);
        return;
    }
    page.valueForm->NameEdit->setText(name);
    page.valueForm->ValueEdit->setText(value);
    page.valueForm->ValueCombo->setEditText(QString());
    TypeText(page.valueForm->ValueCombo->lineEdit(), type);
    QCOMPARE(page.valueForm->ValueCombo->currentText(), type);
    QCOMPARE(page.valueForm->OkBtn->isEnabled(), ok);
    QCOMPARE(page.valueForm->ValueCombo->count(), 8);  // typing adds no items
}

void TestRegistryPage::typedCharacters_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");

    QTest::newRow("key: backslash and ] dropped") << S("KeyEdit") << S("Soft\\wa]re") << S("Software") << 2;
    QTest::newRow("key: = and Czech letters pass") << S("KeyEdit") << S("a=ěščřžýáíé") << S("a=ěščřžýáíé") << 0;
    QTest::newRow("name: = dropped") << S("NameEdit") << S("a=b") << S("ab") << 1;
    QTest::newRow("name: backslash passes") << S("NameEdit") << S("C:\\") << S("C:\\") << 0;
    QTest::newRow("value: = dropped") << S("ValueEdit") << S("x=1=2") << S("x12") << 2;
    QTest::newRow("value: not Windows-1250 dropped") << S("ValueEdit") << S("aЖb") << S("ab") << 1;
}

void TestRegistryPage::typedCharacters()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, beeps);
    Page page;
    QDialog* form = field == S("KeyEdit") ? static_cast<QDialog*>(page.keyForm) : page.valueForm;
    auto* edit = form->findChild<QLineEdit*>(field);
    QVERIFY(edit);
    TypeText(edit, typed);
    QCOMPARE(edit->text(), text);
    QCOMPARE(page.env.Dlg.Beeps, beeps);
}

void TestRegistryPage::pastedTextStaysAsPasted_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<bool>("ok");

    QTest::newRow("key: a path") << S("KeyEdit") << S("Software\\Firma") << false;
    QTest::newRow("key: two lines") << S("KeyEdit") << S("Software\nFirma") << false;
    QTest::newRow("key: a plain name") << S("KeyEdit") << S("Firma") << true;
    QTest::newRow("name: with =") << S("NameEdit") << S("a=b") << false;
    QTest::newRow("value: two lines") << S("ValueEdit") << S("1\r\n2") << false;
    QTest::newRow("value: not Windows-1250") << S("ValueEdit") << S("Жук") << false;
    QTest::newRow("value: plain") << S("ValueEdit") << S("C:\\Hry") << true;
}

void TestRegistryPage::pastedTextStaysAsPasted()
{
    QFETCH(QString, field);
    QFETCH(QString, pasted);
    QFETCH(bool, ok);
    Page page;
    page.valueForm->NameEdit->setText(S("n"));
    page.valueForm->ValueEdit->setText(S("v"));
    page.valueForm->ValueCombo->setEditText(S("String"));
    const bool key = field == S("KeyEdit");
    QDialog* form = key ? static_cast<QDialog*>(page.keyForm) : page.valueForm;
    auto* edit = form->findChild<QLineEdit*>(field);
    edit->clear();
    QGuiApplication::clipboard()->setText(pasted);
    edit->paste();
    // Nothing is taken out behind the user's back: the text stays, and OK says whether it can be stored.
    QCOMPARE(edit->text(), pasted);
    QCOMPARE(key ? page.keyForm->OKBtn->isEnabled() : page.valueForm->OkBtn->isEnabled(), ok);
    QCOMPARE(page.env.Dlg.Beeps, 0);
}

void TestRegistryPage::deleteKey_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("yes deletes the subtree") << MsgAnswer::Yes;
    QTest::newRow("no keeps it") << MsgAnswer::No;
    QTest::newRow("cancel keeps it") << MsgAnswer::Cancel;
}

void TestRegistryPage::deleteKey()
{
    QFETCH(MsgAnswer, answer);
    const QStringList tree{S("HKEY_CURRENT_USER\\A\\B\\C|n|String|v"), S("HKEY_CURRENT_USER\\A|m|Integer|1"),
                           S("HKEY_CURRENT_USER\\D")};
    Page page(tree);
    page.Select(S("HKEY_CURRENT_USER\\A"));
    page.env.Dlg.Answers.push_back(answer);
    page.DelKeyBtn->click();

    QCOMPARE(page.env.Dlg.Messages.size(), 1);
    const FakeDialogs::Message& m = page.env.Dlg.Messages.front();
    QCOMPARE(m.Text, S("Opravdu chcete smazat klíč se všemi hodnotami?"));
    QCOMPARE(m.Title, S("Dotaz"));
    QCOMPARE(m.Icon, MsgIcon::Question);
    QCOMPARE(m.Buttons, MsgButtons::YesNoCancel);
    const bool deleted = answer == MsgAnswer::Yes;
    QCOMPARE(page.main->Modified, deleted);
    QCOMPARE(DumpTree(page.Tree()), deleted ? QStringList{S("HKEY_CURRENT_USER\\D")} : DumpTree(TreeOf(tree)));
    QCOMPARE(page.ViewKeys(), page.ModelKeys());
    // The tree control chose another key: the buttons and the list belong to it.
    const QModelIndex current = page.RegView->currentIndex();
    QVERIFY(current.isValid());
    QVERIFY(page.RegView->selectionModel()->isSelected(current));
    const bool belowRoot = current.parent().isValid();
    QVERIFY(page.AddKeyBtn->isEnabled());
    QCOMPARE(page.DelKeyBtn->isEnabled(), belowRoot);
    QCOMPARE(page.AddBtn->isEnabled(), belowRoot);
    if (!deleted)
        QCOMPARE(page.ValueTexts(), QStringList{S("m=1")});
    QVERIFY(page.env.Dlg.Unexpected.isEmpty());
}

void TestRegistryPage::deleteEntry_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("yes deletes the entry") << MsgAnswer::Yes;
    QTest::newRow("no keeps it") << MsgAnswer::No;
}

void TestRegistryPage::deleteEntry()
{
    QFETCH(MsgAnswer, answer);
    Page page({S("HKEY_CURRENT_USER\\K|a|String|1"), S("HKEY_CURRENT_USER\\K|b|Date|2"), S("HKEY_CURRENT_USER\\K|c|Time|3")});
    page.Select(S("HKEY_CURRENT_USER\\K"));
    page.SelectEntry(1);
    page.env.Dlg.Answers.push_back(answer);
    page.DelBtn->click();

    QCOMPARE(page.env.Dlg.Messages.size(), 1);
    QCOMPARE(page.env.Dlg.Messages.front().Text, S("Opravdu chcete smazat toto jméno a hodnotu?"));
    QCOMPARE(page.env.Dlg.Messages.front().Title, S("Dotaz"));
    QCOMPARE(page.env.Dlg.Messages.front().Buttons, MsgButtons::YesNoCancel);
    const bool deleted = answer == MsgAnswer::Yes;
    const QStringList after = deleted ? QStringList{S("a=1"), S("c=3")} : QStringList{S("a=1"), S("b=2"), S("c=3")};
    QCOMPARE(page.Tree().Root(0)->Children.front()->Values.Entries, after);
    QCOMPARE(page.Tree().Root(0)->Children.front()->Values.TypeCodes,
             deleted ? QStringList({S("8"), S("9")}) : QStringList({S("8"), S("4"), S("9")}));
    QCOMPARE(page.ValueTexts(), after);
    QCOMPARE(page.main->Modified, deleted);
    // After a deletion the list is filled again with nothing selected.
    QCOMPARE(page.EditBtn->isEnabled(), !deleted);
    QCOMPARE(page.DelBtn->isEnabled(), !deleted);
    QVERIFY(page.env.Dlg.Unexpected.isEmpty());
}

void TestRegistryPage::buttonStatesFollowSelection()
{
    Page page({S("HKEY_CURRENT_USER\\A|Verze|Integer|2"), S("HKEY_CURRENT_USER\\A|Jmeno|String|x"),
               S("HKEY_CURRENT_USER\\B|Datum|Date|1.1.2000")});
    TMainForm* m = page.main;
    auto states = [&page] {
        QString s;
        for (QPushButton* b : {page.AddKeyBtn, page.EditKeyBtn, page.DelKeyBtn, page.AddBtn, page.EditBtn, page.DelBtn, page.OpenBtn})
            s += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    };
    QCOMPARE(states(), S("0000001"));  // nothing selected at start
    page.Select(S("HKEY_CURRENT_USER"));
    QCOMPARE(states(), S("1000001"));
    QCOMPARE(page.ValueTexts(), QStringList());
    page.Select(S("HKEY_CURRENT_USER\\A"));
    QCOMPARE(states(), S("1111001"));
    QCOMPARE(page.ValueTexts(), (QStringList{S("Verze=2"), S("Jmeno=x")}));
    QCOMPARE(page.ValueView->toolTip(), QString());
    page.SelectEntry(1);
    QCOMPARE(states(), S("1111111"));
    QCOMPARE(page.ValueView->toolTip(), S("String"));
    page.SelectEntry(0);
    QCOMPARE(page.ValueView->toolTip(), S("Integer"));
    page.Select(S("HKEY_CURRENT_USER\\B"));
    QCOMPARE(states(), S("1111001"));
    QCOMPARE(page.ValueTexts(), QStringList{S("Datum=1.1.2000")});
    QCOMPARE(page.ValueView->toolTip(), QString());
    page.SelectEntry(0);
    QCOMPARE(page.ValueView->toolTip(), S("Date"));
    page.ValueView->clearSelection();
    QCOMPARE(states(), S("1111001"));
    QCOMPARE(page.ValueView->toolTip(), QString());
    page.Select(S("HKEY_LOCAL_MACHINE"));
    QCOMPARE(states(), S("1000001"));
    // The main window's other controls keep their hints off the screen.
    QCOMPARE(page.AddKeyBtn->toolTip(), QString());
    QCOMPARE(page.AddKeyBtn->statusTip(), S("Přidá nový klíč do zvoleného kořenového klíče"));
    QVERIFY(!m->Modified);
}

void TestRegistryPage::icons()
{
    // Ten different pictures of 16 x 16.
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(RegistryImage(i).size(), QSize(16, 16));
        for (int j = 0; j < i; ++j)
            QVERIFY2(RegistryImage(i).toImage() != RegistryImage(j).toImage(), qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
    }
    Page page({S("HKEY_CURRENT_USER\\K|a|Boolean|1"), S("HKEY_CURRENT_USER\\K|b|Time|1")});
    const QModelIndex root = page.Item(S("HKEY_CURRENT_USER"));
    const QModelIndex key = page.Item(S("HKEY_CURRENT_USER\\K"));
    QVERIFY(SameImage(Icon(root), QIcon::Normal, 0));
    QVERIFY(SameImage(Icon(root), QIcon::Selected, 0));
    QVERIFY(SameImage(Icon(key), QIcon::Normal, 0));
    QVERIFY(SameImage(Icon(key), QIcon::Selected, 1));
    page.Select(S("HKEY_CURRENT_USER\\K"));
    QVERIFY(SameImage(Icon(page.ValueView->model()->index(0, 0)), QIcon::Normal, 2));
    QVERIFY(SameImage(Icon(page.ValueView->model()->index(1, 0)), QIcon::Normal, 9));
}

void TestRegistryPage::import_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QByteArray>("ini");  // null: the dialog is cancelled
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("modified");

    const QStringList existing{S("HKEY_CURRENT_USER\\A|x|String|1"), S("HKEY_CURRENT_USER\\A\\B")};
    QTest::newRow("cancelled: nothing changes") << existing << QByteArray() << DumpTree(TreeOf(existing)) << QString()
                                                << QStringList() << false;
    QTest::newRow("keys that all exist: nothing added, still modified")
        << existing << QByteArray("[HKEY_CURRENT_USER\\A]\r\ny=(Integer)2\r\n[HKEY_CURRENT_USER\\A\\B]\r\nz=(Time)3\r\n")
        << DumpTree(TreeOf(existing)) << S("HKEY_CURRENT_USER") << QStringList() << true;
    QTest::newRow("new keys merge in; the last one made is shown")
        << existing
        << QByteArray("[HKEY_LOCAL_MACHINE\\Software\\Firma]\r\nVerze=(Integer)2\r\nCesta=(String)C:\\\r\n"
                      "[HKEY_CURRENT_USER\\A\\C]\r\nNic=Nic\r\n[HKEY_USERS\\Nic]\r\n[HKEY_USERS\\U]\r\nn=(Date)1\r\n")
        << DumpTree(TreeOf(existing + QStringList{S("HKEY_CURRENT_USER\\A\\C"), S("HKEY_LOCAL_MACHINE\\Software\\Firma|Verze|Integer|2"),
                                                  S("HKEY_LOCAL_MACHINE\\Software\\Firma|Cesta|String|C:\\"),
                                                  S("HKEY_USERS\\Nic"), S("HKEY_USERS\\U|n|Date|1")}))
        << S("HKEY_USERS\\U") << QStringList{S("n=1")} << true;
}

void TestRegistryPage::import()
{
    QFETCH(QStringList, tree);
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, after);
    QFETCH(QString, current);
    QFETCH(QStringList, shown);
    QFETCH(bool, modified);
    Page page(tree);
    const QString path = page.env.Path(S("Projekty")) + QDir::separator() + S("import.ini");
    // What the user opened stays open.
    page.RegView->expand(page.Item(S("HKEY_CURRENT_USER\\A")));
    if (ini.isNull()) {
        page.env.Dlg.OpenAnswers.push_back(QString());
    } else {
        WriteBytes(path, ini);
        page.env.Dlg.OpenAnswers.push_back(path);
    }
    page.OpenBtn->click();

    QCOMPARE(page.env.Dlg.OpenCalls.size(), 1);
    const FileDialogOptions& o = page.env.Dlg.OpenCalls.front();
    QCOMPARE(o.Title, S("Otevřít ini soubor s informacemi o registrech"));
    QCOMPARE(o.Filter, S("Soubory .ini (*.ini)|*.INI"));
    QCOMPARE(o.InitialFolder, page.env.Path(S("Projekty")));
    QVERIFY(o.MustExist);
    QCOMPARE(DumpTree(page.Tree()), after);
    QCOMPARE(page.ViewKeys(), page.ModelKeys());
    QCOMPARE(page.main->Modified, modified);
    QVERIFY(page.RegView->isExpanded(page.Item(S("HKEY_CURRENT_USER\\A"))));
    if (!current.isNull()) {
        QCOMPARE(page.RegView->currentIndex(), page.Item(current));
        QVERIFY(page.RegView->selectionModel()->isSelected(page.Item(current)));
    }
    QCOMPARE(page.ValueTexts(), shown);
    // Every node made by the load has its parent expanded.
    for (const QString& key : page.ModelKeys())
        if (!DumpTree(TreeOf(tree)).contains(key))
            QVERIFY(page.RegView->isExpanded(page.Item(key).parent()));
    QVERIFY(page.env.Dlg.Unexpected.isEmpty());
}

void TestRegistryPage::importOfAFolderReports()
{
    Page page;
    const QString folder = page.env.Path(S("Projekty"));
    page.env.Dlg.OpenAnswers.push_back(folder);
    page.OpenBtn->click();
    // The error ends in the standard error box, the page unchanged.
    QCOMPARE(page.env.Dlg.Messages.size(), 1);
    QCOMPARE(page.env.Dlg.Messages.front().Title, S("Zelvakon"));
    QCOMPARE(page.env.Dlg.Messages.front().Icon, MsgIcon::Error);
    QVERIFY(page.env.Dlg.Messages.front().Text.contains(folder));
    QVERIFY(!page.Tree().HasKeysBelowRoots());
    QVERIFY(!page.main->Modified);
}

void TestRegistryPage::importReportsWhatItCouldNotTake()
{
    Page page({S("HKEY_USERS\\Hra|x|String|1")});
    const QString path = page.env.Path(S("Projekty/import.ini"));
    QString deep = S("HKEY_CURRENT_USER");
    for (int i = 0; i <= MaxRegIniDepth; ++i)
        deep += S("\\k");
    WriteBytes(path, "[" + deep.toLatin1() + "]\r\n[HKEY_USERS\\HRA]\r\ny=(Time)2\r\n[HKEY_USERS\\Jina]\r\n");
    page.env.Dlg.OpenAnswers.push_back(path);
    page.OpenBtn->click();
    QCOMPARE(DumpTree(page.Tree()),
             (QStringList{S("HKEY_USERS\\HRA"), S("HKEY_USERS\\HRA|y|Time|2"), S("HKEY_USERS\\Jina")}));
    QCOMPARE(page.ViewKeys(), page.ModelKeys());
    QCOMPARE(page.env.Dlg.Messages.size(), 1);
    const FakeDialogs::Message& m = page.env.Dlg.Messages.front();
    QCOMPARE(m.Text, S("Soubor %1 nebyl načten celý.\n"
                       "Vynechané sekce vnořené hlouběji než do 512 úrovní: 1\n"
                       "Sekce s klíčem, který se od jiného liší jen velikostí písmen (platí poslední): 1")
                         .arg(path));
    QCOMPARE(m.Icon, MsgIcon::Warning);
    QVERIFY(page.main->Modified);
}

void TestRegistryPage::namesThatWouldMergeOrVanish_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("command");  // "add key", "rename key", "add entry" or "edit entry 0|1"
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");  // empty: accepted
    const QString keyCase = S("Klíče v jednom klíči se nemohou lišit jen velikostí písmen.");
    const QString entryCase = S("Jména v jednom klíči se nemohou lišit jen velikostí písmen.");
    QString deep = S("HKEY_CURRENT_USER");
    for (int i = 1; i < MaxRegIniDepth; ++i)
        deep += S("\\k");
    const QString cu = S("HKEY_CURRENT_USER");
    QTest::newRow("a sibling key in another letter case")
        << QStringList{cu + S("\\Software")} << cu << S("add key") << S("SOFTWARE") << keyCase;
    QTest::newRow("renamed into a sibling's name in another letter case")
        << QStringList{cu + S("\\A"), cu + S("\\B")} << cu + S("\\A") << S("rename key") << S("b") << keyCase;
    QTest::newRow("renamed into its own name in another letter case") << QStringList{cu + S("\\A")} << cu + S("\\A")
                                                                       << S("rename key") << S("a") << QString();
    QTest::newRow("a key at the deepest level") << QStringList{deep} << deep << S("add key") << S("x") << QString();
    QTest::newRow("a key below the deepest level") << QStringList{deep + S("\\k")} << deep + S("\\k") << S("add key")
                                                   << S("x") << S("Klíč nelze vnořit hlouběji než do 512 úrovní.");
    QTest::newRow("an entry name in another letter case")
        << QStringList{cu + S("\\K|Verze|Integer|2")} << cu + S("\\K") << S("add entry") << S("VERZE") << entryCase;
    QTest::newRow("an entry renamed into another's name in another letter case")
        << QStringList{cu + S("\\K|a|String|1"), cu + S("\\K|b|String|2")} << cu + S("\\K") << S("edit entry 1")
        << S("A") << entryCase;
    QTest::newRow("an entry renamed into its own name in another letter case")
        << QStringList{cu + S("\\K|a|String|1")} << cu + S("\\K") << S("edit entry 0") << S("A") << QString();
}

void TestRegistryPage::namesThatWouldMergeOrVanish()
{
    QFETCH(QStringList, tree);
    QFETCH(QString, selected);
    QFETCH(QString, command);
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    Page page(tree);
    page.Select(selected);
    const QStringList before = DumpTree(page.Tree());
    if (command.endsWith(S("key")))
        page.ScriptKey(name);
    else
        page.ScriptValue(name, S("String"), S("9"));
    if (command == S("add key"))
        page.AddKeyBtn->click();
    else if (command == S("rename key"))
        page.EditKeyBtn->click();
    else if (command == S("add entry"))
        page.AddBtn->click();
    else {
        page.SelectEntry(command.right(1).toInt());
        page.EditBtn->click();
    }
    QCOMPARE(page.env.Dlg.Messages.size(), refusal.isEmpty() ? 0 : 1);
    if (!refusal.isEmpty()) {
        QCOMPARE(page.env.Dlg.Messages[0].Text, refusal);
        QCOMPARE(page.env.Dlg.Messages[0].Title, S("Chyba"));
    }
    QCOMPARE(DumpTree(page.Tree()) == before, !refusal.isEmpty());
    QCOMPARE(page.main->Modified, refusal.isEmpty());
    QVERIFY(page.env.Dlg.Unexpected.isEmpty());
}

void TestRegistryPage::projectSaveAndOpen_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("yes rewrites Reg.ini") << MsgAnswer::Yes;
    QTest::newRow("no keeps the old Reg.ini") << MsgAnswer::No;
    QTest::newRow("cancel keeps the old Reg.ini") << MsgAnswer::Cancel;
}

void TestRegistryPage::projectSaveAndOpen()
{
    QFETCH(MsgAnswer, answer);
    Page page;
    TMainForm* m = page.main;
    // Built through the editor, as a user would.
    page.Select(S("HKEY_CURRENT_USER"));
    page.ScriptKey(S("Software"));
    page.AddKeyBtn->click();
    page.Select(S("HKEY_CURRENT_USER\\Software"));
    page.ScriptKey(S("Firma"));
    page.AddKeyBtn->click();
    page.Select(S("HKEY_CURRENT_USER\\Software\\Firma"));
    page.ScriptValue(S("Cesta"), S("String"), S("C:\\Hry\\Firma"));
    page.AddBtn->click();
    page.ScriptValue(S("Verze"), S("Integer"), S("2"));
    page.AddBtn->click();
    page.ScriptValue(S("Aktivni"), S("Boolean"), S("1"));
    page.AddBtn->click();
    page.Select(S("HKEY_LOCAL_MACHINE"));
    page.ScriptKey(S("Programy"));
    page.AddKeyBtn->click();
    QVERIFY(m->Modified);

    const QString project = page.env.Path(S("Projekty")) + QDir::separator() + S("Demo.zpf");
    const QString regIni = page.env.Path(S("Projekty")) + QDir::separator() + S("Reg.ini");
    m->WriteProjectFile(project);
    QVERIFY(page.env.Dlg.Messages.isEmpty());  // no file yet, no question
    const QByteArray first = ReadBytes(regIni);
    QCOMPARE(first, QByteArray("[HKEY_CURRENT_USER\\Software]\r\nNic=Nic\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Firma]\r\nCesta=(String)C:\\Hry\\Firma\r\n"
                               "Verze=(Integer)2\r\nAktivni=(Boolean)1\r\n"
                               "[HKEY_LOCAL_MACHINE\\Programy]\r\nNic=Nic\r\n"));
    QVERIFY(!m->Modified);
    const RegistryTree saved = page.Tree();

    // A change, then the second save asks.
    page.Select(S("HKEY_LOCAL_MACHINE\\Programy"));
    page.ScriptValue(S("Nove"), S("Time"), S("12:00"));
    page.AddBtn->click();
    page.env.Dlg.Answers.push_back(answer);
    m->WriteProjectFile(project);
    QCOMPARE(page.env.Dlg.Messages.size(), 1);
    const FakeDialogs::Message& q = page.env.Dlg.Messages.front();
    QCOMPARE(q.Text, S("Soubor Reg.ini existuje. Přepsat?"));
    QCOMPARE(q.Title, S("Dotaz"));
    QCOMPARE(q.Icon, MsgIcon::Question);
    QCOMPARE(q.Buttons, MsgButtons::YesNoCancel);
    QVERIFY(!m->Modified);  // the project save went on
    QCOMPARE(m->windowTitle(), S("Zelvakon - Demo.zpf"));
    const bool rewritten = answer == MsgAnswer::Yes;
    QCOMPARE(ReadBytes(regIni) == first, !rewritten);

    // Opening gives the tree of whatever Reg.ini holds, and leaves the project unmodified.
    const RegistryTree expected = rewritten ? RegistryTree(page.Tree()) : saved;
    m->ReadProjectFile(project);
    QVERIFY(page.Tree() == expected);
    QCOMPARE(page.ViewKeys(), page.ModelKeys());
    QVERIFY(!m->Modified);
    QVERIFY(page.env.Dlg.Unexpected.isEmpty());
}

void TestRegistryPage::largeImportStaysLinear()
{
    Page page({}, false);
    QByteArray ini;
    for (int i = 0; i < 20000; ++i)
        ini += "[HKEY_CURRENT_USER\\Key" + QByteArray::number(i) + "\\Sub]\r\nv=(String)x\r\n";
    const QString path = page.env.Path(S("big.ini"));
    WriteBytes(path, ini);
    page.env.Dlg.OpenAnswers.push_back(path);
    QElapsedTimer timer;
    timer.start();
    page.OpenBtn->click();
    QCOMPARE(page.Tree().NodeCount(), 6 + 40000);
    QCOMPARE(page.RegView->currentIndex(), page.Item(S("HKEY_CURRENT_USER\\Key19999\\Sub")));
    // Not a benchmark: one forced layout per node would take minutes here.
    QVERIFY2(timer.elapsed() < 30000 * TimeBoundScale, qPrintable(QString::number(timer.elapsed())));
}

QTEST_MAIN(TestRegistryPage)
#include "tst_registrypage.moc"
