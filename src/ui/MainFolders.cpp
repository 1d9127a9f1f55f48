#include "BuildChecks.h"
#include "Dir.h"
#include "DirSize.h"
#include "Dirsizedlg.h"
#include "Error.h"
#include "Main.h"
#include "Paths.h"
#include "Settings.h"
#include <QLineEdit>
#include <QToolButton>
#include <memory>

// The folder to pack with its size, the folder choosers, the settings dialog and the WinRAR file.

void TMainForm::SetupFolders()
{
    connect(Dir2AddEdit, &QLineEdit::textChanged, this, Guarded(&TMainForm::Dir2AddEditChange));
    connect(Dir2AddBtn, &QToolButton::clicked, this, Guarded(&TMainForm::Dir2AddBtnClick));
    connect(TarDirBtn, &QToolButton::clicked, this, Guarded(&TMainForm::TarDirBtnClick));
    connect(SpeedButton3, &QToolButton::clicked, this, Guarded(&TMainForm::SpeedButton3Click));
}

void TMainForm::Dir2AddEditChange()
{
    UpdateBuildEnabled();
    // A relative folder is measured where the build will pack it: below the project's folder.
    const QString folder = ResolveProjectPath(Dir2AddEdit->text(), ProjectFolder);
    if (!IsExistingFolder(folder)) {
        SpaceEdit->setText(QStringLiteral("0"));
        return;
    }
    {
        const auto wait = std::make_unique<TDirSizeForm>(this);
        wait->ShowPainted();
        SpaceEdit->setText(SizeInKBText(GetDirSize(folder)));
        // The main window counts as activated again when the wait window goes away, and that
        // activation runs FormActivate.
        ActivatePending = true;
        wait->hide();
    }
    // The wait window never takes the focus (typing goes on in the field), so the window system has
    // no activation to deliver: run it here, at the moment the wait window is gone, before the
    // change below. Had the system delivered one during hide(), event() has run it already.
    if (ActivatePending && isVisible())
        RunActivation();
    Modified = true;
}

void TMainForm::Dir2AddBtnClick()
{
    const std::optional<QString> folder = Windows.DirForm->Execute(QStringLiteral("Výběr adresáře k archivaci"));
    if (folder && AcceptPath(*folder))
        Dir2AddEdit->setText(*folder);
}

void TMainForm::TarDirBtnClick()
{
    const std::optional<QString> folder = Windows.DirForm->Execute(QStringLiteral("Výběr cílového adresáře"));
    if (folder && AcceptPath(*folder))
        TarDirEdit->setText(*folder);
}

void TMainForm::SetActExecute()
{
    const std::optional<OutputNames> names = Windows.SetForm->Execute({JmenoInst, JmenoDat, Vystup});
    if (!names)
        return;
    // Not a change that asks to be saved: these fields go out with the next save of the project.
    Vystup = Paths::StripTrailingBackslash(names->Folder);
    JmenoInst = names->Installer;
    JmenoDat = names->DataFile;
}

void TMainForm::SpeedButton3Click()
{
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít spustitelný soubor WinRARa");
    options.Filter = QStringLiteral("Programy (*.exe, *.com, *.bat)|*.EXE;*.COM;*.BAT");
#ifdef Q_OS_WIN
    options.InitialFolder = QStringLiteral("C:");
#else
    // Programs here mostly have no extension; offer every file beside the Windows kinds.
    options.Filter += QStringLiteral("|Všechny soubory (*)|*");
    options.InitialFolder = QStringLiteral("/");
#endif
    options.MustExist = true;
    const std::optional<QString> path = Services.Dlg->OpenFile(options);
    if (path && AcceptPath(*path))
        RAREdit->setText(*path);
}
