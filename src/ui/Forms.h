#pragma once

class TMainForm;
class TDirForm;
class TKeyForm;
class TValueForm;
class TAreaForm;
class TPrevForm;
class TProgressForm;
class TArchiveForm;
class TAboutDlg;
class TSetForm;

// The other windows of the program.
struct Forms {
    TDirForm* DirForm = nullptr;
    TKeyForm* KeyForm = nullptr;
    TValueForm* ValueForm = nullptr;
    TAreaForm* AreaForm = nullptr;
    TPrevForm* PrevForm = nullptr;
    TProgressForm* ProgressForm = nullptr;
    TArchiveForm* ArchiveForm = nullptr;
    TAboutDlg* AboutDlg = nullptr;
    TSetForm* SetForm = nullptr;
};

// Hands the main window the nine windows that follow it; made now, owned by it.
void CreateForms(TMainForm* mainForm);
