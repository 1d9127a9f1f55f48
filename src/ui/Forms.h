#pragma once
#include "Main.h"

// Hands the main window the eight windows that follow it; each is made on its first use, owned by it.
Forms CreateForms(TMainForm* mainForm);
