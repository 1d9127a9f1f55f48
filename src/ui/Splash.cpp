#include "Splash.h"
#include <QFrame>
#include <qdrawutil.h>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <algorithm>

namespace {
#include "SplashTitle.inc"
}  // namespace

// The title as the font draws it at the splash's own size (a mask made by tools/splash_title.cpp):
// the splash is on screen before the font configuration has been read, and reading it first would
// keep the splash away for as long again. Other sizes scale the mask.
void TSplashForm::DrawTitle(QPainter& p, QSize picture)
{
    QImage title(TitleMaskWidth, TitleMaskHeight, QImage::Format_ARGB32_Premultiplied);
    const unsigned char* coverage = TitleMask;
    for (int y = 0; y < TitleMaskHeight; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(title.scanLine(y));
        for (int x = 0; x < TitleMaskWidth; ++x, ++coverage)
            line[x] = qRgba(*coverage, *coverage, *coverage, *coverage);  // white, premultiplied
    }
    const QRectF splashBand = TitleBand(SplashSize);
    const QRectF band = TitleBand(picture);
    const qreal scale = qreal(TitleFont(picture).pixelSize()) / TitleFont(SplashSize).pixelSize();
    const QSizeF scaled = splashBand.size() * scale;
    const QPointF origin(band.center().x() - scaled.width() / 2, band.center().y() - scaled.height() / 2);
    const QRectF target(origin + QPointF(TitleMaskX, TitleMaskY) * scale, QSizeF(TitleMaskWidth, TitleMaskHeight) * scale);
    if (scale == 1 && target.topLeft() == target.topLeft().toPoint()) {  // the splash: pixel for pixel
        p.drawImage(target.topLeft().toPoint(), title);
        return;
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, title);
    p.restore();
}

const QString TSplashForm::Title = QStringLiteral("Zelvakon");

QRect TSplashForm::TitleBand(QSize picture)
{
    return QRect(0, picture.height() / 12, picture.width(), picture.height() / 5);
}

QFont TSplashForm::TitleFont(QSize picture)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(qMax(12, picture.height() / 8));
    return font;
}

TSplashForm::TSplashForm(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(SplashSize);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

QPixmap TSplashForm::Picture(int width, int height)
{
    // The sky blends from top to bottom. Filled row by row: a gradient brush took longer than the
    // rest of the picture, and the splash is drawn while the user waits.
    QImage image(width, height, QImage::Format_RGB32);
    const QColor top(24, 64, 112);
    const QColor bottom(96, 160, 96);
    for (int y = 0; y < height; ++y) {
        const int t = height > 1 ? y * 255 / (height - 1) : 0;
        const auto mix = [t](int a, int b) { return a + (b - a) * t / 255; };
        const QRgb colour = qRgb(mix(top.red(), bottom.red()), mix(top.green(), bottom.green()),
                                 mix(top.blue(), bottom.blue()));
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line, line + width, colour);
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
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
    DrawTitle(p, QSize(width, height));
    p.end();
    return QPixmap::fromImage(std::move(image));
}

void TSplashForm::paintEvent(QPaintEvent*)
{
    // Showing paints once and the explicit repaint once more: draw the picture only the first time.
    if (Painted.size() != size())
        Painted = Picture(width(), height());
    QPainter p(this);
    p.drawPixmap(rect(), Painted);
    qDrawShadePanel(&p, rect(), palette(), false, 2);
}
