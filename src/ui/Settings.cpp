#include "Settings.h"
#include "Controls.h"
#include "Dialogs.h"
#include "Dir.h"
#include "KeyFilter.h"
#include <QFrame>
#include <QLineEdit>

TSetForm::TSetForm(Dialogs* dialogs, TDirForm* chooser, QWidget* parent)
    : QDialog(parent), Dlg(dialogs), Chooser(chooser)
{
    SetUpDialog(this, "SetForm", 280, 214);
    setWindowTitle(QStringLiteral("Nastavení projektu"));

    auto* panel = Make<QFrame>(this, "Panel1", 8, 8, 264, 160);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    // Created in the order of the focus chain.
    Label(panel, QStringLiteral("Jméno spustitelného souboru instalace:"), 12, 10, "Label1")
        ->setBuddy(InstNameEdit = Make<QLineEdit>(panel, "InstNameEdit", 12, 28, 200, 22));
    Label(panel, QStringLiteral(".EXE"), 218, 32, "Label4");
    Label(panel, QStringLiteral("Jméno datového souboru instalace:"), 12, 58, "Label2")
        ->setBuddy(DatNameEdit = Make<QLineEdit>(panel, "DatNameEdit", 12, 76, 200, 22));
    Label(panel, QStringLiteral(".DAT"), 218, 80, "Label5");
    Label(panel, QStringLiteral("Výstupní adresář pro datový soubor:"), 12, 106, "Label3")
        ->setBuddy(OutDirEdit = Make<QLineEdit>(panel, "OutDirEdit", 12, 124, 213, 22));
    OutDirBtn = BrowseButton(panel, "OutDirBtn", 229, 124);
    OkBtn = Button(this, "OkBtn", QStringLiteral("OK"), QString(), 8, 178, 97, 28);
    OkBtn->setDefault(true);
    CancelBtn = Button(this, "CancelBtn", QStringLiteral("Zrušit"), QString(), 175, 178, 97, 28);

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
    CentreOnScreen(this);
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
