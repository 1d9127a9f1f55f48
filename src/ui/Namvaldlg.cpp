#include "Namvaldlg.h"
#include "KeyFilter.h"
#include "Dialogs.h"
#include "RegIni.h"
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

TValueForm::TValueForm(Dialogs* dialogs, QWidget* parent) : QDialog(parent), Dlg(dialogs)
{
    setObjectName(QStringLiteral("ValueForm"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(293, 157);

    auto label = [this](const char* name, const QString& text, int x, int y) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    auto edit = [this](const char* name, int y) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(16, y, 169, 21);
        return e;
    };
    Label1 = label("Label1", QStringLiteral("Jméno:"), 12, 12);
    NameEdit = edit("NameEdit", 28);
    Label2 = label("Label2", QStringLiteral("Hodnota:"), 12, 60);
    ValueEdit = edit("ValueEdit", 76);
    Label3 = label("Label3", QStringLiteral("Typ hodnoty:"), 12, 108);
    ValueCombo = new QComboBox(this);
    ValueCombo->setObjectName(QStringLiteral("ValueCombo"));
    ValueCombo->setGeometry(16, 124, 169, 21);
    ValueCombo->setEditable(true);
    // What is typed is the type: no items added on Enter and no completion in another letter case.
    ValueCombo->setInsertPolicy(QComboBox::NoInsert);
    ValueCombo->setCompleter(nullptr);
    for (int code = 2; code <= 9; ++code)
        ValueCombo->addItem(TypeNameOf(code));
    ValueCombo->setCurrentIndex(-1);
    ValueCombo->setEditText(QString());
    OkBtn = new QPushButton(QStringLiteral("&OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setGeometry(204, 72, 75, 25);
    OkBtn->setDefault(true);
    OkBtn->setEnabled(false);
    CancelBtn = new QPushButton(QStringLiteral("&Zrušit"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(204, 120, 75, 25);

    // "=" would end the name in the file; the type field takes only what Windows-1250 holds. Pasted
    // text stays as pasted: OK stays disabled until the user mends it.
    for (QLineEdit* field : {NameEdit, ValueEdit}) {
        auto* filter = new KeyFilter(field, Dlg, [](QChar c) { return c != QLatin1Char('='); });
        disconnect(field, &QLineEdit::textEdited, filter, nullptr);
    }
    auto* typeFilter = new KeyFilter(ValueCombo->lineEdit(), Dlg);
    disconnect(ValueCombo->lineEdit(), &QLineEdit::textEdited, typeFilter, nullptr);

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

void TValueForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormActivate();
}
