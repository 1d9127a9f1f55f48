#include "Codec.h"
#include <QStringEncoder>
#include <QTest>

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void knownBytes_data();
    void knownBytes();
    void everyByteRoundTrips();
    void unencodable_data();
    void unencodable();
};

void TestCodec::knownBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << "Abc 1=2" << QByteArray("Abc 1=2");
    QTest::newRow("r caron") << "ř" << QByteArray("\xF8");
    QTest::newRow("s caron") << "š" << QByteArray("\x9A");
    QTest::newRow("euro") << "€" << QByteArray("\x80");
    QTest::newRow("capital z caron") << "Ž" << QByteArray("\x8E");
    QTest::newRow("u ring") << "ů" << QByteArray("\xF9");
    QTest::newRow("nul") << QString(QChar(0)) << QByteArray(1, '\0');
    QTest::newRow("undefined byte") << QString(QChar(0x81)) << QByteArray("\x81");
}

void TestCodec::knownBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Codec::ToWin1250(text), bytes);
    QCOMPARE(Codec::FromWin1250(bytes), text);
    QVERIFY(Codec::IsEncodable(text));
}

void TestCodec::everyByteRoundTrips()
{
    QByteArray all(256, '\0');
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    QCOMPARE(Codec::ToWin1250(Codec::FromWin1250(all)), all);
    // The tables agree with the system's converter on every defined character.
    QStringEncoder encoder("windows-1250");
    const QString text = Codec::FromWin1250(all);
    QByteArray system = encoder.encode(text);
    QCOMPARE(system, all);
}

void TestCodec::unencodable_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("greek") << "α";
    QTest::newRow("a macron has no look-alike here") << "ā";
    QTest::newRow("cjk") << "漢";
    QTest::newRow("lone surrogate") << QString(QChar(0xD800));
    QTest::newRow("emoji") << "😀";
}

void TestCodec::unencodable()
{
    QFETCH(QString, text);
    QVERIFY(!Codec::IsEncodable(text));
    const QByteArray bytes = Codec::ToWin1250("a" + text);
    QCOMPARE(bytes.at(0), 'a');
    QVERIFY(bytes.mid(1).count('\x1A') == bytes.size() - 1);
}

QTEST_MAIN(TestCodec)
#include "tst_codec.moc"
