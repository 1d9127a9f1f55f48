#pragma once
#include "Main.h"

// Hands the main window the eight windows that follow it; made now, owned by it.
Forms CreateForms(TMainForm* mainForm);
