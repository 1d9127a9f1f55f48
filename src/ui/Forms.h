#pragma once
#include "Main.h"

// Creates the eight windows that follow the main window, in the fixed order, owned by it.
Forms CreateForms(TMainForm* mainForm);
