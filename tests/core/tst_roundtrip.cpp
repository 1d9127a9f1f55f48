#include "Codec.h"
#include "DatFormat.h"
#include "Datfile.h"
#include "Paths.h"
#include "ProfileFile.h"
#include "Project.h"
#include "TestEnv.h"
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <limits>
#include <random>
#include "RegIni.h"

// Random projects, with fixed seeds so that a failure comes back: saved and opened again they are the
// same project, and built they give a data file that reads back as the project, field for field.

namespace {

using Rng = std::mt19937;

int Below(Rng& rng, int n) { return int(rng() % unsigned(n)); }

// Any character Windows-1250 has (the five undefined bytes' characters included), but no line break:
// a value holds one line.
QChar AnyChar(Rng& rng)
{
    for (;;) {
        const char byte = char(Below(rng, 256));
        if (byte != '\r' && byte != '\n')
            return Codec::FromWin1250(QByteArray(1, byte)).at(0);
    }
}

// Mostly Czech letters, digits and blanks, now and then any character at all.
QString Text(Rng& rng, int maxLength)
{
    static const QString common = QStringLiteral("aábcčdďeéěfghiíjklmnňoópqrřsštťuúůvwxyýzž ĚŠČŘŽÝÁÍÉÚŮ0123456789\\:._-=[]\"'");
    QString text;
    const int length = Below(rng, maxLength + 1);
    for (int i = 0; i < length; ++i)
        text += Below(rng, 4) == 0 ? AnyChar(rng) : common[Below(rng, int(common.size()))];
    return text;
}

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// What a profile value can carry unchanged: no blank at either end, not wrapped in a pair of quotes.
QString Carried(QString text)
{
    while (!text.isEmpty() && IsBlank(text.front()))
        text.remove(0, 1);
    while (!text.isEmpty() && IsBlank(text.back()))
        text.chop(1);
    if (text.size() >= 2 && (text.front() == QLatin1Char('"') || text.front() == QLatin1Char('\''))
        && text.back() == text.front())
        text.append(QLatin1Char('x'));
    return text;
}

qint32 AnyInt(Rng& rng)
{
    switch (Below(rng, 4)) {
    case 0:
        return std::numeric_limits<qint32>::min() + Below(rng, 3);
    case 1:
        return std::numeric_limits<qint32>::max() - Below(rng, 3);
    case 2:
        return Below(rng, 1200) - 200;
    default:
        return qint32(rng());
    }
}

ClickArea AnyArea(Rng& rng) { return {AnyInt(rng), AnyInt(rng), AnyInt(rng), AnyInt(rng)}; }

QString Readme(Rng& rng)
{
    QStringList lines;
    const int count = Below(rng, 6);
    for (int i = 0; i < count; ++i)
        lines << Text(rng, 40);
    QString text = lines.join(QStringLiteral("\r\n"));
    if (count > 0 && Below(rng, 2))
        text += QStringLiteral("\r\n");
    return text;
}

// A registry tree grown and pruned by the model's own operations, with names and values that Reg.ini
// carries (the editor refuses the others) and no two siblings or entries of one key that a profile
// would take for the same (its names match without regard to letter case).
void GrowRegistry(Rng& rng, RegistryTree& tree)
{
    auto unused = [](const QString& name, const QStringList& taken) {
        for (const QString& t : taken)
            if (t.toLower() == name.toLower())
                return false;
        return true;
    };
    auto keyName = [&](const RegKey* parent, const RegKey* self) {
        QStringList taken;
        for (const auto& child : parent->Children)
            if (child.get() != self)
                taken << child->Name;
        for (;;) {
            const QString name = Text(rng, 12);
            if (RegIniKeepsKeyName(name) && unused(name, taken))
                return name;
        }
    };
    // Name, type and value of an entry for the key, leaving out the entry at index skip.
    auto entry = [&](const RegKey* key, int skip) {
        QStringList taken;
        for (int i = 0; i < key->Values.Entries.size(); ++i)
            if (i != skip)
                taken << EntryName(key->Values.Entries[i]);
        for (;;) {
            const QString name = Text(rng, 12), type = TypeNameOf(2 + Below(rng, 8)), value = Text(rng, 20);
            if (RegIniKeepsEntry(name, type, value) && unused(name, taken))
                return QStringList{name, type, value};
        }
    };
    const int steps = Below(rng, 14);
    for (int step = 0; step < steps; ++step) {
        std::vector<RegKey*> below;  // keys below the roots: only they hold entries
        tree.Walk([&](RegKey* key) {
            if (!key->IsRoot())
                below.push_back(key);
        });
        const int op = below.empty() ? 0 : Below(rng, 6);
        if (op == 0) {
            RegKey* parent = below.empty() || Below(rng, 2) ? tree.Root(Below(rng, 6))
                                                            : below[size_t(Below(rng, int(below.size())))];
            tree.AddKey(parent, keyName(parent, nullptr));
            continue;
        }
        RegKey* key = below[size_t(Below(rng, int(below.size())))];
        const int count = int(key->Values.Entries.size());
        if (op <= 2) {
            const QStringList e = entry(key, -1);
            tree.AddValue(key, e[0], e[1], e[2]);
        } else if (op == 3 && count > 0) {
            const int index = Below(rng, count);
            const QStringList e = entry(key, index);
            tree.ChangeValue(key, index, e[0], e[1], e[2]);
        } else if (op == 4 && count > 0) {
            tree.DeleteValue(key, Below(rng, count));
        } else if (op == 4) {
            tree.RenameKey(key, keyName(key->Parent, key));
        } else if (op == 5 && Below(rng, 3) == 0) {
            tree.DeleteKey(key);
        }
    }
}

Project AnyProject(Rng& rng)
{
    Project p;
    QString* texts[] = {&p.Nazev,     &p.DiskMisto, &p.ArchAdr, &p.CilAdr,    &p.WinRARExe, &p.Hudba,
                        &p.Obrazek,   &p.NazevProg, &p.PrikRadka, &p.Vystup, &p.JmenoInst, &p.JmenoDat};
    for (QString* text : texts)
        *text = Carried(Text(rng, 50));
    p.SpustitPrg = Below(rng, 2);
    p.Zeptat = Below(rng, 2);
    p.Rozbal = AnyArea(rng);
    p.Readme = AnyArea(rng);
    p.Konec = AnyArea(rng);
    p.ReadmeText = Readme(rng);
    GrowRegistry(rng, p.Registry);
    return p;
}

void Save(const QString& folder, const QString& name, const Project& p)
{
    WriteProjectFile(folder + QLatin1Char('/') + name, p);
    const QString regIni = folder + QStringLiteral("/Reg.ini");
    if (p.Registry.HasKeysBelowRoots())
        SaveRegIni(regIni, p.Registry);
    else
        QFile::remove(regIni);
    const QString readme = folder + QStringLiteral("/Readme.nfo");
    if (ReadmeLineCount(p.ReadmeText) > 0)
        SaveReadmeText(readme, p.ReadmeText);
    else
        QFile::remove(readme);
}

Project Open(const QString& folder, const QString& name)
{
    Project p = ReadProjectFile(folder + QLatin1Char('/') + name);
    if (QFile::exists(folder + QStringLiteral("/Reg.ini")))
        LoadRegIni(folder + QStringLiteral("/Reg.ini"), p.Registry);
    if (QFile::exists(folder + QStringLiteral("/Readme.nfo")))
        p.ReadmeText = LoadReadmeText(folder + QStringLiteral("/Readme.nfo"));
    return p;
}

QString Describe(const Project& p)
{
    return QStringList({p.Nazev, p.DiskMisto, p.ArchAdr, p.CilAdr, p.WinRARExe, p.Hudba, p.Obrazek, p.NazevProg,
                        p.PrikRadka, p.Vystup, p.JmenoInst, p.JmenoDat})
        .join(QLatin1Char('|'));
}

QByteArray RandomBytes(Rng& rng, int size)
{
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = char(rng());
    return bytes;
}

}  // namespace

class TestRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void savedAndOpenedIsTheSameProject_data();
    void savedAndOpenedIsTheSameProject();
    void edgeBlanksAndQuotesAreDropped();
    void builtDataFileReadsBackAsTheProject();
};

void TestRoundTrip::savedAndOpenedIsTheSameProject_data()
{
    QTest::addColumn<unsigned>("seed");
    for (unsigned seed : {1u, 2u, 3u, 4u})
        QTest::addRow("seed %u", seed) << seed;
}

void TestRoundTrip::savedAndOpenedIsTheSameProject()
{
    QFETCH(unsigned, seed);
    Rng rng(seed);
    QTemporaryDir dir;
    for (int i = 0; i < 80; ++i) {
        const Project p = AnyProject(rng);
        // Saved over the previous iteration's files, as a user saves again and again.
        Save(dir.path(), QStringLiteral("Projekt.zpf"), p);
        const Project back = Open(dir.path(), QStringLiteral("Projekt.zpf"));
        const QString where = QStringLiteral("seed %1, project %2").arg(seed).arg(i);
        QVERIFY2(Describe(back) == Describe(p), qPrintable(where + QStringLiteral(": ") + Describe(back)));
        QVERIFY2(back.SpustitPrg == p.SpustitPrg && back.Zeptat == p.Zeptat, qPrintable(where));
        QVERIFY2(back.Rozbal == p.Rozbal && back.Readme == p.Readme && back.Konec == p.Konec, qPrintable(where));
        QVERIFY2(back.ReadmeText == p.ReadmeText, qPrintable(where));
        QVERIFY2(back.Registry == p.Registry, qPrintable(where));
    }
}

void TestRoundTrip::edgeBlanksAndQuotesAreDropped()
{
    Rng rng(7);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Okraje.zpf"));
    for (int i = 0; i < 150; ++i) {
        const QString core = Carried(Text(rng, 30));
        QString edged = core;
        const int form = Below(rng, 3);
        if (form == 0 || form == 2) {
            for (int n = Below(rng, 3) + 1; n > 0; --n)
                edged.prepend(Below(rng, 2) ? QLatin1Char(' ') : QLatin1Char('\t'));
            for (int n = Below(rng, 3); n > 0; --n)
                edged.append(Below(rng, 2) ? QLatin1Char(' ') : QLatin1Char('\t'));
        }
        if (form >= 1) {
            const QChar quote = Below(rng, 2) ? QLatin1Char('"') : QLatin1Char('\'');
            edged = quote + edged + quote;  // one pair only is taken off, then no more trimming
            if (form == 2)
                edged = QStringLiteral("  ") + edged + QStringLiteral(" ");
        }
        Project p;
        p.Nazev = edged;
        p.PrikRadka = QString(2047 + Below(rng, 100), QLatin1Char('p'));
        WriteProjectFile(path, p);
        const Project back = ReadProjectFile(path);
        const QString expected = form == 2 ? edged.trimmed().mid(1).chopped(1) : form == 1 ? edged.mid(1).chopped(1) : core;
        QVERIFY2(back.Nazev == expected, qPrintable(QStringLiteral("%1: [%2] came back as [%3]").arg(i).arg(edged, back.Nazev)));
        QCOMPARE(back.PrikRadka.size(), 2047);  // the profile read's cut
    }
}

void TestRoundTrip::builtDataFileReadsBackAsTheProject()
{
    Rng rng(11);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("Program")), folder = dir.filePath(QStringLiteral("Projekt")),
                  output = dir.filePath(QStringLiteral("Vystup"));
    for (const QString& f : {program, folder, output})
        QDir().mkpath(f);
    for (int i = 0; i < 60; ++i) {
        const QString where = QStringLiteral("build %1").arg(i);
        Project p = AnyProject(rng);
        const QByteArray archive = RandomBytes(rng, Below(rng, 3) ? Below(rng, 2000) : 40196 + Below(rng, 50000));
        const QByteArray picture = RandomBytes(rng, Below(rng, 3000));
        const QByteArray music = RandomBytes(rng, Below(rng, 3000));
        const QByteArray unrar = "MZ" + RandomBytes(rng, Below(rng, 5000));
        WriteBytes(folder + QStringLiteral("/archiv.rar"), archive);
        WriteBytes(program + QStringLiteral("/Unrar.dll"), unrar);
        WriteBytes(program + QStringLiteral("/Vorvanex.exe"), "MZ");
        const bool withPicture = Below(rng, 2), withMusic = Below(rng, 2);
        p.Obrazek = withPicture ? dir.filePath(QStringLiteral("titul.bmp")) : QString();
        WriteBytes(dir.filePath(QStringLiteral("titul.bmp")), picture);
        // The music's name goes into the file: a Czech one, from the random title.
        const QString musicName = QString(p.Nazev).remove(QLatin1Char('/')).remove(QLatin1Char('\\')).remove(QChar(0))
                                  + QStringLiteral(".mid");
        p.Hudba = withMusic ? dir.path() + QLatin1Char('/') + musicName : QString();  // filePath refuses ":..."
        if (withMusic)
            WriteBytes(p.Hudba, music);

        DatFileInputs in;
        in.UnrarFolder = in.ExtractorFolder = program;
        in.ProjectFolder = folder;
        in.Project = p;
        in.Project.Vystup = output;
        in.Project.JmenoInst = QStringLiteral("Setup");
        in.Project.JmenoDat = QStringLiteral("Data");
        const QByteArray readme = Codec::ToWin1250(p.ReadmeText);
        if (!readme.isEmpty())
            in.ReadmeStream = std::make_unique<QByteArray>(readme);
        QByteArray regIni;
        if (p.Registry.HasKeysBelowRoots())
            regIni = BuildRegIniStream(p.Registry);
        if (!regIni.isEmpty())
            in.RegIniStream = std::make_unique<QByteArray>(regIni);
        DatFileWriter writer(std::move(in), {});
        QVERIFY2(writer.Execute() == DatFileOutcome::Done, qPrintable(where));

        const QByteArray dat = ReadBytes(output + QStringLiteral("/Data.dat"));
        const DatCheck check = VerifyDatHeader(dat, dat.size());
        QVERIFY2(check.Ok, qPrintable(where + QStringLiteral(": ") + check.Error));
        const DatLayout& l = check.Layout;
        const DatHeader& h = l.Header;
        auto text = [&](int n) { return Codec::FromWin1250(dat.mid(l.TextOffsets[size_t(n)], h.TextLengths[size_t(n)])); };
        auto part = [&](int n) { return dat.mid(l.PartOffsets[size_t(n)], h.PartSizes[size_t(n)]); };
        QVERIFY2(text(0) == p.Nazev, qPrintable(where));
        QVERIFY2(text(1) == p.DiskMisto, qPrintable(where));
        QVERIFY2(text(2) == p.CilAdr, qPrintable(where));
        QVERIFY2(text(3) == (withMusic ? musicName : QString()), qPrintable(where));
        QVERIFY2(text(4) == (p.SpustitPrg ? p.NazevProg : QString()), qPrintable(where));
        QVERIFY2(text(5) == (p.SpustitPrg ? p.PrikRadka : QString()), qPrintable(where));
        QVERIFY2(h.AskFlag == (p.SpustitPrg && p.Zeptat ? 1 : 0), qPrintable(where));
        QVERIFY2(h.Rozbal == p.Rozbal && h.Readme == p.Readme && h.Konec == p.Konec, qPrintable(where));
        QVERIFY2(part(0) == archive, qPrintable(where));
        QVERIFY2(part(1) == (withPicture ? picture : QByteArray()), qPrintable(where));
        QVERIFY2(part(2) == (withMusic ? music : QByteArray()), qPrintable(where));
        QVERIFY2(part(3) == readme, qPrintable(where));
        QVERIFY2(part(4) == regIni, qPrintable(where));
        QVERIFY2(dat.mid(l.UnrarOffset) == unrar, qPrintable(where));
        QVERIFY2(!QFile::exists(folder + QStringLiteral("/archiv.rar")), qPrintable(where));
        if (withMusic)
            QFile::remove(p.Hudba);
    }
}

QTEST_GUILESS_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
