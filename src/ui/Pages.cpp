#include "Pages.h"
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
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

ReadmePage::ReadmePage(const AppServices& services) : Services(services)
{
    setObjectName(QStringLiteral("NfoPage"));
    auto* nfoGroup = Make<QGroupBox>(this, "GroupBox3", 4, 2, 420, 204);
    nfoGroup->setTitle(QStringLiteral("Soubor Readme.nfo:"));
    ReadMemo = Make<QPlainTextEdit>(nfoGroup, "ReadMemo", 8, 20, 404, 176);
    QPushButton* loadBtn = Button(this, "LoadBtn", QStringLiteral("&Otevřít"),
                                  QStringLiteral("Otevře soubor Readme.nfo uložený na disku"), 432, 22, 95, 25);
    ClearBtn = Button(this, "ClearBtn", QStringLiteral("&Smazat řádky"), QStringLiteral("Smaže všechny napsané řádky"),
                      432, 54, 95, 25);
    ClearBtn->setEnabled(false);

    new KeyFilter(ReadMemo, Services.Dlg);
    connect(ReadMemo, &QPlainTextEdit::textChanged, this, &ReadmePage::ReadMemoChange);
    connect(loadBtn, &QPushButton::clicked, this, Guarded(this, Services.Dlg, &ReadmePage::LoadBtnClick));
    connect(ClearBtn, &QPushButton::clicked, this, &ReadmePage::ClearBtnClick);
}

void ReadmePage::Apply(const Project& p) { ShowText(p.ReadmeText); }

void ReadmePage::Collect(Project& p) const { p.ReadmeText = Text(); }

QString ReadmePage::Text() const
{
    // The memo holds lines; the project's text separates them with CR LF. The raw text keeps
    // no-break spaces (0xA0 in Windows-1250), which the plain text would turn into blanks.
    QString text = ReadMemo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return text;
}

void ReadmePage::ShowText(const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    ReadMemo->setPlainText(lines);  // runs ReadMemoChange
}

void ReadmePage::LoadBtnClick()
{
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít .nfo soubory");
    options.Filter = QStringLiteral("Soubory .nfo (*.nfo)|*.NFO");
    options.InitialFolder = Paths::Join(Services.ProgramFolder, QStringLiteral("Projekty"));
    const std::optional<QString> path = Services.Dlg->OpenFile(options);
    if (!path || !AcceptPath(*Services.Dlg, *path))
        return;
    // A file that cannot be read throws before the memo changes; the same text changes nothing.
    const QString text = LoadReadmeText(*path);
    if (text != Text())
        ShowText(text);
}

void ReadmePage::ReadMemoChange()
{
    // The memo's lines are its blocks; an empty last one does not count (ReadmeLineCount's rule,
    // without copying a long text at every key).
    const QTextDocument* document = ReadMemo->document();
    ClearBtn->setEnabled(document->blockCount() > 1 || !document->lastBlock().text().isEmpty());
    emit Changed();
}

void ReadmePage::ClearBtnClick()
{
    if (Ask(*Services.Dlg, QStringLiteral("Opravdu smazat všechny řádky?")) == MsgAnswer::Yes)
        ReadMemo->clear();
}

// Shows its message on failure.
static bool CheckSkinPicture(Dialogs& dialogs, const QString& path, BitmapSize& size)
{
    QString message;
    switch (CheckSkinPictureFile(path, size)) {  // a file that cannot be read throws
    case SkinPictureFault::None: return true;
    case SkinPictureFault::Extension: message = QStringLiteral("Soubor s bitmapou musí mít příponu .bmp."); break;
    case SkinPictureFault::TooLarge: message = QStringLiteral("Bitmapa nemůže být větší než 600x400 bodů."); break;
    case SkinPictureFault::TooSmall: message = QStringLiteral("Bitmapa nemůže být menší než 100x100 bodů."); break;
    }
    Refuse(dialogs, message);
    return false;
}

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

void MediaPage::PrevBtnClick()
{
    BitmapSize size;
    if (!CheckSkinPicture(*Services.Dlg, SkinEdit->text(), size))
        return;
    Windows.PrevForm->Execute(SkinEdit->text(), {Rozbal, Readme, Konec});
}

void MediaPage::SetBtnClick()
{
    BitmapSize size;
    if (!CheckSkinPicture(*Services.Dlg, SkinEdit->text(), size))
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

RunPage::RunPage(Dialogs* dlg)
{
    setObjectName(QStringLiteral("RunPage"));
    auto* runGroup = Make<QGroupBox>(this, "GroupBox6", 4, 2, 523, 150);
    runGroup->setTitle(QStringLiteral("Spuštění jiného programu po rozbalení:"));
    RunChBox = Make<QCheckBox>(runGroup, "RunChBox", 12, 22, 400, 20);
    RunChBox->setText(QStringLiteral("Po rozbalení spustit definovaný program"));
    ProgNameLabel = Label(runGroup, QStringLiteral("Název programu:"), 12, 56, "ProgNameLabel");
    ProgNameEdit = Make<QLineEdit>(runGroup, "ProgNameEdit", 130, 52, 381, 22);
    CmLineLabel = Label(runGroup, QStringLiteral("Příkazová řádka:"), 12, 88, "CmLineLabel");
    CmLineEdit = Make<QLineEdit>(runGroup, "CmLineEdit", 130, 84, 381, 22);
    AskChBox = Make<QCheckBox>(runGroup, "AskChBox", 12, 118, 300, 20);
    AskChBox->setText(QStringLiteral("Zeptat se na spuštění"));

    // CmLineEditChange and AskChBoxClick only mark the project changed.
    for (QLineEdit* edit : {CmLineEdit, ProgNameEdit}) {
        new KeyFilter(edit, dlg);  // nothing Windows-1250 cannot hold
        connect(edit, &QLineEdit::textChanged, this, &RunPage::Changed);
    }
    connect(AskChBox, &QCheckBox::toggled, this, &RunPage::Changed);
    connect(RunChBox, &QCheckBox::toggled, this, &RunPage::RunChBoxClick);
    RunChBoxClick();
}

void RunPage::RunChBoxClick()
{
    const bool on = RunChBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{ProgNameLabel, ProgNameEdit, CmLineLabel, CmLineEdit, AskChBox})
        w->setEnabled(on);
    const QPalette::ColorRole role = on ? QPalette::Base : QPalette::Button;
    for (QLineEdit* edit : {ProgNameEdit, CmLineEdit}) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, QApplication::palette().color(role));
        edit->setPalette(palette);
    }
    emit Changed();
}

void RunPage::Apply(const Project& p)
{
    RunChBox->setChecked(p.SpustitPrg);
    ProgNameEdit->setText(p.NazevProg);
    CmLineEdit->setText(p.PrikRadka);
    AskChBox->setChecked(p.Zeptat);
}

void RunPage::Collect(Project& p) const
{
    p.SpustitPrg = RunChBox->isChecked();
    p.NazevProg = ProgNameEdit->text();
    p.PrikRadka = CmLineEdit->text();
    p.Zeptat = AskChBox->isChecked();
}
