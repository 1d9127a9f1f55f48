#include "Splash.h"
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

QImage Title(QSize size, bool fromFont)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    if (fromFont) {
        p.setFont(TSplashForm::TitleFont(size));
        p.setPen(Qt::white);
        p.drawText(TSplashForm::TitleBand(size), Qt::AlignCenter, TSplashForm::Title);
    } else {
        TSplashForm::DrawTitle(p, size);
    }
    return image;
}

QRect Inked(const QImage& image)
{
    QRect inked;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 64)
                inked |= QRect(x, y, 1, 1);
    return inked;
}

}  // namespace

class TestSplash : public QObject {
    Q_OBJECT
private slots:
    void titleIsTheFontsOwn();
    void titleFitsOtherSizes_data();
    void titleFitsOtherSizes();
};

// The stored title must be what the font draws; after a change of title or font, remake it.
void TestSplash::titleIsTheFontsOwn()
{
    const QSize size = TSplashForm::SplashSize;
    if (QFontInfo(TSplashForm::TitleFont(size)).family() != QLatin1String("DejaVu Sans"))
        QSKIP("the title's font is not installed here");
    QCOMPARE(Title(size, false), Title(size, true));
}

void TestSplash::titleFitsOtherSizes_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("about box") << QSize(96, 96);
    QTest::newRow("larger") << QSize(584, 446);
    QTest::newRow("wide") << QSize(400, 223);
}

// Scaled, it sits where and as large as the font would draw it, give or take hinting.
void TestSplash::titleFitsOtherSizes()
{
    QFETCH(QSize, size);
    const QRect drawn = Inked(Title(size, false));
    const QRect font = Inked(Title(size, true));
    QVERIFY(!drawn.isEmpty());
    const int slack = qMax(2, font.height() / 6);
    QVERIFY2(qAbs(drawn.left() - font.left()) <= slack && qAbs(drawn.right() - font.right()) <= slack
                 && qAbs(drawn.top() - font.top()) <= slack && qAbs(drawn.bottom() - font.bottom()) <= slack,
             qPrintable(QStringLiteral("mask %1,%2 %3x%4, font %5,%6 %7x%8")
                            .arg(drawn.x()).arg(drawn.y()).arg(drawn.width()).arg(drawn.height())
                            .arg(font.x()).arg(font.y()).arg(font.width()).arg(font.height())));
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
