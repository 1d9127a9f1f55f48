#include "About.h"
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

TAboutDlg::TAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDlg"));
    setWindowTitle(QStringLiteral("O programu"));
    setFixedSize(298, 178);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setGeometry(16, 16, 96, 96);
    picture->setPixmap(QPixmap(QStringLiteral(":/about.png")));
    auto* product = new QLabel(QStringLiteral("Zelvakon"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    product->setFont(bold);
    product->setGeometry(128, 20, 150, 28);
    auto* version = new QLabel(QStringLiteral("build 002"), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setAlignment(Qt::AlignRight);
    version->setGeometry(128, 50, 150, 18);
    auto* copyright = new QLabel(QStringLiteral("Freeware"), this);
    copyright->setObjectName(QStringLiteral("Copyright"));
    copyright->setGeometry(128, 80, 150, 18);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    ok->setGeometry(111, 138, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
