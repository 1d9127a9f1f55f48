#pragma once
#include "Main.h"

// Hands the main window the nine windows that follow it; made now, owned by it.
Forms CreateForms(TMainForm* mainForm);
