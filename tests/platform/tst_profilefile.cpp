#include "Error.h"
#include "ProfileFile.h"
#include "TestEnv.h"
#include <QTemporaryDir>
#include <QTest>

class TestProfileFile : public QObject {
    Q_OBJECT
private slots:
    void readRules_data();
    void readRules();
    void lowerIsQtLower_data();
    void lowerIsQtLower();
    void writeRules_data();
    void writeRules();
    void sectionsAndKeys();
    void eraseAllSectionsKeepsPreamble();
    void renameSection();
    void hostileInput_data();
    void hostileInput();
    void missingFileIsEmptyAndCreatedOnSave();
    void failedSaveKeepsOldFile();
};

// Read a section at a time, a file gives what it gives parsed.
static void ReadsAsParsed(const QByteArray& bytes)
{
    const ProfileFile parsed = ProfileFile::Parse(bytes);
    const QStringList sections = parsed.Sections();
    ProfileFile::SectionReader reader(bytes);
    for (int i = 0; i < sections.size(); ++i) {
        QVERIFY(reader.Next());
        QCOMPARE(reader.Name(), sections[i]);
        QCOMPARE(reader.Entries(), parsed.EntriesAt(i));
    }
    QVERIFY(!reader.Next());
}

void TestProfileFile::readRules_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");  // null: absent
    QTest::newRow("plain") << QByteArray("[A]\r\nk=v\r\n") << "A" << "k" << "v";
    QTest::newRow("blanks around key and value dropped") << QByteArray("[A]\r\n  k \t=  v w \t\r\n") << "A" << "k" << "v w";
    QTest::newRow("double quotes removed once") << QByteArray("[A]\r\nk=\"\"v\"\"\r\n") << "A" << "k" << "\"v\"";
    QTest::newRow("single quotes removed") << QByteArray("[A]\r\nk='v'\r\n") << "A" << "k" << "v";
    QTest::newRow("mismatched quotes kept") << QByteArray("[A]\r\nk='v\"\r\n") << "A" << "k" << "'v\"";
    QTest::newRow("lone quote kept") << QByteArray("[A]\r\nk=\"\r\n") << "A" << "k" << "\"";
    QTest::newRow("section case ignored") << QByteArray("[Rozbal]\r\nLevy=5\r\n") << "ROZBAL" << "levy" << "5";
    QTest::newRow("long section case ignored")
        << QByteArray("[HKEY_CURRENT_USER\\Software\\Firma\\Program\\Nastaveni\\Okna\\Hlavni]\r\nKlic=1\r\n")
        << "hkey_current_user\\software\\firma\\program\\nastaveni\\okna\\hlavni" << "KLIC" << "1";
    QTest::newRow("Czech section and key case ignored") << QByteArray("[\xc8" "esky]\r\n\x8e" "lu\x9d=v\r\n") << "ČESKY"
                                                        << "žluť" << "v";
    QTest::newRow("first of duplicate keys wins") << QByteArray("[A]\r\nk=1\r\nK=2\r\n") << "A" << "k" << "1";
    QTest::newRow("first of duplicate sections wins") << QByteArray("[A]\r\nk=1\r\n[a]\r\nk=2\r\n") << "A" << "k" << "1";
    QTest::newRow("key only in second duplicate section is absent") << QByteArray("[A]\r\n[a]\r\nk=2\r\n") << "A" << "k" << QString();
    QTest::newRow("LF only lines") << QByteArray("[A]\nk=v\n") << "A" << "k" << "v";
    QTest::newRow("lone CR lines") << QByteArray("[A]\rk=v\r") << "A" << "k" << "v";
    QTest::newRow("no line end at file end") << QByteArray("[A]\r\nk=v") << "A" << "k" << "v";
    QTest::newRow("UTF-8 byte order mark skipped") << QByteArray("\xEF\xBB\xBF[A]\r\nk=v\r\n") << "A" << "k" << "v";
    QTest::newRow("value holds equals") << QByteArray("[A]\r\nk=a=b\r\n") << "A" << "k" << "a=b";
    QTest::newRow("missing key") << QByteArray("[A]\r\nk=v\r\n") << "A" << "x" << QString();
    QTest::newRow("missing section") << QByteArray("[A]\r\nk=v\r\n") << "B" << "k" << QString();
    QTest::newRow("key before any section is not in a section") << QByteArray("k=v\r\n[A]\r\n") << "A" << "k" << QString();
    QTest::newRow("header with blanks") << QByteArray("  [ A ]  \r\nk=v\r\n") << "A" << "k" << "v";
    QTest::newRow("windows-1250 bytes") << QByteArray("[A]\r\nk=\xF8\x9A\x80\r\n") << "A" << "k" << QStringLiteral("řš€");
    QTest::newRow("undefined byte kept") << QByteArray("[A]\r\nk=\x81\r\n") << "A" << "k" << QString(QChar(0x81));
    QTest::newRow("cut to 2047") << (QByteArray("[A]\r\nk=") + QByteArray(5000, 'x') + "\r\n") << "A" << "k"
                                 << QString(2047, QLatin1Char('x'));
    QTest::newRow("2047 kept whole") << (QByteArray("[A]\r\nk=") + QByteArray(2047, 'y') + "\r\n") << "A" << "k"
                                     << QString(2047, QLatin1Char('y'));
}

void TestProfileFile::readRules()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const std::optional<QString> value = ProfileFile::Parse(file).Value(section, key);
    if (expected.isNull())
        QVERIFY(!value.has_value());
    else
        QCOMPARE(value.value_or(QStringLiteral("<absent>")), expected);
    ReadsAsParsed(file);
}

void TestProfileFile::lowerIsQtLower_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("ascii") << QStringLiteral("HKEY_CURRENT_USER\\Software\\Zelvakon 2.0");
    QTest::newRow("czech") << QStringLiteral("ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY");
    QTest::newRow("longer lower form") << QStringLiteral("İSTANBUL");  // U+0130 lowers to two characters
    QTest::newRow("outside the basic plane") << QString::fromUcs4(U"\U00010400x\U0001D400");
    QTest::newRow("lone surrogate") << QString(QChar(0xD801)) + QStringLiteral("AB");
    QTest::newRow("fullwidth") << QStringLiteral("ＡＢＣ Ω");
    QString all;
    for (char32_t c = 1; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF)
            all += QChar(char16_t(c));
    QTest::newRow("every character of the basic plane") << all;
}

void TestProfileFile::lowerIsQtLower()
{
    QFETCH(QString, name);
    QCOMPARE(ProfileFile::Lower(name), name.toLower());
    // One character at a time too: a whole string falls back on its first unusual character.
    for (qsizetype i = 0; i < name.size(); ++i)
        if (!name[i].isSurrogate())
            QCOMPARE(ProfileFile::Lower(name.sliced(i, 1)), name.sliced(i, 1).toLower());
}

void TestProfileFile::writeRules_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("new file") << QByteArray() << "A" << "k" << "v" << QByteArray("[A]\r\nk=v\r\n");
    QTest::newRow("replace in place, other lines kept") << QByteArray("[A]\r\nx=1\r\nk=old\r\ny=2\r\n") << "A" << "K"
                                                        << "new" << QByteArray("[A]\r\nx=1\r\nK=new\r\ny=2\r\n");
    QTest::newRow("append to section before next section") << QByteArray("[A]\r\nx=1\r\n[B]\r\ny=2\r\n") << "a" << "k"
                                                           << "v" << QByteArray("[A]\r\nx=1\r\nk=v\r\n[B]\r\ny=2\r\n");
    QTest::newRow("append keeps blank line between sections") << QByteArray("[A]\r\nx=1\r\n\r\n[B]\r\n") << "A" << "k"
                                                              << "v" << QByteArray("[A]\r\nx=1\r\nk=v\r\n\r\n[B]\r\n");
    QTest::newRow("new section at end of file without final line break") << QByteArray("[A]\r\nx=1") << "B" << "k" << "v"
                                                                         << QByteArray("[A]\r\nx=1\r\n[B]\r\nk=v\r\n");
    QTest::newRow("LF and lone CR lines of a changed file end in CR LF")
        << QByteArray("; note\n[A]\rx=1\n[B]\ny=2") << "A" << "k" << "2"
        << QByteArray("; note\r\n[A]\r\nx=1\r\nk=2\r\n[B]\r\ny=2\r\n");
    QTest::newRow("byte order mark not written") << QByteArray("\xEF\xBB\xBF[A]\r\n") << "A" << "k" << "v"
                                                 << QByteArray("[A]\r\nk=v\r\n");
    QTest::newRow("empty value") << QByteArray() << "A" << "Nazev" << "" << QByteArray("[A]\r\nNazev=\r\n");
    QTest::newRow("czech text as windows-1250") << QByteArray() << "A" << "k" << QStringLiteral("Žluťoučký kůň")
                                                << QByteArray("[A]\r\nk=\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2\r\n");
    QTest::newRow("only the first duplicate key replaced") << QByteArray("[A]\r\nk=1\r\nk=2\r\n") << "A" << "k" << "3"
                                                           << QByteArray("[A]\r\nk=3\r\nk=2\r\n");
}

void TestProfileFile::writeRules()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    ProfileFile profile = ProfileFile::Parse(before);
    profile.Write(section, key, value);
    QCOMPARE(profile.Render(), after);
}

void TestProfileFile::sectionsAndKeys()
{
    const ProfileFile profile = ProfileFile::Parse("x\r\n[One]\r\na=1\r\nnoequals\r\nB=2\r\nA=3\r\n[Two]\r\n[one]\r\nc=4\r\n");
    QCOMPARE(profile.Sections(), QStringList({"One", "Two", "one"}));
    QCOMPARE(profile.Keys(QStringLiteral("ONE")), QStringList({"a", "B"}));
    QVERIFY(profile.Keys(QStringLiteral("Two")).isEmpty());
}

void TestProfileFile::eraseAllSectionsKeepsPreamble()
{
    ProfileFile profile = ProfileFile::Parse("; kept\r\n\r\n[A]\r\nk=v\r\n[B]\r\n");
    profile.EraseAllSections();
    profile.Write(QStringLiteral("C"), QStringLiteral("n"), QStringLiteral("1"));
    QCOMPARE(profile.Render(), QByteArray("; kept\r\n\r\n[C]\r\nn=1\r\n"));
}

void TestProfileFile::renameSection()
{
    ProfileFile profile = ProfileFile::Parse("[Old.zpf]\r\nNazev=x\r\n");
    profile.RenameSection(0, QStringLiteral("New.zpf"));
    QCOMPARE(profile.Read(QStringLiteral("new.zpf"), QStringLiteral("Nazev")), QStringLiteral("x"));
    QVERIFY(!profile.HasSection(QStringLiteral("Old.zpf")));
    QCOMPARE(profile.Render(), QByteArray("[New.zpf]\r\nNazev=x\r\n"));
}

void TestProfileFile::hostileInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("nul bytes") << QByteArray(100000, '\0');
    QByteArray binary(1 << 20, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((unsigned(i) * 7919u) >> 3);
    QTest::newRow("binary") << binary;
    QTest::newRow("megabyte line") << (QByteArray("[A]\r\nk=") + QByteArray(1 << 20, 'q'));
    QTest::newRow("unterminated header") << QByteArray("[A\r\nk=v\r\n[");
    QTest::newRow("only brackets") << QByteArray("[]\r\n=\r\n==\r\n[[]]\r\n");
}

void TestProfileFile::hostileInput()
{
    QFETCH(QByteArray, bytes);
    ProfileFile profile = ProfileFile::Parse(bytes);
    // Whatever it holds, an untouched file renders back byte for byte.
    QCOMPARE(profile.Render(), bytes);
    for (const QString& section : profile.Sections())
        for (const QString& key : profile.Keys(section))
            QVERIFY(profile.Read(section, key).size() <= ProfileFile::MaxValueLength);
    ReadsAsParsed(bytes);
}

void TestProfileFile::missingFileIsEmptyAndCreatedOnSave()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.ini"));
    ProfileFile profile = ProfileFile::Load(path);
    QVERIFY(profile.Sections().isEmpty());
    profile.Write(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"));
    profile.Save(path);
    QCOMPARE(ReadBytes(path), QByteArray("[S]\r\nk=v\r\n"));
}

void TestProfileFile::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("gone"));
    ProfileFile profile;
    profile.Write(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"));
    try {
        profile.Save(folder + QStringLiteral("/x.ini"));
        QFAIL("saving into a missing folder succeeded");
    } catch (const ZelvakonError& error) {
        QVERIFY2(error.Message().contains(QStringLiteral("x.ini")), qPrintable(error.Message()));
    }
}

QTEST_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
