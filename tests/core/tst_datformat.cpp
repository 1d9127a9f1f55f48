#include "DatFormat.h"
#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

namespace {

QByteArray Le(qint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((quint32(v) >> (8 * i)) & 0xFF);
    return b;
}

// A header written out by hand, field by field, in file order.
QByteArray HandHeader(const QList<qint32>& fields)
{
    QByteArray bytes("Datovy soubor Zelvakon");
    for (qint32 f : fields)
        bytes += Le(f);
    return bytes;
}

QList<qint32> Fields(qint32 a, qint32 p, qint32 m, qint32 r, qint32 g, const QList<qint32>& lengths)
{
    QList<qint32> f{a, p, m, r, g};
    f += lengths;
    f += 0;  // ask flag
    for (int i = 0; i < 12; ++i)
        f += 0;
    return f;
}

}  // namespace

class TestDatFormat : public QObject {
    Q_OBJECT
private slots:
    void serialisesFieldsInFileOrder();
    void verify_data();
    void verify();
    void verifyReadsFromDevice();
    void neverCrashesOnRandomBytes();
};

void TestDatFormat::serialisesFieldsInFileOrder()
{
    DatHeader h;
    h.PartSizes = {1, 2, 3, 4, 0x7FFFFFFF};
    h.TextLengths = {6, 7, 8, 9, 10, 11};
    h.AskFlag = 1;
    h.Rozbal = {101, 102, 103, 104};  // Levy, Horni, Pravy, Dolni
    h.Readme = {201, 202, 203, 204};
    h.Konec = {-1, -2, -3, -4};
    // Areas go out left, right, top, bottom.
    const QByteArray expected = HandHeader({1, 2, 3, 4, 0x7FFFFFFF, 6, 7, 8, 9, 10, 11, 1, 101, 103, 102, 104, 201, 203,
                                            202, 204, -1, -3, -2, -4});
    QCOMPARE(expected.size(), 118);
    QCOMPARE(h.Serialise(), expected);
    QCOMPARE(h.Serialise().mid(22, 4), QByteArray("\x01\x00\x00\x00", 4));

    const DatCheck back = VerifyDatHeader(expected, 118 + h.TextsSize() + h.PartsSize());
    QVERIFY2(back.Ok, qPrintable(back.Error));
    QCOMPARE(back.Layout.Header, h);
}

void TestDatFormat::verify_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("fileSize");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("unrarOffset");
    QTest::addColumn<qint64>("unrarSize");

    const QByteArray plain = HandHeader(Fields(100, 0, 0, 0, 0, {3, 4, 0, 0, 0, 0}));
    QTest::newRow("sound file, Unrar.dll runs to the end") << plain << qint64(118 + 7 + 100 + 50) << true
                                                            << qint64(225) << qint64(50);
    QTest::newRow("no Unrar.dll at all") << plain << qint64(225) << true << qint64(225) << qint64(0);
    QTest::newRow("parts run past the end") << plain << qint64(224) << false << qint64(0) << qint64(0);
    QTest::newRow("shorter than the header") << plain.left(117) << qint64(117) << false << qint64(0) << qint64(0);
    QTest::newRow("file size below header size") << plain << qint64(100) << false << qint64(0) << qint64(0);
    QByteArray magic = plain;
    magic[21] = 'V';
    QTest::newRow("magic differs in its last byte") << magic << qint64(1000) << false << qint64(0) << qint64(0);
    QTest::newRow("negative archive size")
        << HandHeader(Fields(-1, 0, 0, 0, 0, {0, 0, 0, 0, 0, 0})) << qint64(1000) << false << qint64(0) << qint64(0);
    QTest::newRow("negative registry size")
        << HandHeader(Fields(0, 0, 0, 0, -5, {0, 0, 0, 0, 0, 0})) << qint64(1000) << false << qint64(0) << qint64(0);
    QTest::newRow("negative command line length")
        << HandHeader(Fields(0, 0, 0, 0, 0, {0, 0, 0, 0, 0, qint32(0x80000000)})) << qint64(1000) << false << qint64(0)
        << qint64(0);
    // Eleven maximal values must not wrap into a small sum that seems to fit.
    QTest::newRow("all maximal sizes do not wrap")
        << HandHeader(Fields(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF,
                             {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}))
        << qint64(1000) << false << qint64(0) << qint64(0);
}

void TestDatFormat::verify()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, fileSize);
    QFETCH(bool, ok);
    const DatCheck check = VerifyDatHeader(bytes, fileSize);
    QCOMPARE(check.Ok, ok);
    QCOMPARE(check.Error.isEmpty(), ok);
    if (ok) {
        QTEST(check.Layout.UnrarOffset, "unrarOffset");
        QTEST(check.Layout.UnrarSize, "unrarSize");
        QCOMPARE(check.Layout.TextOffsets[0], qint64(118));
        QCOMPARE(check.Layout.TextOffsets[1], qint64(121));
        QCOMPARE(check.Layout.PartOffsets[0], qint64(125));
    }
}

void TestDatFormat::verifyReadsFromDevice()
{
    QByteArray file = HandHeader(Fields(2, 0, 0, 0, 0, {1, 0, 0, 0, 0, 0})) + "T" + "AR" + "UNRAR";
    QBuffer buffer(&file);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    buffer.seek(50);  // the reader starts at the beginning wherever the device stands
    const DatCheck check = VerifyDatHeader(buffer, file.size());
    QVERIFY2(check.Ok, qPrintable(check.Error));
    QCOMPARE(check.Layout.UnrarSize, qint64(5));

    QBuffer closed(&file);
    QVERIFY(!VerifyDatHeader(closed, file.size()).Ok);
    // A device shorter than the size claimed for it.
    QByteArray cut = file.left(60);
    QBuffer shortDevice(&cut);
    QVERIFY(shortDevice.open(QIODevice::ReadOnly));
    QVERIFY(!VerifyDatHeader(shortDevice, file.size()).Ok);
}

void TestDatFormat::neverCrashesOnRandomBytes()
{
    QRandomGenerator random(20240611);
    int sound = 0;
    const QByteArray magic("Datovy soubor Zelvakon");
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes(int(random.bounded(0, 160)), '\0');
        for (char& c : bytes)
            c = char(random.bounded(256));
        // Most rounds get the magic, so the checks behind it are reached; small values make some fit.
        if (round % 4 != 0 && bytes.size() >= 22)
            bytes.replace(0, 22, magic);
        if (round % 2 == 0)
            for (int at = 22; at + 4 <= qMin<int>(bytes.size(), 66); at += 4)
                bytes[at + 1] = bytes[at + 2] = bytes[at + 3] = 0;
        const qint64 fileSize = random.bounded(2) ? bytes.size() : qint64(random.bounded(0, 4000));
        const DatCheck check = VerifyDatHeader(bytes, fileSize);
        if (check.Ok) {
            ++sound;
            QVERIFY(check.Layout.UnrarOffset <= fileSize);
            QCOMPARE(check.Layout.UnrarOffset + check.Layout.UnrarSize, fileSize);
        }
    }
    QVERIFY(sound > 100);  // the layout checks were reached, not only the early refusals
}

QTEST_GUILESS_MAIN(TestDatFormat)
#include "tst_datformat.moc"
