#include "Keydlg.h"
#include "KeyFilter.h"
#include "Dialogs.h"
#include "RegIni.h"
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

TKeyForm::TKeyForm(Dialogs* dialogs, QWidget* parent) : QDialog(parent), Dlg(dialogs)
{
    setObjectName(QStringLiteral("KeyForm"));
    setWindowTitle(QStringLiteral("Název nového klíče"));  // every command sets its own caption
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(216, 85);

    Label1 = new QLabel(QStringLiteral("Zadejte název nového klíče:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 8);
    Label1->adjustSize();
    KeyEdit = new QLineEdit(this);
    KeyEdit->setObjectName(QStringLiteral("KeyEdit"));
    KeyEdit->setGeometry(12, 24, 193, 21);
    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(16, 56, 75, 25);
    OKBtn->setDefault(true);
    OKBtn->setEnabled(false);
    CancelBtn = new QPushButton(QStringLiteral("&Zrušit"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(128, 56, 75, 25);

    // A typed backslash would split the key in two, "]" would end its section header. Pasted text
    // stays as pasted: OK stays disabled until the user mends it.
    auto* filter = new KeyFilter(KeyEdit, Dlg,
                                 [](QChar c) { return c != QLatin1Char('\\') && c != QLatin1Char(']'); });
    disconnect(KeyEdit, &QLineEdit::textEdited, filter, nullptr);

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

void TKeyForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormActivate();
}
