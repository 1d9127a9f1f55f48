#include "Main.h"
#include "Style.h"
#include "TestEnv.h"
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QMenuBar>
#include <QStyleFactory>
#include <QTest>
#include <memory>

namespace {

QImage Render(QStyle* style, const QString& title, bool checkable, QSize size)
{
    QGroupBox box;
    box.setStyle(style);
    box.setTitle(title);
    box.setCheckable(checkable);
    box.resize(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    box.render(&image);
    return image;
}

bool ImagePluginLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    return maps.readAll().contains("/imageformats/");
}

}  // namespace

class TestStyle : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void mainWindowReadsNoImageFile();
    void groupBoxFrameLooksAsFusion_data();
    void groupBoxFrameLooksAsFusion();
    void overflowIconIsDrawn();

private:
    std::unique_ptr<QStyle> Fusion;
    std::unique_ptr<QStyle> Ours;
};

void TestStyle::initTestCase()
{
    QApplication::setStyle(new ZelvakonStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    Fusion.reset(QStyleFactory::create(QStringLiteral("Fusion")));
    Ours = std::make_unique<ZelvakonStyle>(QStyleFactory::create(QStringLiteral("Fusion")));
}

// Must run first: any image read, anywhere in this process, loads the plugins for good.
void TestStyle::mainWindowReadsNoImageFile()
{
#ifdef Q_OS_LINUX
    QVERIFY(!ImagePluginLoaded());
    TestEnv env;
    TMainForm* main = env.Start();
    for (int page = 0; page < main->TabPages->count(); ++page) {
        main->TabPages->setCurrentIndex(page);
        (void)main->grab();
    }
    QVERIFY2(!ImagePluginLoaded(), "showing the main window read an image file");
#else
    QSKIP("reads the process's mapped files");
#endif
}

void TestStyle::groupBoxFrameLooksAsFusion_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<QSize>("size");
    QTest::newRow("titled") << "Archivovaný program:" << false << QSize(523, 140);
    QTest::newRow("untitled") << QString() << false << QSize(420, 204);
    QTest::newRow("checkable") << "Volba" << true << QSize(200, 80);
    QTest::newRow("low") << "Cesta ke spouštěcímu souboru WinRARa:" << false << QSize(523, 60);
    QTest::newRow("narrow") << "x" << false << QSize(14, 40);
}

void TestStyle::groupBoxFrameLooksAsFusion()
{
    QFETCH(QString, title);
    QFETCH(bool, checkable);
    QFETCH(QSize, size);
    const QImage expected = Render(Fusion.get(), title, checkable, size);
    const QImage actual = Render(Ours.get(), title, checkable, size);
    QCOMPARE(actual, expected);
}

void TestStyle::overflowIconIsDrawn()
{
    QMenuBar bar;
    for (auto icon : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        const QImage image = Ours->standardIcon(icon, nullptr, &bar).pixmap(16, 16).toImage();
        QCOMPARE(image.size(), QSize(16, 16));
        int inked = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                inked += qAlpha(image.pixel(x, y)) > 128;
        QVERIFY2(inked >= 8, "the overflow sign is drawn");
    }
    // The vertical sign is the horizontal one turned, not the same picture.
    QVERIFY(Ours->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16, 16).toImage()
            != Ours->standardIcon(QStyle::SP_ToolBarVerticalExtensionButton).pixmap(16, 16).toImage());
}

QTEST_MAIN(TestStyle)
#include "tst_style.moc"
