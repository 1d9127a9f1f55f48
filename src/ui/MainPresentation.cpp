#include "Areadlg.h"
#include "Error.h"
#include "Files.h"
#include "Main.h"
#include "MusicPlayer.h"
#include "Paths.h"
#include "Preview.h"
#include "SkinPicture.h"
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>

// The title picture, the click areas, the background music and the readme text.

void TMainForm::SetupPresentation()
{
    connect(SkinEdit, &QLineEdit::textChanged, this, Guarded(&TMainForm::SkinEditChange));
    connect(BkMusicEdit, &QLineEdit::textChanged, this, Guarded(&TMainForm::BkMusicEditChange));
    connect(ReadMemo, &QPlainTextEdit::textChanged, this, Guarded(&TMainForm::ReadMemoChange));
    connect(SkinBtn, &QToolButton::clicked, this, Guarded(&TMainForm::SkinBtnClick));
    connect(SetBtn, &QPushButton::clicked, this, Guarded(&TMainForm::SetBtnClick));
    connect(PrevBtn, &QPushButton::clicked, this, Guarded(&TMainForm::PrevBtnClick));
    connect(BkMusicBtn, &QToolButton::clicked, this, Guarded(&TMainForm::BkMusicBtnClick));
    connect(TestBtn, &QPushButton::clicked, this, Guarded(&TMainForm::TestBtnClick));
    connect(StopBtn, &QPushButton::clicked, this, Guarded(&TMainForm::StopBtnClick));
    connect(LoadBtn, &QPushButton::clicked, this, Guarded(&TMainForm::LoadBtnClick));
    connect(ClearBtn, &QPushButton::clicked, this, Guarded(&TMainForm::ClearBtnClick));
}

// --- title picture and click areas

void TMainForm::SkinEditChange()
{
    SetBtn->setEnabled(!SkinEdit->text().isEmpty());
    PrevBtn->setEnabled(SetBtn->isEnabled());
    Modified = true;
}

void TMainForm::SkinBtnClick()
{
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít bitmapu titulního obrázku");
    options.Filter = QStringLiteral("Bitmapy (*.bmp)|*.bmp");
    options.InitialFolder = Paths::Join(ProgramFolder, QStringLiteral("Obrazky"));
    options.MustExist = true;
    options.PicturePreview = true;
    const std::optional<QString> path = Services.Dlg->OpenFile(options);
    if (!path || !AcceptPath(*path))
        return;
    try {
        CheckBitmapData(*path);
    } catch (const ZelvakonError& error) {
        Services.Dlg->ShowError(error.Message());
        return;
    }
    SkinEdit->setText(*path);
}

bool TMainForm::CheckSkinPicture(const QString& path, BitmapSize& size)
{
    QString message;
    switch (CheckSkinPictureFile(path, size)) {  // a file that cannot be read throws
    case SkinPictureFault::None: return true;
    case SkinPictureFault::Extension: message = QStringLiteral("Soubor s bitmapou musí mít příponu .bmp."); break;
    case SkinPictureFault::TooLarge: message = QStringLiteral("Bitmapa nemůže být větší než 600x400 bodů."); break;
    case SkinPictureFault::TooSmall: message = QStringLiteral("Bitmapa nemůže být menší než 100x100 bodů."); break;
    }
    Services.Dlg->MessageBox(message, QStringLiteral("Chyba"), MsgIcon::Error, MsgButtons::Ok);
    return false;
}

void TMainForm::PrevBtnClick()
{
    BitmapSize size;
    if (!CheckSkinPicture(SkinEdit->text(), size))
        return;
    Windows.PrevForm->Execute(SkinEdit->text(), {Rozbal, Readme, Konec});
}

void TMainForm::SetBtnClick()
{
    BitmapSize size;
    if (!CheckSkinPicture(SkinEdit->text(), size))
        return;
    const std::optional<ClickAreas> areas = Windows.AreaForm->Execute(SkinEdit->text(), size, {Rozbal, Readme, Konec});
    if (!areas)
        return;
    // Areas are part of the project: changed ones must not go unsaved without the question.
    if (!((*areas)[0] == Rozbal && (*areas)[1] == Readme && (*areas)[2] == Konec))
        Modified = true;
    Rozbal = (*areas)[0];
    Readme = (*areas)[1];
    Konec = (*areas)[2];
}

// --- background music

void TMainForm::BkMusicBtnClick()
{
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít soubor s hudbou");
    options.Filter = QStringLiteral(
        "MIDI soubory (*.mid)|*.MID|Zvuky  (*.wav)|*.WAV|MPEG Layer 3 soubory (*.mp3)|*.MP3");
    options.InitialFolder = Paths::Join(ProgramFolder, QStringLiteral("Hudba"));
    options.MustExist = true;
    const std::optional<QString> path = Services.Dlg->OpenFile(options);
    if (!path || !AcceptPath(*path))
        return;
    BkMusicEdit->setText(*path);
}

void TMainForm::BkMusicEditChange()
{
    // A running test playback goes on; only Stop or its end touch StopBtn.
    TestBtn->setEnabled(!BkMusicEdit->text().isEmpty());
    Modified = true;
}

void TMainForm::TestBtnClick()
{
    if (!Services.Player)
        return;
    Services.Player->SetNotify(true);
    Services.Player->FileName = BkMusicEdit->text();
    // The buttons follow the completion notices, not the commands.
    if (!Services.Player->Open() || !Services.Player->Play())
        Services.Dlg->MessageBox(Services.Player->ErrorText(), QStringLiteral("Chyba"), MsgIcon::Error,
                                     MsgButtons::Ok);
}

void TMainForm::StopBtnClick()
{
    if (Services.Player) {
        Services.Player->Stop();
        Services.Player->Close();
    }
    TestBtn->setEnabled(true);
    StopBtn->setEnabled(false);
}

void TMainForm::MusicPlayerNotify()
{
    switch (Services.Player->CurrentMode()) {
    case MusicPlayer::Mode::Stopped:
        if (StopBtn->isEnabled()) {
            StopBtn->setEnabled(false);
            TestBtn->setEnabled(true);
        }
        break;
    case MusicPlayer::Mode::Playing:
        if (TestBtn->isEnabled()) {
            TestBtn->setEnabled(false);
            StopBtn->setEnabled(true);
        }
        break;
    case MusicPlayer::Mode::NotOpen: break;
    }
    // The music plays once: nothing restarts it at its end.
    Services.Player->SetNotify(true);
}

// --- readme text

void TMainForm::LoadBtnClick()
{
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít .nfo soubory");
    options.Filter = QStringLiteral("Soubory .nfo (*.nfo)|*.NFO");
    options.InitialFolder = Paths::Join(ProgramFolder, QStringLiteral("Projekty"));
    options.MustExist = true;
    const std::optional<QString> path = Services.Dlg->OpenFile(options);
    if (!path || !AcceptPath(*path))
        return;
    // A file that cannot be read throws before the memo changes; the same text changes nothing.
    const QString text = LoadReadmeText(*path);
    if (text != ReadmeText())
        ReadMemo->setPlainText(ReadmeForMemo(text));  // runs ReadMemoChange
}

void TMainForm::ReadMemoChange()
{
    // The memo's lines are its blocks; an empty last one does not count (ReadmeLineCount's rule,
    // without copying a long text at every key).
    const QTextDocument* document = ReadMemo->document();
    ClearBtn->setEnabled(document->blockCount() > 1 || !document->lastBlock().text().isEmpty());
    Modified = true;
}

void TMainForm::ClearBtnClick()
{
    if (Services.Dlg->MessageBox(QStringLiteral("Opravdu smazat všechny řádky?"), QStringLiteral("Dotaz"),
                                     MsgIcon::Question, MsgButtons::YesNoCancel)
        == MsgAnswer::Yes)
        ReadMemo->clear();
}
