#pragma once
#include "Dialogs.h"
#include <QString>
#include <optional>

struct Project;

// The page of the main window that a refusal turns to.
enum class BuildPage { None, MusicAndPicture };

// What the main window is to show when a build stops: a message box with OK, and maybe a page switch
// after it. Core decides; the window shows.
struct BuildMessage {
    QString Text;
    QString Title;
    MsgIcon Icon = MsgIcon::Error;
    BuildPage Page = BuildPage::None;
    int Check = 0;  // which of the ten checks refused, 0 for the later stages
};

// An error box; check 0 for the stages after the ten checks.
BuildMessage BuildError(int check, const QString& text);

// The window keeps its Build command disabled while the title, the disk space, the folder to pack or
// the archiver's path is empty. A front end without that command refuses such a project with this
// message, naming the first empty field by its caption.
std::optional<BuildMessage> CheckBuildFields(const Project& project);

// The ten checks of the Build command in their fixed order; the first refusal is returned, nothing when
// the build may start. Check 10 creates a missing output folder (one level).
// A disk space that is not a whole number in the signed 32-bit range and a picture that cannot be read
// throw ZelvakonError: the command ends with the standard error box.
std::optional<BuildMessage> CheckBuild(const Project& project, const QString& projectFolder);

// A relative path among the project's folder to pack, picture, music and output folder is taken from
// the project file's folder (never from wherever the program was started); absolute paths and empty
// fields stay as they are. The build runs on the project this gives.
void ResolveProjectPaths(Project& project, const QString& projectFolder);
QString ResolveProjectPath(const QString& path, const QString& projectFolder);
