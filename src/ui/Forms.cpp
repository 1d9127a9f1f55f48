#include "Forms.h"
#include "About.h"
#include "Areadlg.h"
#include "Dir.h"
#include "Main.h"
#include "Progress.h"
#include "RegistryForms.h"
#include "Settings.h"

Forms CreateForms(TMainForm* mainForm)
{
    Forms forms;
    Dialogs* dialogs = mainForm->Services.Dlg;
    forms.DirForm = new TDirForm(dialogs, mainForm);
    forms.KeyForm = new TKeyForm(dialogs, mainForm);
    forms.ValueForm = new TValueForm(dialogs, mainForm);
    forms.AreaForm = new TAreaForm(
        dialogs, [mainForm] { mainForm->OpenHelpTopic(QStringLiteral("NastKlikPloch")); }, mainForm);
    forms.PrevForm = new TPrevForm(dialogs, mainForm);
    forms.ProgressForm = new TProgressForm(mainForm);
    forms.ArchiveForm = new TArchiveForm(mainForm);
    forms.AboutDlg = new TAboutDlg(mainForm);
    forms.SetForm = new TSetForm(dialogs, forms.DirForm, mainForm);
    mainForm->AttachForms(forms);
    return forms;
}
