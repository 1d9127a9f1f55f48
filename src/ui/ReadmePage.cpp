#include "ReadmePage.h"
#include "Controls.h"
#include "Guarded.h"
#include "KeyFilter.h"
#include "Paths.h"
#include "Project.h"
#include <QGroupBox>
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
