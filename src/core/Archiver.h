#pragma once
#include "BuildChecks.h"
#include <QString>
#include <optional>

struct ChildExit;

// The build's first stage without the window: the archiver's command line, its name check, the old
// archive, and the run itself. Each step returns what to show when the build stops there.

// <ProjectFolder>/archiv.rar, where the archiver packs and the data file writer reads.
QString ArchivePath(const QString& projectFolder);

// The archiver's arguments after WinRARExe: "a -r -ep1 " + ProjectFolder/archiv.rar + " " + ArchAdr/*.*,
// unquoted, joined with the platform's separator.
QString ArchiverArguments(const QString& projectFolder, const QString& archAdr);

// Refuses a program whose file name does not contain "WINRAR" in any case; on POSIX a program named
// "rar" (RAR for Linux) passes too.
std::optional<BuildMessage> CheckWinRarName(const QString& winRarExe);

// Refuses a Windows archiver on POSIX when there is no wine to run it.
std::optional<BuildMessage> CheckWine(const QString& winRarExe);

// Deletes an old archiv.rar; one that stays would have the archiver add to a stale archive.
std::optional<BuildMessage> RemoveOldArchive(const QString& projectFolder);

// What the archiver's end means for the build. Nothing when the data file may follow: the archiver
// ended with 0 or 1 (a warning). A program that cannot be started, one that ends with a fatal code
// (2 and above), is killed, or was stopped by the user stops the build; the message of a failure then
// ends with the archiver's last output lines.
std::optional<BuildMessage> ArchiverOutcome(const ChildExit& exit);

// Elapsed time and archive size as the build shows them while the archiver runs: "m:ss" (hours when
// needed) and kilobytes, truncated as the folder size is.
QString ElapsedText(qint64 milliseconds);
qint64 ArchiveKB(const QString& projectFolder);
