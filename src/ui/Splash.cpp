#include "Splash.h"
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <qdrawutil.h>

TSplashForm::TSplashForm(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(292, 223);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TSplashForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(rect(), QPixmap(QStringLiteral(":/splash.png")));
    qDrawShadePanel(&p, rect(), palette(), false, 2);
}
