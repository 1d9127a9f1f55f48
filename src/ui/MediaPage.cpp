#include "MediaPage.h"
#include "Areadlg.h"
#include "Controls.h"
#include "Files.h"
#include "Forms.h"
#include "Guarded.h"
#include "KeyFilter.h"
#include "MusicPlayer.h"
#include "Paths.h"
#include "Project.h"
#include "SkinPicture.h"
#include <QGroupBox>
#include <QLineEdit>

MediaPage::MediaPage(const AppServices& services, const Forms& windows) : Services(services), Windows(windows)
{
    setObjectName(QStringLiteral("MediaPage"));
    auto* musicGroup = Make<QGroupBox>(this, "GroupBox4", 4, 2, 523, 92);
    musicGroup->setTitle(QStringLiteral("Hudba na pozadí:"));
    Label(musicGroup, QStringLiteral("Jméno souboru:"), 12, 28, "Label8");
    BkMusicEdit = Make<QLineEdit>(musicGroup, "BkMusicEdit", 190, 24, 294, 22);
    QToolButton* bkMusicBtn = BrowseButton(musicGroup, "BkMusicBtn", 488, 24);
    TestBtn = Button(musicGroup, "TestBtn", QStringLiteral("&Test"), QStringLiteral("Začne přehrávat zvolený soubor s hudbou"),
                     190, 56, 75, 25);
    StopBtn = Button(musicGroup, "StopBtn", QStringLiteral("&Stop"), QStringLiteral("Ukončí přehrávání souboru s hudbou"),
                     272, 56, 75, 25);
    TestBtn->setEnabled(false);
    StopBtn->setEnabled(false);
    auto* skinGroup = Make<QGroupBox>(this, "GroupBox5", 4, 98, 523, 108);
    skinGroup->setTitle(QStringLiteral("Obrázek:"));
    Label(skinGroup, QStringLiteral("Jméno souboru s obrázkem:"), 12, 28, "Label9");
    SkinEdit = Make<QLineEdit>(skinGroup, "SkinEdit", 190, 24, 294, 22);
    QToolButton* skinBtn = BrowseButton(skinGroup, "SkinBtn", 488, 24);
    SetBtn = Button(skinGroup, "SetBtn", QStringLiteral("&Nastavit klikací plochy"),
                    QStringLiteral("Nastaví plochy reagující na kliknutí myši na titulním obrázku"), 190, 60, 170, 25);
    PrevBtn = Button(skinGroup, "PrevBtn", QStringLiteral("Ná&hled"), QStringLiteral("Zobrazí hlavní obrázek"), 368, 60,
                     75, 25);
    SetBtn->setEnabled(false);
    PrevBtn->setEnabled(false);

    for (QLineEdit* edit : {BkMusicEdit, SkinEdit})
        new KeyFilter(edit, Services.Dlg);  // nothing Windows-1250 cannot hold
    connect(SkinEdit, &QLineEdit::textChanged, this, &MediaPage::SkinEditChange);
    connect(BkMusicEdit, &QLineEdit::textChanged, this, &MediaPage::BkMusicEditChange);
    connect(skinBtn, &QToolButton::clicked, this, Guarded(this, Services.Dlg, &MediaPage::SkinBtnClick));
    connect(SetBtn, &QPushButton::clicked, this, Guarded(this, Services.Dlg, &MediaPage::SetBtnClick));
    connect(PrevBtn, &QPushButton::clicked, this, Guarded(this, Services.Dlg, &MediaPage::PrevBtnClick));
    connect(bkMusicBtn, &QToolButton::clicked, this, Guarded(this, Services.Dlg, &MediaPage::BkMusicBtnClick));
    connect(TestBtn, &QPushButton::clicked, this, Guarded(this, Services.Dlg, &MediaPage::TestBtnClick));
    connect(StopBtn, &QPushButton::clicked, this, Guarded(this, Services.Dlg, &MediaPage::StopBtnClick));
    if (Services.Player)
        connect(Services.Player, &MusicPlayer::Notify, this, Guarded(this, Services.Dlg, &MediaPage::MusicPlayerNotify));
}

void MediaPage::Apply(const Project& p)
{
    BkMusicEdit->setText(p.Hudba);
    SkinEdit->setText(p.Obrazek);
    Rozbal = p.Rozbal;
    Readme = p.Readme;
    Konec = p.Konec;
}

void MediaPage::Collect(Project& p) const
{
    p.Hudba = BkMusicEdit->text();
    p.Obrazek = SkinEdit->text();
    p.Rozbal = Rozbal;
    p.Readme = Readme;
    p.Konec = Konec;
}

void MediaPage::SkinEditChange()
{
    SetBtn->setEnabled(!SkinEdit->text().isEmpty());
    PrevBtn->setEnabled(SetBtn->isEnabled());
    emit Changed();
}

void MediaPage::SkinBtnClick()
{
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít bitmapu titulního obrázku");
    options.Filter = QStringLiteral("Bitmapy (*.bmp)|*.bmp");
    options.InitialFolder = Paths::Join(Services.ProgramFolder, QStringLiteral("Obrazky"));
    options.PicturePreview = true;
    const std::optional<QString> path = Services.Dlg->OpenFile(options);
    if (!path || !AcceptPath(*Services.Dlg, *path))
        return;
    CheckBitmapData(*path);  // a broken picture is refused with its error before the field changes
    SkinEdit->setText(*path);
}

bool MediaPage::CheckSkinPicture(const QString& path, BitmapSize& size)
{
    QString message;
    switch (CheckSkinPictureFile(path, size)) {  // a file that cannot be read throws
    case SkinPictureFault::None: return true;
    case SkinPictureFault::Extension: message = QStringLiteral("Soubor s bitmapou musí mít příponu .bmp."); break;
    case SkinPictureFault::TooLarge: message = QStringLiteral("Bitmapa nemůže být větší než 600x400 bodů."); break;
    case SkinPictureFault::TooSmall: message = QStringLiteral("Bitmapa nemůže být menší než 100x100 bodů."); break;
    }
    Refuse(*Services.Dlg, message);
    return false;
}

void MediaPage::PrevBtnClick()
{
    BitmapSize size;
    if (!CheckSkinPicture(SkinEdit->text(), size))
        return;
    Windows.PrevForm->Execute(SkinEdit->text(), {Rozbal, Readme, Konec});
}

void MediaPage::SetBtnClick()
{
    BitmapSize size;
    if (!CheckSkinPicture(SkinEdit->text(), size))
        return;
    const std::optional<ClickAreas> areas = Windows.AreaForm->Execute(SkinEdit->text(), size, {Rozbal, Readme, Konec});
    if (!areas)
        return;
    const bool changed = !((*areas)[0] == Rozbal && (*areas)[1] == Readme && (*areas)[2] == Konec);
    Rozbal = (*areas)[0];
    Readme = (*areas)[1];
    Konec = (*areas)[2];
    // Areas are part of the project: changed ones must not go unsaved without the question.
    if (changed)
        emit Changed();
}

void MediaPage::BkMusicBtnClick()
{
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít soubor s hudbou");
    options.Filter = QStringLiteral(
        "MIDI soubory (*.mid)|*.MID|Zvuky  (*.wav)|*.WAV|MPEG Layer 3 soubory (*.mp3)|*.MP3");
    options.InitialFolder = Paths::Join(Services.ProgramFolder, QStringLiteral("Hudba"));
    const std::optional<QString> path = Services.Dlg->OpenFile(options);
    if (path && AcceptPath(*Services.Dlg, *path))
        BkMusicEdit->setText(*path);
}

void MediaPage::BkMusicEditChange()
{
    // A running test playback goes on; only Stop or its end touch StopBtn.
    TestBtn->setEnabled(!BkMusicEdit->text().isEmpty());
    emit Changed();
}

void MediaPage::TestBtnClick()
{
    if (!Services.Player)
        return;
    Services.Player->SetNotify(true);
    Services.Player->FileName = BkMusicEdit->text();
    // The buttons follow the completion notices, not the commands.
    if (!Services.Player->Open() || !Services.Player->Play())
        Refuse(*Services.Dlg, Services.Player->ErrorText());
}

void MediaPage::StopBtnClick()
{
    if (Services.Player) {
        Services.Player->Stop();
        Services.Player->Close();
    }
    TestBtn->setEnabled(true);
    StopBtn->setEnabled(false);
}

void MediaPage::MusicPlayerNotify()
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
