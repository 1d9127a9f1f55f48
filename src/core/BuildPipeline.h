#pragma once
#include "BuildChecks.h"
#include "Datfile.h"
#include <QStringList>
#include <functional>
#include <optional>

struct ChildExit;

// Where a build runs: the project's folder (archiv.rar goes there) and the folders Unrar.dll and
// Vorvanex.exe are looked for in, in order.
struct BuildPlace {
    QString ProjectFolder;
    QStringList PartsFolders;
};

// What a front end does its own way: run the project's archiver with the given arguments and wait
// for it (behind a window, or with its progress on stderr), and, optionally, stop the build before
// the archiver starts.
struct BuildFrontEnd {
    std::function<ChildExit(const Project& project, const QString& arguments)> RunArchiver;
    std::function<bool()> StopRequested;
};

// A build prepared up to the data file: the step that stopped it and what to show, or the writer's
// inputs, side texts and the hold on the data file included.
struct PreparedBuild {
    enum class Step { None, Fields, Checks, Parts, Lock, WinRarName, Wine, OldArchive, Archiver, Interrupted };
    Step StoppedAt = Step::None;
    std::optional<BuildMessage> Stop;
    DatFileInputs Inputs;

    // The project cannot be built as it stands (the user must change it), as against a build that
    // failed or was stopped on the way.
    bool ProjectRefused() const;
};

// The Build command up to the data file, the same for the window and zelvakon-cli: relative paths taken
// from the project's folder, the empty fields, the ten checks (a check that throws ends the build
// with the standard error text), Unrar.dll and Vorvanex.exe, the hold on the data file, the side
// texts, the archiver's name, wine and the old archive, then the archiver run and its end. An
// archiver stopped on request leaves no partial archive.
PreparedBuild PrepareBuild(Project project, const BuildPlace& place, const BuildFrontEnd& frontEnd);
