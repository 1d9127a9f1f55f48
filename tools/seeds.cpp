// Writes the fuzzers' seed files with the program's own writers: fuzz/corpus/<target>/.
#include "Datfile.h"
#include "ProfileFile.h"
#include "Project.h"
#include "RegIni.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdio>

namespace {

void Save(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray ProjectBytes(const Project& project, const QString& name)
{
    ProfileFile profile;
    WriteProjectKeys(profile, name, project);
    return profile.Render();
}

QByteArray BitmapHeader(qint32 width, qint32 height)
{
    QByteArray bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<qint32>(width, bytes.data() + 18);
    qToLittleEndian<qint32>(height, bytes.data() + 22);
    return bytes;
}

// A whole bitmap file: headers, colour table and every pixel row, as a paint program writes one.
// compression 1 (RLE8) gets a short run-length stream instead of rows.
QByteArray WholeBitmap(qint32 width, qint32 height, quint16 bitCount, quint32 compression = 0)
{
    const int colours = bitCount <= 8 ? 1 << bitCount : 0;
    const qint32 offBits = 14 + 40 + 4 * colours;
    QByteArray pixels;
    if (compression == 1) {
        for (qint32 row = 0; row < qAbs(height); ++row)
            pixels += QByteArray::fromHex("0401") + QByteArray::fromHex("0000");  // 4 of colour 1, end of line
        pixels += QByteArray::fromHex("0001");  // end of bitmap
    } else {
        const qint64 rowBytes = (qint64(width) * bitCount + 31) / 32 * 4;
        for (qint64 i = 0; i < rowBytes * qAbs(height); ++i)
            pixels += char(i * 37 + i / 7);
    }
    QByteArray bytes(offBits, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<qint32>(offBits + qint32(pixels.size()), bytes.data() + 2);
    qToLittleEndian<qint32>(offBits, bytes.data() + 10);
    qToLittleEndian<qint32>(40, bytes.data() + 14);
    qToLittleEndian<qint32>(width, bytes.data() + 18);
    qToLittleEndian<qint32>(height, bytes.data() + 22);
    qToLittleEndian<quint16>(1, bytes.data() + 26);
    qToLittleEndian<quint16>(bitCount, bytes.data() + 28);
    qToLittleEndian<quint32>(compression, bytes.data() + 30);
    qToLittleEndian<quint32>(quint32(pixels.size()), bytes.data() + 34);
    for (int i = 0; i < colours; ++i)
        qToLittleEndian<quint32>(quint32(i * 0x010203), bytes.data() + 54 + 4 * i);
    return bytes + pixels;
}

// A data file as the build writes it, from small parts in a scratch folder.
QByteArray DataFileBytes(DatFileInputs inputs, const QByteArray& archive, const QByteArray& picture,
                         const QByteArray& music)
{
    QTemporaryDir scratch;
    const QString dir = scratch.path();
    Save(dir, QStringLiteral("archiv.rar"), archive);
    Save(dir, QStringLiteral("Unrar.dll"), "UNRAR");
    Save(dir, QStringLiteral("Vorvanex.exe"), "MZ");
    if (!picture.isEmpty()) {
        Save(dir, QStringLiteral("titul.bmp"), picture);
        inputs.Project.Obrazek = dir + QStringLiteral("/titul.bmp");
    }
    if (!music.isEmpty()) {
        Save(dir, QStringLiteral("píseň.mid"), music);
        inputs.Project.Hudba = dir + QStringLiteral("/píseň.mid");
    }
    inputs.UnrarFolder = inputs.ExtractorFolder = inputs.ProjectFolder = inputs.Project.Vystup = dir;
    inputs.Project.JmenoDat = inputs.Project.JmenoInst = QStringLiteral("Instal");
    DatFileWriter writer(std::move(inputs), DatFileReport());
    if (writer.Execute() != DatFileOutcome::Done)
        return QByteArray();
    QFile file(writer.DataFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: zelvakon-seeds CORPUS-FOLDER\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    Project demo;
    demo.Nazev = QStringLiteral("Demo");
    demo.DiskMisto = QStringLiteral("2345");
    demo.ArchAdr = QStringLiteral("C:\\Demo");
    demo.WinRARExe = QStringLiteral("C:\\Program Files\\WinRAR\\WinRAR.exe");
    demo.Vystup = QStringLiteral("C:\\Prog\\Vystup");
    demo.JmenoInst = demo.JmenoDat = QStringLiteral("Instal");
    Project full = demo;
    full.Nazev = QStringLiteral("Želví závody €");
    full.SpustitPrg = full.Zeptat = true;
    full.NazevProg = QStringLiteral("hra.exe");
    full.PrikRadka = QStringLiteral("-x 'a b'");
    full.Rozbal = {10, 20, 110, 60};
    full.Readme = {-1, 0x7fffffff, 3, 4};
    full.Konec = {200, 300, 260, 330};
    for (const char* target : {"profile", "project"}) {
        const QString folder = root + QStringLiteral("/") + QLatin1String(target);
        Save(folder, QStringLiteral("demo.zpf"), ProjectBytes(demo, QStringLiteral("Demo.zpf")));
        Save(folder, QStringLiteral("full.zpf"), ProjectBytes(full, QStringLiteral("Zavody.zpf")));
    }
    ProfileFile copied = ProfileFile::Parse("; hand-made\n[Stary.zpf]\nNazev = \" x \"\nSpustitPrg=0x1\n[Rozbal]\nLevy=0X10\n");
    WriteProjectKeys(copied, QStringLiteral("Novy.zpf"), demo);
    Save(root + QStringLiteral("/project"), QStringLiteral("copied.zpf"), copied.Render());
    const QString bitmaps = root + QStringLiteral("/bitmap");
    Save(bitmaps, QStringLiteral("600x400.bmp"), BitmapHeader(600, 400));
    Save(bitmaps, QStringLiteral("100x100.bmp"), BitmapHeader(100, 100));
    Save(bitmaps, QStringLiteral("top-down.bmp"), BitmapHeader(320, -200));
    Save(bitmaps, QStringLiteral("short.bmp"), BitmapHeader(1, 1).left(25));
    // Whole small pictures for the picture reader: every depth, bottom-up and top-down, run-length
    // coded, and one cut inside its pixel rows.
    const QString pictures = root + QStringLiteral("/picture");
    for (const quint16 depth : {1, 4, 8, 24, 32})
        Save(pictures, QStringLiteral("12x5-%1bit.bmp").arg(depth), WholeBitmap(12, 5, depth));
    Save(pictures, QStringLiteral("top-down.bmp"), WholeBitmap(9, -4, 24));
    Save(pictures, QStringLiteral("rle8.bmp"), WholeBitmap(4, 3, 8, 1));
    Save(pictures, QStringLiteral("cut.bmp"), WholeBitmap(12, 5, 24).chopped(5));
    // Reg.ini as both writers make it: every type, Czech names, nesting, keys without entries, and a
    // value that holds its own type's marker (the loader removes only the first).
    RegistryTree tree;
    RegKey* software = tree.AddKey(tree.Root(0), QStringLiteral("Software"));
    RegKey* firma = tree.AddKey(software, QStringLiteral("Želví firma"));
    const char* const types[] = {"Boolean", "Currency", "Date", "DateTime", "Float", "Integer", "String", "Time"};
    const char* const values[] = {"1", "12,50", "1.2.2003", "1.2.2003 12:00", "3,14", "-7", "C:\\Hry\\(String)x", "23:59"};
    for (int i = 0; i < 8; ++i)
        tree.AddValue(firma, QStringLiteral("Hodnota %1").arg(i), QLatin1String(types[i]), QLatin1String(values[i]));
    tree.AddKey(tree.AddKey(firma, QStringLiteral("Prázdný")), QStringLiteral("Hlubší"));
    RegKey* classes = tree.AddKey(tree.Root(1), QStringLiteral(".zvk"));
    tree.AddValue(classes, QStringLiteral("Popis"), QStringLiteral("String"), QStringLiteral("Soubor Želvákonu € š"));
    const QString regini = root + QStringLiteral("/regini");
    ProfileFile beside = ProfileFile::Parse("; comment before the first section stays\r\n[Stary]\r\nx=1\r\n");
    WriteRegIni(beside, tree);
    Save(regini, QStringLiteral("beside.ini"), beside.Render());
    Save(regini, QStringLiteral("stream.ini"), BuildRegIniStream(tree));

    const QString datHeaders = root + QStringLiteral("/datheader");
    DatFileInputs plain;
    plain.Project.Nazev = demo.Nazev;
    plain.Project.DiskMisto = demo.DiskMisto;
    plain.Project.CilAdr = QStringLiteral("C:\\Hry\\Demo");
    const QByteArray plainBytes = DataFileBytes(std::move(plain), "ARCHIVE", {}, {});
    Save(datHeaders, QStringLiteral("plain.dat"), plainBytes);
    Save(datHeaders, QStringLiteral("header-only.dat"), plainBytes.left(118));
    DatFileInputs rich;
    rich.Project.Nazev = full.Nazev;
    rich.Project.DiskMisto = full.DiskMisto;
    rich.Project.CilAdr = QStringLiteral("C:\\Program Files\\Závody");
    rich.Project.SpustitPrg = rich.Project.Zeptat = true;
    rich.Project.NazevProg = full.NazevProg;
    rich.Project.PrikRadka = full.PrikRadka;
    rich.Project.Rozbal = full.Rozbal;
    rich.Project.Readme = full.Readme;
    rich.Project.Konec = full.Konec;
    rich.ReadmeStream = std::make_unique<QByteArray>("Readme\r\n");
    RegistryTree small;  // the whole file stays within the fuzz run's input length
    small.AddValue(small.AddKey(small.Root(0), QStringLiteral("Software")), QStringLiteral("Cesta"),
                   QStringLiteral("String"), QStringLiteral("C:\\Hry"));
    rich.RegIniStream = std::make_unique<QByteArray>(BuildRegIniStream(small));
    Save(datHeaders, QStringLiteral("full.dat"), DataFileBytes(std::move(rich), "ARCHIVE", BitmapHeader(200, 150), "MThd"));
    std::printf("seeds written to %s\n", argv[1]);
    return 0;
}
