#include "About.h"
#include "Controls.h"
#include <QPixmap>

TAboutDlg::TAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDlg"));
    setWindowTitle(QStringLiteral("O programu"));
    setFixedSize(298, 178);
    Make<QLabel>(this, "ProgramIcon", 16, 16, 96, 96)->setPixmap(QPixmap(QStringLiteral(":/about.png")));
    auto* product = Make<QLabel>(this, "ProductName", 128, 20, 150, 28);
    product->setText(QStringLiteral("Zelvakon"));
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    product->setFont(bold);
    auto* version = Make<QLabel>(this, "Version", 128, 50, 150, 18);
    version->setText(QStringLiteral("build 002"));
    version->setAlignment(Qt::AlignRight);
    Make<QLabel>(this, "Copyright", 128, 80, 150, 18)->setText(QStringLiteral("Freeware"));
    QPushButton* ok = Button(this, "OKButton", QStringLiteral("OK"), QString(), 111, 138, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
