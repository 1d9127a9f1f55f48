#include "Settings.h"
#include "Dialogs.h"
#include "Dir.h"
#include "KeyFilter.h"
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

TSetForm::TSetForm(Dialogs* dialogs, TDirForm* chooser, QWidget* parent)
    : QDialog(parent), Dlg(dialogs), Chooser(chooser)
{
    setObjectName(QStringLiteral("SetForm"));
    setWindowTitle(QStringLiteral("Nastavení projektu"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(280, 214);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(8, 8, 264, 160);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto label = [panel](const char* name, const QString& text, int x, int y) {
        auto* l = new QLabel(text, panel);
        l->setObjectName(QLatin1String(name));
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    auto edit = [panel](const char* name, int x, int y, int w) {
        auto* e = new QLineEdit(panel);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(x, y, w, 22);
        return e;
    };
    label("Label1", QStringLiteral("Jméno spustitelného souboru instalace:"), 12, 10)->setBuddy(
        InstNameEdit = edit("InstNameEdit", 12, 28, 200));
    label("Label4", QStringLiteral(".EXE"), 218, 32);
    label("Label2", QStringLiteral("Jméno datového souboru instalace:"), 12, 58)->setBuddy(
        DatNameEdit = edit("DatNameEdit", 12, 76, 200));
    label("Label5", QStringLiteral(".DAT"), 218, 80);
    label("Label3", QStringLiteral("Výstupní adresář pro datový soubor:"), 12, 106)->setBuddy(
        OutDirEdit = edit("OutDirEdit", 12, 124, 213));
    OutDirBtn = new QToolButton(panel);
    OutDirBtn->setObjectName(QStringLiteral("OutDirBtn"));
    OutDirBtn->setGeometry(229, 124, 23, 22);
    OutDirBtn->setText(QStringLiteral("..."));

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setGeometry(8, 178, 97, 28);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Zrušit"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(175, 178, 97, 28);

    setTabOrder(InstNameEdit, DatNameEdit);
    setTabOrder(DatNameEdit, OutDirEdit);
    setTabOrder(OutDirEdit, OutDirBtn);
    setTabOrder(OutDirBtn, OkBtn);
    setTabOrder(OkBtn, CancelBtn);

    // The names get an extension and a folder of their own: no dot, drive or folder separator in them.
    new KeyFilter(InstNameEdit, Dlg, &TSetForm::InstNameEditKeyPress);
    new KeyFilter(DatNameEdit, Dlg, &TSetForm::InstNameEditKeyPress);
    new KeyFilter(OutDirEdit, Dlg);

    for (QLineEdit* e : {InstNameEdit, DatNameEdit, OutDirEdit})
        connect(e, &QLineEdit::textChanged, this, &TSetForm::InstNameEditChange);
    connect(OutDirBtn, &QToolButton::clicked, this, &TSetForm::OutDirBtnClick);
    connect(OkBtn, &QPushButton::clicked, this, &TSetForm::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TSetForm::reject);
    InstNameEditChange();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

std::optional<OutputNames> TSetForm::Execute(const OutputNames& names)
{
    InstNameEdit->setText(names.Installer);
    DatNameEdit->setText(names.DataFile);
    OutDirEdit->setText(names.Folder);
    FormActivate();
    if (Dlg->RunModal(this) != QDialog::Accepted)
        return std::nullopt;
    return OutputNames{InstNameEdit->text(), DatNameEdit->text(), OutDirEdit->text()};
}

void TSetForm::FormActivate()
{
    InstNameEditChange();
    InstNameEdit->setFocus();
}

void TSetForm::InstNameEditChange()
{
    OkBtn->setEnabled(!OutDirEdit->text().isEmpty() && !InstNameEdit->text().isEmpty()
                      && !DatNameEdit->text().isEmpty());
}

bool TSetForm::InstNameEditKeyPress(QChar c)
{
    if (c == QLatin1Char('.') || c == QLatin1Char(':') || c == QLatin1Char('\\'))
        return false;
#ifndef Q_OS_WIN
    if (c == QLatin1Char('/'))
        return false;
#endif
    return true;
}

void TSetForm::OutDirBtnClick()
{
    const std::optional<QString> folder = Chooser->Execute(QStringLiteral("Adresář pro datový soubor"));
    if (folder && AcceptPath(*Dlg, *folder))
        OutDirEdit->setText(*folder);
}

void TSetForm::accept()
{
    if (OkBtn->isEnabled())
        QDialog::accept();
}
