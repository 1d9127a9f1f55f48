#include "Splash.h"
#include <QFrame>
#include <qdrawutil.h>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

TSplashForm::TSplashForm(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(292, 223);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

QPixmap TSplashForm::Picture(int width, int height)
{
    QPixmap pixmap(width, height);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(24, 64, 112));
    sky.setColorAt(1, QColor(96, 160, 96));
    p.fillRect(pixmap.rect(), sky);
    // A turtle: the program's mascot.
    const QPointF c(width * 0.5, height * 0.52);
    const qreal r = qMin(width, height) * 0.22;
    p.setPen(QPen(QColor(20, 60, 20), 2));
    p.setBrush(QColor(150, 200, 90));
    p.drawEllipse(QPointF(c.x() + r * 1.05, c.y() + r * 0.15), r * 0.32, r * 0.26);
    for (int dx : {-1, 1})
        p.drawEllipse(QPointF(c.x() + dx * r * 0.6, c.y() + r * 0.55), r * 0.22, r * 0.16);
    p.setBrush(QColor(60, 130, 50));
    QPainterPath shell;
    shell.moveTo(c.x() - r, c.y() + r * 0.4);
    shell.cubicTo(c.x() - r, c.y() - r * 0.9, c.x() + r, c.y() - r * 0.9, c.x() + r, c.y() + r * 0.4);
    shell.closeSubpath();
    p.drawPath(shell);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(qMax(12, height / 8));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, height / 12, width, height / 5), Qt::AlignCenter, QStringLiteral("Zelvakon"));
    return pixmap;
}

void TSplashForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(rect(), Picture(width(), height()));
    qDrawShadePanel(&p, rect(), palette(), false, 2);
}
