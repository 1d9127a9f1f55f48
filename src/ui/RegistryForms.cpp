#include "RegistryForms.h"
#include "Controls.h"
#include "Dialogs.h"
#include "KeyFilter.h"
#include "RegIni.h"
#include <QComboBox>
#include <QLineEdit>

void TRegistryForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(this, true);
    FormActivate();
}

TKeyForm::TKeyForm(Dialogs* dialogs, QWidget* parent) : TRegistryForm(dialogs, parent)
{
    SetUpDialog(this, "KeyForm", 216, 85, Qt::WindowSystemMenuHint);
    setWindowTitle(QStringLiteral("Název nového klíče"));  // every command sets its own caption
    Label1 = Label(this, QStringLiteral("Zadejte název nového klíče:"), 8, 8, "Label1");
    KeyEdit = Make<QLineEdit>(this, "KeyEdit", 12, 24, 193, 21);
    OKBtn = Button(this, "OKBtn", QStringLiteral("&OK"), QString(), 16, 56, 75, 25);
    OKBtn->setDefault(true);
    OKBtn->setEnabled(false);
    CancelBtn = Button(this, "CancelBtn", QStringLiteral("&Zrušit"), QString(), 128, 56, 75, 25);

    // A typed backslash would split the key in two, "]" would end its section header. Pasted text
    // stays as pasted: OK stays disabled until the user mends it.
    new KeyFilter(
        KeyEdit, Dlg, [](QChar c) { return c != QLatin1Char('\\') && c != QLatin1Char(']'); }, KeyFilter::Pasted::Kept);

    connect(KeyEdit, &QLineEdit::textChanged, this, &TKeyForm::KeyEditChange);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QString> TKeyForm::Execute(const QString& caption, const std::optional<QString>& name)
{
    setWindowTitle(caption);
    if (name)
        KeyEdit->setText(*name);
    if (Dlg->RunModal(this) != QDialog::Accepted || !IsInputComplete())
        return std::nullopt;
    return KeyEdit->text();
}

bool TKeyForm::IsInputComplete() const { return RegIniKeepsKeyName(KeyEdit->text()); }

void TKeyForm::KeyEditChange() { OKBtn->setEnabled(IsInputComplete()); }

void TKeyForm::FormActivate() { KeyEdit->setFocus(); }

TValueForm::TValueForm(Dialogs* dialogs, QWidget* parent) : TRegistryForm(dialogs, parent)
{
    SetUpDialog(this, "ValueForm", 293, 157, Qt::WindowSystemMenuHint);
    Label1 = Label(this, QStringLiteral("Jméno:"), 12, 12, "Label1");
    NameEdit = Make<QLineEdit>(this, "NameEdit", 16, 28, 169, 21);
    Label2 = Label(this, QStringLiteral("Hodnota:"), 12, 60, "Label2");
    ValueEdit = Make<QLineEdit>(this, "ValueEdit", 16, 76, 169, 21);
    Label3 = Label(this, QStringLiteral("Typ hodnoty:"), 12, 108, "Label3");
    ValueCombo = Make<QComboBox>(this, "ValueCombo", 16, 124, 169, 21);
    ValueCombo->setEditable(true);
    // What is typed is the type: no items added on Enter and no completion in another letter case.
    ValueCombo->setInsertPolicy(QComboBox::NoInsert);
    ValueCombo->setCompleter(nullptr);
    for (int code = 2; code <= 9; ++code)
        ValueCombo->addItem(TypeNameOf(code));
    ValueCombo->setCurrentIndex(-1);
    ValueCombo->setEditText(QString());
    OkBtn = Button(this, "OkBtn", QStringLiteral("&OK"), QString(), 204, 72, 75, 25);
    OkBtn->setDefault(true);
    OkBtn->setEnabled(false);
    CancelBtn = Button(this, "CancelBtn", QStringLiteral("&Zrušit"), QString(), 204, 120, 75, 25);

    // "=" would end the name in the file; the type field takes only what Windows-1250 holds. Pasted
    // text stays as pasted: OK stays disabled until the user mends it.
    for (QLineEdit* field : {NameEdit, ValueEdit})
        new KeyFilter(field, Dlg, [](QChar c) { return c != QLatin1Char('='); }, KeyFilter::Pasted::Kept);
    new KeyFilter(ValueCombo->lineEdit(), Dlg, {}, KeyFilter::Pasted::Kept);

    connect(NameEdit, &QLineEdit::textChanged, this, &TValueForm::NameEditChange);
    connect(ValueEdit, &QLineEdit::textChanged, this, &TValueForm::NameEditChange);
    connect(ValueCombo, &QComboBox::editTextChanged, this, &TValueForm::NameEditChange);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<RegEntry> TValueForm::Execute(const QString& caption, const std::optional<RegEntry>& entry)
{
    setWindowTitle(caption);
    if (entry) {
        NameEdit->setText(entry->Name);
        ValueEdit->setText(entry->Value);
        ValueCombo->setCurrentIndex(ValueCombo->findText(entry->TypeName));
        ValueCombo->setEditText(entry->TypeName);
    }
    if (Dlg->RunModal(this) != QDialog::Accepted || !IsInputComplete())
        return std::nullopt;
    return RegEntry{NameEdit->text(), ValueEdit->text(), ValueCombo->currentText()};
}

bool TValueForm::IsInputComplete() const
{
    return RegIniKeepsEntry(NameEdit->text(), ValueCombo->currentText(), ValueEdit->text());
}

void TValueForm::NameEditChange() { OkBtn->setEnabled(IsInputComplete()); }

void TValueForm::FormActivate() { NameEdit->setFocus(); }
