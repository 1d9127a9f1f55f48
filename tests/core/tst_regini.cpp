#include "Error.h"
#include "ProfileFile.h"
#include "RegIni.h"
#include "RegistryText.h"
#include "TimeBounds.h"
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

const QString Cu = QStringLiteral("HKEY_CURRENT_USER");
const QString Lm = QStringLiteral("HKEY_LOCAL_MACHINE");

QString S(const char* text) { return QString::fromUtf8(text); }

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList Load(const QByteArray& ini, const QStringList& before = {}, QString* last = nullptr)
{
    RegistryTree tree = TreeOf(before);
    const RegIniLoadReport report = LoadRegIni(ini, tree);
    if (last)
        *last = report.Last ? KeyPath(report.Last) : QString();
    return DumpTree(tree);
}

const QStringList ExampleTree = {
    S("HKEY_CURRENT_USER\\Software"),
    S("HKEY_CURRENT_USER\\Software\\Firma|Cesta|String|C:\\Hry\\Firma"),
    S("HKEY_CURRENT_USER\\Software\\Firma|Verze|Integer|2"),
    S("HKEY_CURRENT_USER\\Software\\Firma|Aktivni|Boolean|1"),
    S("HKEY_LOCAL_MACHINE\\Programy"),
};

}  // namespace

class TestRegIni : public QObject {
    Q_OBJECT
private slots:
    void buildStream_data();
    void buildStream();
    void saveWritesThroughProfile_data();
    void saveWritesThroughProfile();
    void streamedSaveMatchesTheEngine_data();
    void streamedSaveMatchesTheEngine();
    void saveFailureLeavesFile();
    void load_data();
    void load();
    void lastKeyLoaded_data();
    void lastKeyLoaded();
    void saveLoadSave_data();
    void saveLoadSave();
    void keptInput_data();
    void keptInput();
    void lineBreaksAreNotWritten_data();
    void lineBreaksAreNotWritten();
    void largeFilesStayLinear_data();
    void largeFilesStayLinear();
};

void TestRegIni::buildStream_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("the eleven-line example") << ExampleTree
        << QByteArray("[HKEY_CURRENT_USER\\Software]\r\nNic=Nic\r\n\r\n"
                      "[HKEY_CURRENT_USER\\Software\\Firma]\r\nCesta=(String)C:\\Hry\\Firma\r\nVerze=(Integer)2\r\n"
                      "Aktivni=(Boolean)1\r\n\r\n"
                      "[HKEY_LOCAL_MACHINE\\Programy]\r\nNic=Nic\r\n\r\n");
    QTest::newRow("only the roots give no text") << QStringList() << QByteArray();
    QTest::newRow("empty keys keep a placeholder at every depth")
        << QStringList{S("HKEY_USERS\\A\\B\\C"), S("HKEY_DYN_DATA\\D")}
        << QByteArray("[HKEY_USERS\\A]\r\nNic=Nic\r\n\r\n[HKEY_USERS\\A\\B]\r\nNic=Nic\r\n\r\n"
                      "[HKEY_USERS\\A\\B\\C]\r\nNic=Nic\r\n\r\n[HKEY_DYN_DATA\\D]\r\nNic=Nic\r\n\r\n");
    QTest::newRow("roots in their fixed order, children after their parent")
        << QStringList{S("HKEY_DYN_DATA\\Z"), S("HKEY_CURRENT_USER\\B"), S("HKEY_CURRENT_USER\\A\\X"),
                       S("HKEY_CURRENT_USER\\B\\Y")}
        << QByteArray("[HKEY_CURRENT_USER\\B]\r\nNic=Nic\r\n\r\n[HKEY_CURRENT_USER\\B\\Y]\r\nNic=Nic\r\n\r\n"
                      "[HKEY_CURRENT_USER\\A]\r\nNic=Nic\r\n\r\n[HKEY_CURRENT_USER\\A\\X]\r\nNic=Nic\r\n\r\n"
                      "[HKEY_DYN_DATA\\Z]\r\nNic=Nic\r\n\r\n");
    QTest::newRow("names differing in case: one line, place of the first, text of the last")
        << QStringList{S("HKEY_CURRENT_USER\\K|Verze|Integer|2"), S("HKEY_CURRENT_USER\\K|Jine|String|x"),
                       S("HKEY_CURRENT_USER\\K|VERZE|String|3")}
        << QByteArray("[HKEY_CURRENT_USER\\K]\r\nVERZE=(String)3\r\nJine=(String)x\r\n\r\n");
    QTest::newRow("siblings differing in case share the first one's section")
        << QStringList{S("HKEY_CURRENT_USER\\Soft|A|String|1"), S("HKEY_CURRENT_USER\\Soft\\Sub"),
                       S("HKEY_CURRENT_USER\\SOFT|B|Date|2"), S("HKEY_CURRENT_USER\\SOFT|a|Time|3")}
        << QByteArray("[HKEY_CURRENT_USER\\Soft]\r\na=(Time)3\r\nB=(Date)2\r\n\r\n"
                      "[HKEY_CURRENT_USER\\Soft\\Sub]\r\nNic=Nic\r\n\r\n");
    QTest::newRow("an empty sibling adds its placeholder to the shared section")
        << QStringList{S("HKEY_CURRENT_USER\\a|X|Float|1.5"), S("HKEY_CURRENT_USER\\A")}
        << QByteArray("[HKEY_CURRENT_USER\\a]\r\nX=(Float)1.5\r\nNic=Nic\r\n\r\n");
    QStringList many;
    QByteArray manyLines;
    for (int i = 0; i < 20; ++i) {
        many << S("HKEY_CURRENT_USER\\K|n%1|Integer|%1").arg(i);
        manyLines += "n" + QByteArray::number(i) + "=(Integer)" + (i == 3 ? QByteArray("x") : QByteArray::number(i)) + "\r\n";
    }
    many << S("HKEY_CURRENT_USER\\K|n3|Integer|x") << S("HKEY_CURRENT_USER\\L|N3|Integer|y");
    QTest::newRow("a name written again among many replaces its line, in its own section only")
        << many << "[HKEY_CURRENT_USER\\K]\r\n" + manyLines + "\r\n[HKEY_CURRENT_USER\\L]\r\nN3=(Integer)y\r\n\r\n";
    QTest::newRow("every type by name, values as typed")
        << QStringList{S("HKEY_CLASSES_ROOT\\T|b|Boolean|ano"), S("HKEY_CLASSES_ROOT\\T|c|Currency|12,50 Kč"),
                       S("HKEY_CLASSES_ROOT\\T|d|Date|31.12.2024"), S("HKEY_CLASSES_ROOT\\T|dt|DateTime|x y"),
                       S("HKEY_CLASSES_ROOT\\T|f|Float|1e9"), S("HKEY_CLASSES_ROOT\\T|i|Integer|-7"),
                       S("HKEY_CLASSES_ROOT\\T|s|String|\"q\""), S("HKEY_CLASSES_ROOT\\T|t|Time|12:00")}
        << QByteArray("[HKEY_CLASSES_ROOT\\T]\r\nb=(Boolean)ano\r\nc=(Currency)12,50 K\xe8\r\nd=(Date)31.12.2024\r\n"
                      "dt=(DateTime)x y\r\nf=(Float)1e9\r\ni=(Integer)-7\r\ns=(String)\"q\"\r\nt=(Time)12:00\r\n\r\n");
    QTest::newRow("Windows-1250 bytes")
        << QStringList{S("HKEY_CURRENT_USER\\Hra říše|šířka|String|€")}
        << QByteArray("[HKEY_CURRENT_USER\\Hra \xf8\xed\x9a" "e]\r\n\x9a\xed\xf8ka=(String)\x80\r\n\r\n");
    QTest::newRow("markers in names and values are written unchanged")
        << QStringList{S("HKEY_CURRENT_USER\\M|(Date)n|String|(Time)v")}
        << QByteArray("[HKEY_CURRENT_USER\\M]\r\n(Date)n=(String)(Time)v\r\n\r\n");
}

void TestRegIni::buildStream()
{
    QFETCH(QStringList, tree);
    QFETCH(QByteArray, expected);
    QCOMPARE(BuildRegIniStream(TreeOf(tree)), expected);
}

void TestRegIni::saveWritesThroughProfile_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QByteArray>("before");  // null: no file
    QTest::addColumn<QByteArray>("expected");

    const QByteArray example = "[HKEY_CURRENT_USER\\Software]\r\nNic=Nic\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Firma]\r\nCesta=(String)C:\\Hry\\Firma\r\n"
                               "Verze=(Integer)2\r\nAktivni=(Boolean)1\r\n"
                               "[HKEY_LOCAL_MACHINE\\Programy]\r\nNic=Nic\r\n";
    QTest::newRow("a new file") << ExampleTree << QByteArray() << example;
    QTest::newRow("every old section goes, also one the tree names")
        << ExampleTree << QByteArray("[HKEY_CURRENT_USER\\Software]\r\nStare=(String)x\r\n[Jine]\r\na=b\r\n") << example;
    QTest::newRow("text before the first section stays")
        << ExampleTree << QByteArray("; Registry\r\n\r\n[Old]\r\nx=y\r\n") << QByteArray("; Registry\r\n\r\n") + example;
    QTest::newRow("a last line without its line break gets one")
        << ExampleTree << QByteArray("; comment") << QByteArray("; comment\r\n") + example;
    QTest::newRow("a header after blanks ends the kept text")
        << ExampleTree << QByteArray("; a [b]\r\n \t[Old]\r\nx=y\r\n") << QByteArray("; a [b]\r\n") + example;
    QTest::newRow("lines ended by CR or LF alone end in CR LF, as every line of the file")
        << ExampleTree << QByteArray("; a\r; b\n[Old]\r\n") << QByteArray("; a\r\n; b\r\n") + example;
    QTest::newRow("a byte order mark before the first header goes")
        << ExampleTree << QByteArray("\xEF\xBB\xBF[Old]\r\nx=y\r\n") << example;
    const QByteArray longText = QByteArray(200000, ';') + "\r\n";
    QTest::newRow("kept text longer than one read") << ExampleTree << longText + "[Old]\r\n" << longText + example;
    QTest::newRow("names and sections differing in case merge as in the build copy")
        << QStringList{S("HKEY_CURRENT_USER\\Soft|Verze|Integer|2"), S("HKEY_CURRENT_USER\\Soft|X|Time|1"),
                       S("HKEY_CURRENT_USER\\Soft\\Sub"), S("HKEY_CURRENT_USER\\SOFT|VERZE|String|3"),
                       S("HKEY_CURRENT_USER\\SOFT|y|Date|4")}
        << QByteArray()
        << QByteArray("[HKEY_CURRENT_USER\\Soft]\r\nVERZE=(String)3\r\nX=(Time)1\r\ny=(Date)4\r\n"
                      "[HKEY_CURRENT_USER\\Soft\\Sub]\r\nNic=Nic\r\n");
}

void TestRegIni::saveWritesThroughProfile()
{
    QFETCH(QStringList, tree);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Reg.ini"));
    if (!before.isNull())
        WriteFile(path, before);
    SaveRegIni(path, TreeOf(tree));
    QCOMPARE(ReadFile(path), expected);
    // The same sections and lines as the build copy, which adds an empty line after each section.
    QByteArray stream = BuildRegIniStream(TreeOf(tree));
    stream.replace("\r\n\r\n", "\r\n");
    QVERIFY(expected.endsWith(stream));
}

void TestRegIni::streamedSaveMatchesTheEngine_data()
{
    QTest::addColumn<QStringList>("tree");
    QString deep = Cu;
    for (int i = 0; i < 300; ++i)
        deep += i % 2 ? S("\\Klíč") : S("\\k");
    QStringList wide;
    for (int i = 0; i < 300; ++i)
        wide << Cu + S("\\Firma %1\\Sub|%2%3|String|hodnota %4").arg(i / 7).arg(i % 2 ? S("jméno") : S("JMÉNO")).arg(i % 5).arg(i);
    QTest::newRow("the example") << ExampleTree;
    QTest::newRow("one chain 300 deep, names repeated along it") << QStringList{deep + S("|a|Date|1")};
    QTest::newRow("many keys, names written again within a key") << wide;
    QTest::newRow("siblings differing in case") << QStringList{Cu + S("\\Ab|x|Time|1"), Cu + S("\\aB\\C"), Cu + S("\\AB|X|Float|2")};
}

// The save streams the sections as it walks; what it writes must be what the profile engine makes of
// the same lines in memory, and the build copy the same with an empty line after each section.
void TestRegIni::streamedSaveMatchesTheEngine()
{
    QFETCH(QStringList, tree);
    const RegistryTree registry = TreeOf(tree);
    ProfileFile engine = ProfileFile::Parse("; kept\r\n[Old]\r\nx=y\r\n");
    WriteRegIni(engine, registry);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Reg.ini"));
    WriteFile(path, "; kept\r\n[Old]\r\nx=y\r\n");
    SaveRegIni(path, registry);
    QCOMPARE(ReadFile(path), engine.Render());
    ProfileFile copy;
    WriteRegIni(copy, registry);
    QCOMPARE(BuildRegIniStream(registry), copy.Render(true));
}

void TestRegIni::saveFailureLeavesFile()
{
    QTemporaryDir dir;
    // A folder where the file should be: the error names the file.
    const QString folder = dir.filePath(QStringLiteral("Reg.ini"));
    QVERIFY(QDir().mkdir(folder));
    try {
        SaveRegIni(folder, TreeOf(ExampleTree));
        QFAIL("no error for a folder in the file's place");
    } catch (const ZelvakonError& error) {
        QVERIFY(error.Message().contains(folder));
    }

    // A disk that fills up half way: the old file stays as it was.
    const QString path = dir.filePath(QStringLiteral("Full.ini"));
    const QByteArray old = "[HKEY_CURRENT_USER\\Old]\r\nNic=Nic\r\n";
    WriteFile(path, old);
    RegistryTree big;
    for (int i = 0; i < 2000; ++i)
        BuildTree(big, {Cu + QStringLiteral("\\Key%1|Name|String|value").arg(i)});
    signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limited);
    bool thrown = false;
    try {
        SaveRegIni(path, big);
    } catch (const ZelvakonError&) {
        thrown = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(thrown);
    QCOMPARE(ReadFile(path), old);
}

void TestRegIni::load_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");

    const QStringList none;
    QTest::newRow("the placeholder makes a key without entries")
        << QByteArray("[HKEY_CURRENT_USER\\A]\r\nNic=Nic\r\n") << none << QStringList{S("HKEY_CURRENT_USER\\A")};
    QTest::newRow("Software\\Firma creates both, entries on Firma only")
        << QByteArray("[HKEY_LOCAL_MACHINE\\Software\\Firma]\r\nCesta=(String)C:\\Hry\r\nVerze=(Integer)2\r\n")
        << QStringList{S("HKEY_LOCAL_MACHINE\\Jine")}
        << QStringList{S("HKEY_LOCAL_MACHINE\\Jine"), S("HKEY_LOCAL_MACHINE\\Software"),
                       S("HKEY_LOCAL_MACHINE\\Software\\Firma"), S("HKEY_LOCAL_MACHINE\\Software\\Firma|Cesta|String|C:\\Hry"),
                       S("HKEY_LOCAL_MACHINE\\Software\\Firma|Verze|Integer|2")};
    QTest::newRow("keys that all exist gain nothing")
        << QByteArray("[HKEY_CURRENT_USER\\A]\r\nx=(String)1\r\n[HKEY_CURRENT_USER\\A\\B]\r\ny=(Integer)2\r\n")
        << QStringList{S("HKEY_CURRENT_USER\\A\\B|z|Time|3")}
        << QStringList{S("HKEY_CURRENT_USER\\A"), S("HKEY_CURRENT_USER\\A\\B"), S("HKEY_CURRENT_USER\\A\\B|z|Time|3")};
    QTest::newRow("a key made by an earlier section of the load gains nothing")
        << QByteArray("[HKEY_CURRENT_USER\\A\\B]\r\ny=(Integer)2\r\n[HKEY_CURRENT_USER\\A]\r\nx=(String)1\r\n") << none
        << QStringList{S("HKEY_CURRENT_USER\\A"), S("HKEY_CURRENT_USER\\A\\B"), S("HKEY_CURRENT_USER\\A\\B|y|Integer|2")};
    QTest::newRow("a String whose value is the Date marker gives two entries in code order")
        << QByteArray("[HKEY_CURRENT_USER\\K]\r\nD=(String)(Date)\r\n") << none
        << QStringList{S("HKEY_CURRENT_USER\\K"), S("HKEY_CURRENT_USER\\K|D|Date|(String)"),
                       S("HKEY_CURRENT_USER\\K|D|String|(Date)")};
    QTest::newRow("markers in names count too")
        << QByteArray("[HKEY_CURRENT_USER\\K]\r\n(Integer)x=(String)v\r\n") << none
        << QStringList{S("HKEY_CURRENT_USER\\K"), S("HKEY_CURRENT_USER\\K|x|Integer|(String)v"),
                       S("HKEY_CURRENT_USER\\K|(Integer)x|String|v")};
    QTest::newRow("only the first marker of a type is removed")
        << QByteArray("[HKEY_CURRENT_USER\\K]\r\nn=(Time)a(Time)\r\n") << none
        << QStringList{S("HKEY_CURRENT_USER\\K"), S("HKEY_CURRENT_USER\\K|n|Time|a(Time)")};
    QTest::newRow("markers match letter case exactly; no marker, no entry")
        << QByteArray("[HKEY_CURRENT_USER\\K]\r\na=(string)1\r\nb=2\r\nc=(DateTime)3\r\n") << none
        << QStringList{S("HKEY_CURRENT_USER\\K"), S("HKEY_CURRENT_USER\\K|c|DateTime|3")};
    QTest::newRow("doubled and trailing backslashes make keys with empty names")
        << QByteArray("[HKEY_USERS\\A\\\\B\\]\r\nv=(Float)1\r\n") << none
        << QStringList{S("HKEY_USERS\\A"), S("HKEY_USERS\\A\\"), S("HKEY_USERS\\A\\\\B"), S("HKEY_USERS\\A\\\\B\\"),
                       S("HKEY_USERS\\A\\\\B\\|v|Float|1")};
    QTest::newRow("sections without a root key or a backslash are skipped, header blanks trimmed")
        << QByteArray("[HKEY_CURRENT_USER]\r\na=(String)1\r\n[hkey_current_user\\A]\r\nb=(String)2\r\n"
                      "[HKEY_NOWHERE\\B]\r\nc=(String)3\r\n[Plain]\r\nd=(String)4\r\n[ HKEY_USERS\\C ]\r\n")
        << none << QStringList{S("HKEY_USERS\\C")};
    QTest::newRow("a key named again in another letter case takes the last section's spelling and entries")
        << QByteArray("[HKEY_CURRENT_USER\\A]\r\nx=(String)1\r\n[HKEY_CURRENT_USER\\a]\r\ny=(String)2\r\n") << none
        << QStringList{S("HKEY_CURRENT_USER\\a"), S("HKEY_CURRENT_USER\\a|y|String|2")};
    QTest::newRow("a key named again only through its parent's other spelling keeps its entries")
        << QByteArray("[HKEY_USERS\\A\\B]\r\nv=(Float)1\r\n[HKEY_USERS\\a]\r\n[HKEY_USERS\\A\\B]\r\n") << none
        << QStringList{S("HKEY_USERS\\a"), S("HKEY_USERS\\a\\B"), S("HKEY_USERS\\a\\B|v|Float|1")};
    QTest::newRow("a path in another letter case leads to the same keys")
        << QByteArray("[HKEY_CURRENT_USER\\A\\B]\r\n[HKEY_CURRENT_USER\\a\\C]\r\nz=(Time)3\r\n") << none
        << QStringList{S("HKEY_CURRENT_USER\\A"), S("HKEY_CURRENT_USER\\A\\B"), S("HKEY_CURRENT_USER\\A\\C"),
                       S("HKEY_CURRENT_USER\\A\\C|z|Time|3")};
    QTest::newRow("a doubled name in a section keeps the first place and value")
        << QByteArray("[HKEY_CURRENT_USER\\K]\r\nX=(String)1\r\ny=(Time)2\r\nx=(Integer)3\r\n") << none
        << QStringList{S("HKEY_CURRENT_USER\\K"), S("HKEY_CURRENT_USER\\K|X|String|1"), S("HKEY_CURRENT_USER\\K|y|Time|2")};
    QTest::newRow("the reader trims blanks and one pair of quotes")
        << QByteArray("[HKEY_CURRENT_USER\\K]\r\n  n  =  \"(String) v \"  \r\n") << none
        << QStringList{S("HKEY_CURRENT_USER\\K"), S("HKEY_CURRENT_USER\\K|n|String| v ")};
    QTest::newRow("a value of 5000 characters is cut at 2047")
        << QByteArray("[HKEY_CURRENT_USER\\K]\r\nv=(String)") + QByteArray(4992, 'x') + "\r\n" << none
        << QStringList{S("HKEY_CURRENT_USER\\K"), S("HKEY_CURRENT_USER\\K|v|String|") + QString(2039, QLatin1Char('x'))};
    QTest::newRow("Windows-1250 text")
        << QByteArray("[HKEY_CURRENT_USER\\\xf8\xed\x9a]\r\n\x9a=(String)\x80\r\n") << none
        << QStringList{S("HKEY_CURRENT_USER\\říš"),
                       S("HKEY_CURRENT_USER\\říš|š|String|€")};
    QTest::newRow("an empty file adds nothing") << QByteArray() << none << QStringList();
    QTest::newRow("byte order mark, text before the first section, LF and CR line ends, a header without a line end")
        << QByteArray("\xEF\xBB\xBF[HKEY_USERS\\A]\nv=(Time)1\r[x]\r\n  \t[HKEY_USERS\\B\nw=(Date)2\n[HKEY_USERS\\C]")
        << none
        << QStringList{S("HKEY_USERS\\A"), S("HKEY_USERS\\A|v|Time|1"), S("HKEY_USERS\\B"), S("HKEY_USERS\\B|w|Date|2"),
                       S("HKEY_USERS\\C")};
    QTest::newRow("binary bytes add nothing")
        << QByteArray("\x00\xff\x1a\r[\x01\x02\n\xfe=\x00(", 13) << none << QStringList();
    // Children are looked up by a scan while few and by a hash once many: both must match exactly.
    QStringList siblings, grown;
    QByteArray growing;
    for (int i = 0; i < 31; ++i)
        siblings << Cu + QStringLiteral("\\K%1").arg(i);
    grown = siblings;
    for (int i = 31; i < 41; ++i) {
        growing += "[HKEY_CURRENT_USER\\K" + QByteArray::number(i) + "]\r\nv=(Integer)" + QByteArray::number(i) + "\r\n";
        if (i == 36) {
            grown << Cu + QStringLiteral("\\k36");  // named again below, in another letter case and with no entries
            continue;
        }
        grown << Cu + QStringLiteral("\\K%1").arg(i) << Cu + QStringLiteral("\\K%1|v|Integer|%1").arg(i);
    }
    growing += "[HKEY_CURRENT_USER\\K0]\r\nw=(Time)1\r\n[HKEY_CURRENT_USER\\K35]\r\nw=(Time)1\r\n[HKEY_CURRENT_USER\\k36]\r\n";
    QTest::newRow("siblings found while few and once many, also in another letter case")
        << growing << siblings << grown;
    QString deep = Cu;
    QStringList levels;
    for (int i = 0; i < MaxRegIniDepth; ++i)
        levels << (deep += QStringLiteral("\\k"));
    QTest::newRow("512 levels load, 513 are skipped")
        << (QStringLiteral("[%1\\too]\r\n[%2]\r\n").arg(deep, deep)).toLatin1() << none << levels;
}

void TestRegIni::load()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QCOMPARE(Load(ini, before), after);
}

void TestRegIni::lastKeyLoaded_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("last");
    QTest::newRow("a section of an existing key names its root")
        << QByteArray("[HKEY_USERS\\X]\r\n[HKEY_NONE\\Y]\r\n[HKEY_CURRENT_USER\\A]\r\n") << Cu;
    QTest::newRow("the deepest key made for the last section")
        << QByteArray("[HKEY_CURRENT_USER\\A\\B\\C]\r\n[HKEY_NONE\\Y]\r\n") << S("HKEY_CURRENT_USER\\A\\B\\C");
    QTest::newRow("a key named again in another letter case") << QByteArray("[HKEY_CURRENT_USER\\a]\r\n")
                                                               << S("HKEY_CURRENT_USER\\a");
    QTest::newRow("no section names a root") << QByteArray("[HKEY_NONE\\Y]\r\n[Z]\r\n") << QString();
}

void TestRegIni::lastKeyLoaded()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, last);
    QString loaded = S("not set");
    Load(ini, {S("HKEY_CURRENT_USER\\A")}, &loaded);
    QCOMPARE(loaded, last);
}

void TestRegIni::saveLoadSave_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::newRow("the example") << ExampleTree;
    QTest::newRow("empty keys at every depth under several roots")
        << QStringList{S("HKEY_USERS\\A\\B\\C"), S("HKEY_DYN_DATA\\D"), S("HKEY_CURRENT_CONFIG\\E\\F")};
    QTest::newRow("Czech names, blanks inside, quotes, own marker in the value")
        << QStringList{S("HKEY_CURRENT_USER\\ Hra říše\\Nastavení|Jméno hráče|String| \"Uršula\""),
                       S("HKEY_CURRENT_USER\\ Hra říše|x[y]|String|(String)ok"),
                       S("HKEY_CURRENT_USER\\[Menu|Cesta|String|C:\\Program Files\\Hra\\")};
    QTest::newRow("one entry per type, same name, values differ")
        << QStringList{S("HKEY_LOCAL_MACHINE\\T|a|Boolean|1"), S("HKEY_LOCAL_MACHINE\\T|b|Currency|1"),
                       S("HKEY_LOCAL_MACHINE\\T|c|Date|1"), S("HKEY_LOCAL_MACHINE\\T|d|DateTime|1"),
                       S("HKEY_LOCAL_MACHINE\\T|e|Float|1"), S("HKEY_LOCAL_MACHINE\\T|f|Integer|1"),
                       S("HKEY_LOCAL_MACHINE\\T|g|String|1"), S("HKEY_LOCAL_MACHINE\\T|h|Time|1")};
}

void TestRegIni::saveLoadSave()
{
    QFETCH(QStringList, tree);
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.ini"));
    const QString second = dir.filePath(QStringLiteral("second.ini"));
    const RegistryTree original = TreeOf(tree);
    SaveRegIni(first, original);
    RegistryTree loaded;
    LoadRegIni(first, loaded);
    QCOMPARE(DumpTree(loaded), DumpTree(original));
    SaveRegIni(second, loaded);
    QCOMPARE(ReadFile(second), ReadFile(first));
    QCOMPARE(BuildRegIniStream(loaded), BuildRegIniStream(original));
}

// The dialogs accept exactly what these rules accept; where the file cannot carry a text, the
// round trip must show it (or the save refuse it), so the refusal is not arbitrary.
void TestRegIni::keptInput_data()
{
    QTest::addColumn<QString>("keyName");  // null: the key is "K"
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("survives");  // a save and a load give it back unchanged

    const QString k;
    QTest::newRow("plain entry") << k << S("Verze") << S("Integer") << S("2") << true << true;
    QTest::newRow("Czech text and blanks inside")
        << S("Můj klíč") << S("Jméno a p") << S("String") << S("Žluťoučký kůň")
        << true << true;
    QTest::newRow("leading blanks of a key name and a value survive") << S("  K") << S("n") << S("String") << S("  v")
                                                                     << true << true;
    QTest::newRow("quotes around a value survive") << k << S("n") << S("String") << S("\"v\"") << true << true;
    QTest::newRow("the own marker in a value survives") << k << S("n") << S("Date") << S("(Date)") << true << true;
    QTest::newRow("[ and ] inside names survive") << S("a[b") << S("x[y]") << S("Time") << S("]") << true << true;
    QTest::newRow("longest value that fits the cut") << k << S("n") << S("String") << QString(2039, QLatin1Char('v'))
                                                     << true << true;
    QTest::newRow("one character more is cut") << k << S("n") << S("String") << QString(2040, QLatin1Char('v'))
                                               << false << false;
    QTest::newRow("another type's marker in the value") << k << S("n") << S("String") << S("(Date)") << false << false;
    QTest::newRow("a marker in the name") << k << S("(String)n") << S("String") << S("v") << false << false;
    QTest::newRow("trailing blank of a value") << k << S("n") << S("String") << S("v ") << false << false;
    QTest::newRow("leading blank of a name") << k << S(" n") << S("String") << S("v") << false << false;
    QTest::newRow("trailing blank of a name") << k << S("n ") << S("String") << S("v") << false << false;
    QTest::newRow("a name of one blank") << k << S(" ") << S("String") << S("v") << false << false;
    QTest::newRow("a name starting with [ reads as a section") << k << S("[n") << S("String") << S("v") << false
                                                               << false;
    QTest::newRow("a line break in a value") << k << S("n") << S("String") << S("a\r\nb") << false << false;
    QTest::newRow("a line feed in a name") << k << S("a\nb") << S("String") << S("v") << false << false;
    QTest::newRow("= in a name, refused by the editor's rule") << k << S("a=b") << S("String") << S("v") << false
                                                               << true;
    QTest::newRow("= in a value, refused by the editor's rule") << k << S("n") << S("String") << S("a=b") << false
                                                                << true;
    QTest::newRow("a tab inside, refused as a control character") << k << S("n") << S("String") << S("a\tb") << false
                                                                  << true;
    QTest::newRow("not Windows-1250") << k << S("n") << S("String") << S("Ж") << false << false;
    QTest::newRow("type in lower case") << k << S("n") << S("string") << S("v") << false << false;
    QTest::newRow("empty value, refused by the editor's rule") << k << S("n") << S("String") << QString() << false
                                                               << true;
    QTest::newRow("trailing blank of a key name") << S("K ") << S("n") << S("String") << S("v") << false << false;
    QTest::newRow("backslash in a key name") << S("a\\b") << S("n") << S("String") << S("v") << false << false;
    QTest::newRow("] in a key name ends the header") << S("a]b") << S("n") << S("String") << S("v") << false << false;
    QTest::newRow("line break in a key name") << S("a\r\nb") << S("n") << S("String") << S("v") << false << false;
    QTest::newRow("key name not Windows-1250") << S("✓") << S("n") << S("String") << S("v") << false
                                               << false;
}

void TestRegIni::keptInput()
{
    QFETCH(QString, keyName);
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, value);
    QFETCH(bool, accepted);
    QFETCH(bool, survives);
    const QString key = keyName.isNull() ? QStringLiteral("K") : keyName;
    QCOMPARE(RegIniKeepsKeyName(key) && RegIniKeepsEntry(name, type, value), accepted);

    // Key in the middle and at the end of a path, the entry on the deeper key.
    RegistryTree original;
    RegKey* outer = original.AddKey(original.Root(0), key);
    RegKey* inner = original.AddKey(outer, key);
    original.AddValue(inner, name, type, value);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Reg.ini"));
    RegistryTree loaded;
    try {
        SaveRegIni(path, original);
        LoadRegIni(path, loaded);
    } catch (const ZelvakonError&) {
        QVERIFY(!survives);  // a line break: the save refuses it
        return;
    }
    QCOMPARE(loaded == original, survives);
}

void TestRegIni::lineBreaksAreNotWritten_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::newRow("in a key name") << QStringList{S("HKEY_CURRENT_USER\\a\r\n[HKEY_USERS\\x]")};
    QTest::newRow("in an entry value") << QStringList{S("HKEY_CURRENT_USER\\K|n|String|1\nx=(String)2")};
    QTest::newRow("in an entry name") << QStringList{S("HKEY_CURRENT_USER\\K|n\r|String|1")};
}

// The dialogs refuse line breaks; one that reached the model in another way stops the save
// instead of turning into other lines or sections.
void TestRegIni::lineBreaksAreNotWritten()
{
    QFETCH(QStringList, tree);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Reg.ini"));
    const QByteArray old = "[HKEY_CURRENT_USER\\Old]\r\nNic=Nic\r\n";
    WriteFile(path, old);
    QVERIFY_THROWS_EXCEPTION(ZelvakonError, BuildRegIniStream(TreeOf(tree)));
    QVERIFY_THROWS_EXCEPTION(ZelvakonError, SaveRegIni(path, TreeOf(tree)));
    QCOMPARE(ReadFile(path), old);
}

void TestRegIni::largeFilesStayLinear_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("keys");

    QByteArray siblings;
    for (int i = 0; i < 100000; ++i)
        siblings += "[HKEY_CURRENT_USER\\Key" + QByteArray::number(i) + "]\r\nv=(String)x\r\n";
    QTest::newRow("100,000 sibling sections") << siblings << 100000;

    // One large section named again and again: its lines are read only for the key the load creates.
    QByteArray repeated = "[HKEY_CURRENT_USER\\A]\r\n";
    for (int i = 0; i < 20000; ++i)
        repeated += "n" + QByteArray::number(i) + "=(Integer)" + QByteArray::number(i) + "\r\n";
    for (int i = 0; i < 100000; ++i)
        repeated += "[HKEY_CURRENT_USER\\A]\r\n";
    QTest::newRow("one section named 100,000 times") << repeated << 1;

    QByteArray junk;
    for (int i = 0; i < 100000; ++i)
        junk += "[NoRoot" + QByteArray::number(i) + "]\r\nx=(String)y\r\n";
    QTest::newRow("100,000 sections without a root") << junk << 0;
}

void TestRegIni::largeFilesStayLinear()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, keys);
    QElapsedTimer timer;
    timer.start();
    RegistryTree tree;
    LoadRegIni(ini, tree);
    QCOMPARE(tree.NodeCount() - 6, keys);
    // Not a benchmark: a quadratic load of these takes minutes, a linear one well under a second here.
    QVERIFY2(timer.elapsed() < 20000 * TimeBoundScale, qPrintable(QString::number(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TestRegIni)
#include "tst_regini.moc"
