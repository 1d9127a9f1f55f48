#include "Main.h"

// The Build command: checks, archiver run, data file writer.

void TMainForm::SetupBuild() {}
void TMainForm::BuildPrActExecute() {}
void TMainForm::StartBuild() {}
void TMainForm::PrepareReadme() {}
