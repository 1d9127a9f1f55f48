#include "Forms.h"
#include "About.h"
#include "Areadlg.h"
#include "Dir.h"
#include "Keydlg.h"
#include "Namvaldlg.h"
#include "Preview.h"
#include "Progress.h"
#include "Settings.h"

Forms CreateForms(TMainForm* mainForm)
{
    Forms forms;
    forms.DirForm = FormSlot<TDirForm>([mainForm] { return new TDirForm(mainForm); });
    forms.KeyForm = FormSlot<TKeyForm>([mainForm] { return new TKeyForm(mainForm); });
    forms.ValueForm = FormSlot<TValueForm>([mainForm] { return new TValueForm(mainForm); });
    forms.AreaForm = FormSlot<TAreaForm>([mainForm] { return new TAreaForm(mainForm); });
    forms.PrevForm = FormSlot<TPrevForm>([mainForm] { return new TPrevForm(mainForm); });
    forms.ProgressForm = FormSlot<TProgressForm>([mainForm] { return new TProgressForm(mainForm); });
    forms.AboutDlg = FormSlot<TAboutDlg>([mainForm] { return new TAboutDlg(mainForm); });
    forms.SetForm = FormSlot<TSetForm>([mainForm] { return new TSetForm(mainForm); });
    mainForm->AttachForms(forms);
    return forms;
}
