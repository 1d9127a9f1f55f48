#include "RunPage.h"
#include "Controls.h"
#include "KeyFilter.h"
#include "Project.h"
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>

RunPage::RunPage(Dialogs* dlg)
{
    setObjectName(QStringLiteral("RunPage"));
    auto* runGroup = Make<QGroupBox>(this, "GroupBox6", 4, 2, 523, 150);
    runGroup->setTitle(QStringLiteral("Spuštění jiného programu po rozbalení:"));
    RunChBox = Make<QCheckBox>(runGroup, "RunChBox", 12, 22, 400, 20);
    RunChBox->setText(QStringLiteral("Po rozbalení spustit definovaný program"));
    ProgNameLabel = Label(runGroup, QStringLiteral("Název programu:"), 12, 56, "ProgNameLabel");
    ProgNameEdit = Make<QLineEdit>(runGroup, "ProgNameEdit", 130, 52, 381, 22);
    CmLineLabel = Label(runGroup, QStringLiteral("Příkazová řádka:"), 12, 88, "CmLineLabel");
    CmLineEdit = Make<QLineEdit>(runGroup, "CmLineEdit", 130, 84, 381, 22);
    AskChBox = Make<QCheckBox>(runGroup, "AskChBox", 12, 118, 300, 20);
    AskChBox->setText(QStringLiteral("Zeptat se na spuštění"));

    // CmLineEditChange and AskChBoxClick only mark the project changed.
    for (QLineEdit* edit : {CmLineEdit, ProgNameEdit}) {
        new KeyFilter(edit, dlg);  // nothing Windows-1250 cannot hold
        connect(edit, &QLineEdit::textChanged, this, &RunPage::Changed);
    }
    connect(AskChBox, &QCheckBox::toggled, this, &RunPage::Changed);
    connect(RunChBox, &QCheckBox::toggled, this, &RunPage::RunChBoxClick);
    RunChBoxClick();
}

void RunPage::RunChBoxClick()
{
    const bool on = RunChBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{ProgNameLabel, ProgNameEdit, CmLineLabel, CmLineEdit, AskChBox})
        w->setEnabled(on);
    const QPalette::ColorRole role = on ? QPalette::Base : QPalette::Button;
    for (QLineEdit* edit : {ProgNameEdit, CmLineEdit}) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, QApplication::palette().color(role));
        edit->setPalette(palette);
    }
    emit Changed();
}

void RunPage::Apply(const Project& p)
{
    RunChBox->setChecked(p.SpustitPrg);
    ProgNameEdit->setText(p.NazevProg);
    CmLineEdit->setText(p.PrikRadka);
    AskChBox->setChecked(p.Zeptat);
}

void RunPage::Collect(Project& p) const
{
    p.SpustitPrg = RunChBox->isChecked();
    p.NazevProg = ProgNameEdit->text();
    p.PrikRadka = CmLineEdit->text();
    p.Zeptat = AskChBox->isChecked();
}
