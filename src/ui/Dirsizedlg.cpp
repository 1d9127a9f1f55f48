#include "Dirsizedlg.h"
#include "Controls.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QStyle>
#include <QWindow>

TDirSizeForm::TDirSizeForm(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("DirSizeForm"));
    // Keys typed while it flashes up belong to the field being typed into, not to this window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setFixedSize(287, 104);
    Panel1 = Make<QFrame>(this, "Panel1", 0, 0, 287, 104);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Image1 = Make<QLabel>(Panel1, "Image1", 24, 20, 16, 16);
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_DirIcon).pixmap(16, 16));
    Label1 = Label(Panel1, QStringLiteral("Zjišťuji velikost adresáře k archivaci..."), 80, 20, "Label1");
    // The text was laid out for a narrow 8-point font; a wider one gets smaller until it fits.
    const int room = 287 - 80 - 2 * Panel1->frameWidth() - 2;
    QFont font = Label1->font();
    while (QFontMetrics(font).horizontalAdvance(Label1->text()) > room && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    Label1->setFont(font);
    Label1->adjustSize();
    CountLabel = Make<QLabel>(Panel1, "CountLabel", 80, 20 + Label1->height() + 4, room, Label1->height());
    CountLabel->setFont(font);
    ShowFileCount(0);
    CancelBtn = Button(Panel1, "CancelBtn", QStringLiteral("Zrušit"), QString(), (287 - 75) / 2, 68, 75, 25);
    // The window takes no focus: Escape reaches the measurement through the main window instead.
    CancelBtn->setFocusPolicy(Qt::NoFocus);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    CentreOnScreen(this);
}

void TDirSizeForm::ShowPainted()
{
    show();
    // A real window system maps the window asynchronously; wait briefly for it, keeping user input
    // queued, so that the text is on screen before the GUI thread goes busy.
    QElapsedTimer waited;
    waited.start();
    do
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    while ((!windowHandle() || !windowHandle()->isExposed()) && waited.elapsed() < 250);
    repaint();
}

void TDirSizeForm::ShowFileCount(qint64 files)
{
    CountLabel->setText(QStringLiteral("Započítáno souborů: %1").arg(files));
}
