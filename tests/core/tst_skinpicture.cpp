#include "Error.h"
#include "SkinPicture.h"
#include "TestEnv.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

Q_DECLARE_METATYPE(SkinPictureFault)

namespace {

// A bitmap file header and the common 40-byte information header, with the size as given.
QByteArray BitmapHeader(qint32 width, qint32 height)
{
    QByteArray bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<qint32>(40, bytes.data() + 14);
    qToLittleEndian<qint32>(width, bytes.data() + 18);
    qToLittleEndian<qint32>(height, bytes.data() + 22);
    return bytes;
}

}  // namespace

class TestSkinPicture : public QObject {
    Q_OBJECT
private slots:
    void extension_data();
    void extension();
    void pictureFile_data();
    void pictureFile();
    void unreadableFileThrows_data();
    void unreadableFileThrows();

private:
    QTemporaryDir Dir;
};

void TestSkinPicture::extension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("passes");
    const QString sep = QDir::separator();
    QTest::newRow("lower case") << QStringLiteral("obr") + sep + QStringLiteral("titul.bmp") << true;
    QTest::newRow("mixed case Bmp") << "titul.Bmp" << true;
    QTest::newRow("upper case") << "TITUL.BMP" << true;
    QTest::newRow("name that is only the extension") << QStringLiteral("obr") + sep + QStringLiteral(".bmp") << true;
    QTest::newRow("Czech name") << QStringLiteral("obr") + sep + QStringLiteral("Žluťoučký kůň.bmp") << true;
    QTest::newRow("further extension after .bmp") << "titul.bmp.txt" << false;
    QTest::newRow("no extension") << QStringLiteral("obr") + sep + QStringLiteral("titul") << false;
    QTest::newRow("only dot in a folder name") << QStringLiteral("obr.bmp") + sep + QStringLiteral("titul") << false;
    QTest::newRow("trailing blank") << "titul.bmp " << false;
    QTest::newRow("other picture kind") << "titul.png" << false;
    QTest::newRow("dotted name, last dot counts") << "titul.bmp.old.bmp" << true;
    QTest::newRow("empty path") << "" << false;
}

void TestSkinPicture::extension()
{
    QFETCH(QString, path);
    QFETCH(bool, passes);
    QCOMPARE(HasBmpExtension(path), passes);
}

void TestSkinPicture::pictureFile_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<SkinPictureFault>("fault");
    QTest::newRow("largest passes") << 600 << 400 << SkinPictureFault::None;
    QTest::newRow("smallest passes") << 100 << 100 << SkinPictureFault::None;
    QTest::newRow("one too wide") << 601 << 400 << SkinPictureFault::TooLarge;
    QTest::newRow("one too high") << 600 << 401 << SkinPictureFault::TooLarge;
    QTest::newRow("one too narrow") << 99 << 400 << SkinPictureFault::TooSmall;
    QTest::newRow("one too low") << 600 << 99 << SkinPictureFault::TooSmall;
    QTest::newRow("both rules broken: maximum first") << 700 << 50 << SkinPictureFault::TooLarge;
    QTest::newRow("top-down bitmap") << 300 << -200 << SkinPictureFault::TooSmall;
    QTest::newRow("zero by zero") << 0 << 0 << SkinPictureFault::TooSmall;
    QTest::newRow("negative width") << -600 << 400 << SkinPictureFault::TooSmall;
    QTest::newRow("huge") << std::numeric_limits<qint32>::max() << std::numeric_limits<qint32>::max()
                          << SkinPictureFault::TooLarge;
}

void TestSkinPicture::pictureFile()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(SkinPictureFault, fault);
    const QString path = Dir.filePath(QStringLiteral("pic.bmp"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(BitmapBytes(width, height));
    file.close();
    BitmapSize size;
    QCOMPARE(CheckSkinPictureFile(path, size), fault);
    QCOMPARE(size.Width, width);
    QCOMPARE(size.Height, height);
    QCOMPARE(CheckSkinPictureSize({width, height}), fault);
}

void TestSkinPicture::unreadableFileThrows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // null: no file
    QTest::newRow("missing file") << "missing.bmp" << QByteArray();
    QTest::newRow("shorter than the size fields") << "short.bmp" << BitmapHeader(200, 200).left(25);
    QTest::newRow("empty file") << "empty.bmp" << QByteArray("");
}

void TestSkinPicture::unreadableFileThrows()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    const QString path = Dir.filePath(name);
    if (!bytes.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    BitmapSize size;
    try {
        CheckSkinPictureFile(path, size);
        QFAIL("no error");
    } catch (const ZelvakonError& error) {
        QVERIFY2(error.Message().contains(path), qPrintable(error.Message()));
    }
    // With a wrong extension the file is not even opened.
    QCOMPARE(CheckSkinPictureFile(path + QStringLiteral(".txt"), size), SkinPictureFault::Extension);
}

QTEST_APPLESS_MAIN(TestSkinPicture)
#include "tst_skinpicture.moc"
