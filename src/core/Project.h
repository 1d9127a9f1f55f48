#pragma once
#include "ClickArea.h"
#include "RegistryTree.h"
#include <QString>

class ProfileFile;

// The one installer project, a plain value. Fields are named by their project-file keys.
struct Project {
    QString Nazev;
    QString DiskMisto;
    QString ArchAdr;
    QString CilAdr;
    QString WinRARExe;
    QString Hudba;
    QString Obrazek;
    bool SpustitPrg = false;
    QString NazevProg;
    QString PrikRadka;
    bool Zeptat = false;
    QString Vystup;
    QString JmenoInst;
    QString JmenoDat;
    ClickArea Rozbal;
    ClickArea Readme;
    ClickArea Konec;
    RegistryTree Registry;
    QString ReadmeText;  // exactly as the readme memo holds it: lines separated by CR LF

    friend bool operator==(const Project&, const Project&) = default;
};

// Integers of the project file: decimal, or hexadecimal with "0x"/"0X"; anything else gives the default.
qint32 ReadProfileInt(const QString& text, qint32 defaultValue = 0);

// Writes the fourteen main keys under the section named after the file, then the three areas.
// A first section of another name (a copied file) is renamed instead of getting a second main section.
void WriteProjectKeys(ProfileFile& profile, const QString& mainSection, const Project& project);
// Writes the project file itself (not its side files), atomically, after checking that every text
// fits Windows-1250 (written, another character would become 0x1A). Throws ZelvakonError naming the
// first field that does not.
void WriteProjectFile(const QString& path, const Project& project);

// Reads the main section (the first section, whatever its name) and the areas. Missing keys give
// empty texts, false and 0. A file without any section throws ZelvakonError.
Project ReadProjectKeys(const ProfileFile& profile, const QString& path);
Project ReadProjectFile(const QString& path);

// Side files beside the project file.
inline const QString RegIniName = QStringLiteral("Reg.ini");
inline const QString ReadmeNfoName = QStringLiteral("Readme.nfo");
inline const QString UntitledName = QStringLiteral("Bezejmena.zpf");

// Readme text: written exactly; read with every CR, LF or CR LF turned into CR LF.
void SaveReadmeText(const QString& path, const QString& text);
QString LoadReadmeText(const QString& path);
// Lines not counting an empty last line: "" has 0, "\r\n" has 1.
int ReadmeLineCount(const QString& text);
