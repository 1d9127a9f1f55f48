#include "BuildChecks.h"
#include "Error.h"
#include "Project.h"
#include "TestEnv.h"
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray Bitmap(qint32 width, qint32 height, int size = 200)
{
    if (size >= 54)
        return BitmapBytes(width, height, size);
    // Cut short: the size fields as far as they fit.
    QByteArray bytes = BitmapBytes(width, height).left(size);
    return bytes;
}

// The literal texts, so that a typo in the program is caught.
struct Expected {
    const char* Text;
    const char* Title;
    MsgIcon Icon;
};
Expected MessageOf(int check, const QString& projectFolder, const QString& archAdr)
{
    static QByteArray one, two;
    one = (QStringLiteral("Cesta k adresáři s projektem '") + projectFolder
           + QStringLiteral("' obsahuje v názvu mezery.\nUkončete program, odstraňte v názvu cesty mezery a spusťte "
                            "program znovu.\nVysvětlení najdete v souboru Readme.txt."))
              .toUtf8();
    two = (QStringLiteral("Název adresáře se soubory k archivaci '") + archAdr
           + QStringLiteral("' nesmí obsahovat mezery.\nVysvětlení najdete v souboru Readme.txt."))
              .toUtf8();
    switch (check) {
    case 1: return {one.constData(), "Upozornění", MsgIcon::Warning};
    case 2: return {two.constData(), "Upozornění", MsgIcon::Warning};
    case 3: return {"Musíte nejprve nastavit klikací plochy.", "Upozornění", MsgIcon::Warning};
    case 4: return {"Adresář se soubory k archivaci neexistuje.", "Chyba", MsgIcon::Error};
    case 5: return {"Adresář se soubory k archivaci žádné soubory neobsahuje.", "Chyba", MsgIcon::Error};
    case 6: return {"Místo na disku, které bude program potřebovat, musí být větší než nula.", "Upozornění",
                    MsgIcon::Warning};
    case 7: return {"Obrázek nemůže být větší než 600x400 bodů.", "Chyba", MsgIcon::Error};
    case 8: return {"Obrázek nemůže být menší než 100x100 bodů.", "Chyba", MsgIcon::Error};
    case 9: return {"Program, který se bude spouštet po extrakci\nnemá definován buď název anebo příkazovou řádku.",
                    "Chyba", MsgIcon::Error};
    default: return {"Výstupní adresář pro datový soubor nelze vytvořit.", "Chyba", MsgIcon::Error};
    }
}

struct Fixture {
    QTemporaryDir Dir;
    QString ProjectFolder = Dir.path() + QStringLiteral("/Projekty");
    Project P;
    Fixture()
    {
        QDir().mkpath(ProjectFolder);
        P.ArchAdr = Dir.path() + QStringLiteral("/Hra");
        QDir().mkpath(P.ArchAdr);
        WriteBytes(P.ArchAdr + QStringLiteral("/hra.exe"), "MZ");
        P.DiskMisto = QStringLiteral("1200");
        P.Obrazek = Dir.path() + QStringLiteral("/titul.bmp");
        WriteBytes(P.Obrazek, Bitmap(320, 200));
        P.Rozbal = {10, 10, 50, 50};
        P.Readme = {60, 10, 90, 50};
        P.Konec = {100, 10, 150, 50};
        P.Vystup = Dir.path() + QStringLiteral("/Vystup");
        QDir().mkpath(P.Vystup);
    }
};

}  // namespace

class TestBuildChecks : public QObject {
    Q_OBJECT
private slots:
    void checksInOrder_data();
    void checksInOrder();
    void unreadableInputEndTheCommand_data();
    void unreadableInputEndTheCommand();
};

void TestBuildChecks::checksInOrder_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("check");  // 0: the build may start

    QTest::newRow("complete project passes") << "" << 0;
    QTest::newRow("blank in the project folder") << "projectBlank" << 1;
    QTest::newRow("project folder blank wins over every later fault") << "projectBlank archMissing space=0" << 1;
    QTest::newRow("blank in the archive folder") << "archBlank" << 2;
    QTest::newRow("a tab is no blank") << "archTab" << 0;
    QTest::newRow("an area value 0 with a picture") << "areaZero" << 3;
    QTest::newRow("areas unset without a picture pass") << "areaZero noPicture" << 0;
    QTest::newRow("areas checked before the archive folder") << "areaZero archMissing" << 3;
    QTest::newRow("archive folder missing") << "archMissing" << 4;
    QTest::newRow("archive folder is a file") << "archFile" << 4;
    QTest::newRow("a hidden file alone passes") << "onlyHidden" << 0;
    QTest::newRow("subfolders alone fail even with files") << "onlySubfolders" << 5;
    QTest::newRow("empty archive folder") << "archEmpty" << 5;
    QTest::newRow("disk space 0") << "space=0" << 6;
    QTest::newRow("disk space negative") << "space=-5" << 6;
    QTest::newRow("disk space 1 passes") << "space=1" << 0;
    QTest::newRow("disk space at the int32 top passes") << "space=2147483647" << 0;
    QTest::newRow("disk space before the picture") << "space=0 bmp=700x500" << 6;
    QTest::newRow("600x400 passes") << "bmp=600x400" << 0;
    QTest::newRow("100x100 passes") << "bmp=100x100" << 0;
    QTest::newRow("601x400 too wide") << "bmp=601x400" << 7;
    QTest::newRow("600x401 too high") << "bmp=600x401" << 7;
    QTest::newRow("99x100 too narrow") << "bmp=99x100" << 8;
    QTest::newRow("100x99 too low") << "bmp=100x99" << 8;
    QTest::newRow("top-down bitmap has a negative height") << "bmp=200x-150" << 8;
    QTest::newRow("huge width at offset 18") << "bmp=2147483647x150" << 7;
    QTest::newRow("most negative width") << "bmp=-2147483648x150" << 8;
    QTest::newRow("too large is tested before too small") << "bmp=700x50" << 7;
    QTest::newRow("no picture, no size check") << "noPicture bmp=5x5" << 0;
    QTest::newRow("program on with its name only") << "run name" << 9;
    QTest::newRow("program on with its command line only") << "run cmd" << 9;
    QTest::newRow("program on with both") << "run name cmd" << 0;
    QTest::newRow("program off with both empty") << "" << 0;
    QTest::newRow("picture checks before the program") << "run bmp=601x400" << 7;
    QTest::newRow("missing output folder with its parent is created") << "outNew" << 0;
    QTest::newRow("output folder with a missing parent") << "outDeep" << 10;
    QTest::newRow("output folder is a file") << "outFile" << 10;
    QTest::newRow("program before the output folder") << "run outDeep" << 9;
}

void TestBuildChecks::checksInOrder()
{
    QFETCH(QString, change);
    QFETCH(int, check);
    Fixture f;
    Project& p = f.P;
    QString projectFolder = f.ProjectFolder;
    for (const QString& word : change.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word == QLatin1String("projectBlank")) {
            projectFolder = f.Dir.path() + QStringLiteral("/Moje projekty");
            QDir().mkpath(projectFolder);
        } else if (word == QLatin1String("archBlank") || word == QLatin1String("archTab")) {
            p.ArchAdr = f.Dir.path()
                        + (word == QLatin1String("archBlank") ? QStringLiteral("/Moje hra") : QStringLiteral("/Moje\thra"));
            QDir().mkpath(p.ArchAdr);
            WriteBytes(p.ArchAdr + QStringLiteral("/a.txt"), "a");
        } else if (word == QLatin1String("archMissing")) {
            p.ArchAdr = f.Dir.path() + QStringLiteral("/Nic");
        } else if (word == QLatin1String("archFile")) {
            p.ArchAdr = p.ArchAdr + QStringLiteral("/hra.exe");
        } else if (word == QLatin1String("onlyHidden") || word == QLatin1String("onlySubfolders")
                   || word == QLatin1String("archEmpty")) {
            QFile::remove(p.ArchAdr + QStringLiteral("/hra.exe"));
            if (word == QLatin1String("onlyHidden"))
                WriteBytes(p.ArchAdr + QStringLiteral("/.skryty"), "h");
            if (word == QLatin1String("onlySubfolders")) {
                QDir().mkpath(p.ArchAdr + QStringLiteral("/data"));
                WriteBytes(p.ArchAdr + QStringLiteral("/data/level.dat"), "l");
            }
        } else if (word == QLatin1String("areaZero")) {
            p.Konec.Dolni = 0;
        } else if (word == QLatin1String("noPicture")) {
            p.Obrazek.clear();
        } else if (word.startsWith(QLatin1String("space="))) {
            p.DiskMisto = word.mid(6);
        } else if (word.startsWith(QLatin1String("bmp="))) {
            const QStringList size = word.mid(4).split(QLatin1Char('x'));
            WriteBytes(f.Dir.path() + QStringLiteral("/titul.bmp"), Bitmap(size[0].toInt(), size[1].toInt()));
        } else if (word == QLatin1String("run")) {
            p.SpustitPrg = true;
        } else if (word == QLatin1String("name")) {
            p.NazevProg = QStringLiteral("Hra");
        } else if (word == QLatin1String("cmd")) {
            p.PrikRadka = QStringLiteral("hra.exe");
        } else if (word == QLatin1String("outNew")) {
            p.Vystup = f.Dir.path() + QStringLiteral("/Novy");
        } else if (word == QLatin1String("outDeep")) {
            p.Vystup = f.Dir.path() + QStringLiteral("/Neni/Novy");
        } else if (word == QLatin1String("outFile")) {
            p.Vystup = p.ArchAdr + QStringLiteral("/hra.exe");
        } else {
            QFAIL(qPrintable(word));
        }
    }

    const std::optional<BuildMessage> refusal = CheckBuild(p, projectFolder);
    if (check == 0) {
        QVERIFY2(!refusal, refusal ? qPrintable(refusal->Text) : "");
        QVERIFY(QFileInfo(p.Vystup).isDir());
        return;
    }
    QVERIFY(refusal);
    QCOMPARE(refusal->Check, check);
    const Expected e = MessageOf(check, projectFolder, p.ArchAdr);
    QCOMPARE(refusal->Text, QString::fromUtf8(e.Text));
    QCOMPARE(refusal->Title, QString::fromUtf8(e.Title));
    QCOMPARE(refusal->Icon, e.Icon);
    QCOMPARE(refusal->Page, check == 3 ? BuildPage::MusicAndPicture : BuildPage::None);
    if (check == 10 && change.contains(QLatin1String("outDeep")))
        QVERIFY(!QFileInfo::exists(f.Dir.path() + QStringLiteral("/Neni")));  // one level only
}

void TestBuildChecks::unreadableInputEndTheCommand_data()
{
    QTest::addColumn<QString>("space");
    QTest::addColumn<QByteArray>("picture");  // "-" for a missing file
    QTest::addColumn<QString>("fragment");    // what the message must name

    QTest::newRow("disk space above int32") << "2147483648" << Bitmap(200, 200) << "2147483648";
    QTest::newRow("disk space below int32") << "-2147483649" << Bitmap(200, 200) << "-2147483649";
    QTest::newRow("disk space far beyond int64") << "99999999999999999999999" << Bitmap(200, 200)
                                                 << "99999999999999999999999";
    QTest::newRow("disk space not a number") << "12a" << Bitmap(200, 200) << "12a";
    QTest::newRow("picture missing") << "100" << QByteArray("-") << "titul.bmp";
    QTest::newRow("picture of 25 bytes") << "100" << Bitmap(200, 200, 25) << "titul.bmp";
    QTest::newRow("picture empty") << "100" << QByteArray() << "titul.bmp";
    // A bitmap cut short ships leftover memory to every installation.
    QTest::newRow("picture of 26 bytes, no pixel data") << "100" << Bitmap(200, 150, 26) << "titul.bmp";
    const QByteArray whole = BitmapBytes(200, 150);
    QTest::newRow("pixel data one byte short") << "100" << whole.left(whole.size() - 1) << "titul.bmp";
    QByteArray taller = whole;
    qToLittleEndian<qint32>(300, taller.data() + 22);
    QTest::newRow("header claims more rows than the file holds") << "100" << taller << "titul.bmp";
    QTest::newRow("no bitmap signature") << "100" << QByteArray("XY" + whole.mid(2)) << "titul.bmp";
}

void TestBuildChecks::unreadableInputEndTheCommand()
{
    QFETCH(QString, space);
    QFETCH(QByteArray, picture);
    QFETCH(QString, fragment);
    Fixture f;
    f.P.DiskMisto = space;
    if (picture == "-")
        QFile::remove(f.P.Obrazek);
    else
        WriteBytes(f.P.Obrazek, picture);
    try {
        CheckBuild(f.P, f.ProjectFolder);
        QFAIL("the command went on");
    } catch (const ZelvakonError& error) {
        QVERIFY2(error.Message().contains(fragment), qPrintable(error.Message()));
    }
}

QTEST_GUILESS_MAIN(TestBuildChecks)
#include "tst_buildchecks.moc"
