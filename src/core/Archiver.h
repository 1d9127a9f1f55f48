#pragma once
#include "BuildChecks.h"
#include <QString>
#include <optional>

class ChildProcess;

// The build's first stage without the window: the archiver's command line, its name check, the old
// archive, and the run itself. Each step returns what to show when the build stops there.

// <ProjectFolder>/archiv.rar, where the archiver packs and the data file writer reads.
QString ArchivePath(const QString& projectFolder);

// WinRARExe + " a -r -ep1 " + ProjectFolder/archiv.rar + " " + ArchAdr/*.*, unquoted, joined with the
// platform's separator.
QString ArchiverCommandLine(const QString& winRarExe, const QString& projectFolder, const QString& archAdr);

// Refuses a program whose file name does not contain "WINRAR" in any case.
std::optional<BuildMessage> CheckWinRarName(const QString& winRarExe);

// Deletes an old archiv.rar; one that stays would have the archiver add to a stale archive.
std::optional<BuildMessage> RemoveOldArchive(const QString& projectFolder);

// Runs the command line and waits for the archiver. Nothing is returned when the data file may follow:
// the archiver ended with 0 or 1 (a warning). A program that cannot be started, one that ends with a
// fatal code (2 and above) or is killed stops the build.
std::optional<BuildMessage> RunArchiver(ChildProcess& process, const QString& commandLine);
