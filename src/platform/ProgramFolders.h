#pragma once
#include <QStringList>
#include <functional>

// Where the program keeps its files. As it always has, beside its own executable. In an installed copy
// (its folder holds the file "installed-copy") and where that folder cannot be written, the working folders and the untitled
// project move to a per-user program folder, and Unrar.dll and Vorvanex.exe are looked for there
// first, then beside the executable. Resolved once at start.
struct ProgramFolders {
    QString Executable;  // folder of the running executable: the help file and the installed parts
    QString Working;     // Projekty, Vystup, Obrazky, Hudba and the untitled project

    bool PerUser() const { return Working != Executable; }
    // Where Unrar.dll and Vorvanex.exe are looked for, in this order.
    QStringList PartsFolders() const;
    // The folder to take such a file from: the first that holds it, else the executable's folder.
    QString PartsFolderFor(const QString& fileName) const;

    using WritableCheck = std::function<bool(const QString& folder)>;
    // Stays beside the executable when canWrite says so (or when there is no per-user folder);
    // otherwise creates the per-user folder (all levels; a failure shows later, where it is used).
    static ProgramFolders Resolve(const QString& executableFolder, const QString& perUserFolder,
                                  const WritableCheck& canWrite);
    // The running program: QCoreApplication must exist.
    static ProgramFolders ForRunningProgram();
    // The platform's per-user data location + "Zelvakon", native separators; empty when unknown.
    static QString PerUserFolder();
    // Whether the working folders stay in the executable's folder: not in an installed copy, whose folder
    // belongs to the package even where root can write to it, and not where nothing can be created.
    static bool WorkingFoldersBeside(const QString& executableFolder);
    // Whether a folder can be created in the folder, found out by creating (and removing) one:
    // permission bits say nothing for root, and a read-only file system shows only when written.
    static bool CanCreateIn(const QString& folder);
};

// The first of the folders that holds fileName as a file, else the last folder (empty list: empty).
QString FolderHolding(const QStringList& folders, const QString& fileName);
