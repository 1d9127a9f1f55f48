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
    forms.DirForm = new TDirForm(mainForm);
    forms.KeyForm = new TKeyForm(mainForm);
    forms.ValueForm = new TValueForm(mainForm);
    forms.AreaForm = new TAreaForm(mainForm);
    forms.PrevForm = new TPrevForm(mainForm);
    forms.ProgressForm = new TProgressForm(mainForm);
    forms.AboutDlg = new TAboutDlg(mainForm);
    forms.SetForm = new TSetForm(mainForm);
    mainForm->AttachForms(forms);
    return forms;
}
