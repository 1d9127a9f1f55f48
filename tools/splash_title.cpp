// Writes src/ui/SplashTitle.inc: the splash title "Zelvakon" as the font draws it at the splash's size,
// coverage only. The splash shows it without asking the font system, which is not ready that early.
// Run: build/tools/zelvakon-splash-title > src/ui/SplashTitle.inc
#include "Splash.h"
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QSize size = TSplashForm::SplashSize;
    const QRect band = TSplashForm::TitleBand(size);
    QImage image(band.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setFont(TSplashForm::TitleFont(size));
    p.setPen(Qt::white);
    p.drawText(image.rect(), Qt::AlignCenter, TSplashForm::Title);
    p.end();
    QRect inked;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)))
                inked |= QRect(x, y, 1, 1);
    std::printf("// Made by tools/splash_title.cpp from %s %d px; do not edit.\n",
                qPrintable(TSplashForm::TitleFont(size).family()), TSplashForm::TitleFont(size).pixelSize());
    std::printf("constexpr int TitleMaskX = %d, TitleMaskY = %d, TitleMaskWidth = %d, TitleMaskHeight = %d;\n",
                inked.x(), inked.y(), inked.width(), inked.height());
    std::printf("constexpr unsigned char TitleMask[] = {");
    int n = 0;
    for (int y = inked.top(); y <= inked.bottom(); ++y)
        for (int x = inked.left(); x <= inked.right(); ++x)
            std::printf("%s%d,", n++ % 24 ? "" : "\n    ", qAlpha(image.pixel(x, y)));
    std::printf("\n};\n");
    return 0;
}
