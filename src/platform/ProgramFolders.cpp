#include "ProgramFolders.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

static QString Join(const QString& folder, const QString& name) { return folder + QDir::separator() + name; }

QStringList ProgramFolders::PartsFolders() const
{
    return PerUser() ? QStringList{Working, Executable} : QStringList{Executable};
}

QString ProgramFolders::PartsFolderFor(const QString& fileName) const
{
    return FolderHolding(PartsFolders(), fileName);
}

ProgramFolders ProgramFolders::Resolve(const QString& executableFolder, const QString& perUserFolder,
                                       const WritableCheck& canWrite)
{
    if (perUserFolder.isEmpty() || canWrite(executableFolder))
        return {executableFolder, executableFolder};
    QDir().mkpath(perUserFolder);
    return {executableFolder, perUserFolder};
}

ProgramFolders ProgramFolders::ForRunningProgram()
{
    return Resolve(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()), PerUserFolder(),
                   WorkingFoldersBeside);
}

bool ProgramFolders::WorkingFoldersBeside(const QString& executableFolder)
{
    return !QFileInfo(Join(executableFolder, QStringLiteral("installed-copy"))).exists() && CanCreateIn(executableFolder);
}

QString ProgramFolders::PerUserFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return QString();
    return QDir::toNativeSeparators(QDir::cleanPath(base + QStringLiteral("/Zelvakon")));
}

bool ProgramFolders::CanCreateIn(const QString& folder)
{
    QTemporaryDir probe(Join(folder, QStringLiteral(".zelvakon-probe-XXXXXX")));
    return probe.isValid();  // removed again when probe goes
}

QString FolderHolding(const QStringList& folders, const QString& fileName)
{
    for (const QString& folder : folders)
        if (QFileInfo(Join(folder, fileName)).isFile())
            return folder;
    return folders.isEmpty() ? QString() : folders.last();
}
