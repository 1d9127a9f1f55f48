#include "ProfileFile.h"
#include <QTest>

// Entries: each key of a section once, with the value the reader gives, in one look-up.
class TestProfileEntries : public QObject {
    Q_OBJECT
private slots:
    void entries_data();
    void entries();
};

using Pairs = QList<std::pair<QString, QString>>;

void TestProfileEntries::entries_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("expected");  // key "=" value

    QTest::newRow("a doubled key keeps its first place, spelling and value")
        << QByteArray("[S]\r\nVerze=1\r\nb=2\r\nVERZE=3\r\n") << QStringLiteral("S")
        << QStringList{QStringLiteral("Verze=1"), QStringLiteral("b=2")};
    QTest::newRow("blanks around keys and values, one pair of quotes")
        << QByteArray("[S]\r\n  k  =  'v'  \r\nq=\"\"x\"\"\r\n") << QStringLiteral("S")
        << QStringList{QStringLiteral("k=v"), QStringLiteral("q=\"x\"")};
    QTest::newRow("lines without = and blank lines are no entries")
        << QByteArray("[S]\r\n\r\nplain\r\n=novalue\r\nk=\r\n") << QStringLiteral("S") << QStringList{QStringLiteral("k=")};
    QTest::newRow("the first section of the name, found in any letter case")
        << QByteArray("[s]\r\na=1\r\n[S]\r\nb=2\r\n") << QStringLiteral("S") << QStringList{QStringLiteral("a=1")};
    QTest::newRow("values cut at 2047")
        << QByteArray("[S]\r\nk=") + QByteArray(3000, 'x') + "\r\n" << QStringLiteral("S")
        << QStringList{QStringLiteral("k=") + QString(2047, QLatin1Char('x'))};
    QTest::newRow("a missing section") << QByteArray("[S]\r\nk=v\r\n") << QStringLiteral("T") << QStringList();
}

void TestProfileEntries::entries()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, section);
    QFETCH(QStringList, expected);
    const ProfileFile profile = ProfileFile::Parse(ini);
    QStringList lines;
    for (const auto& [key, value] : profile.Entries(section))
        lines << key + QLatin1Char('=') + value;
    QCOMPARE(lines, expected);
    // The same as Keys() and Value() one by one.
    QStringList oneByOne;
    for (const QString& key : profile.Keys(section))
        oneByOne << key + QLatin1Char('=') + profile.Value(section, key).value_or(QString());
    QCOMPARE(lines, oneByOne);
}

QTEST_GUILESS_MAIN(TestProfileEntries)
#include "tst_profileentries.moc"
