#include "Dir.h"
#include "Controls.h"
#include "Dialogs.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStyle>
#include <QWindow>

TDirSizeForm::TDirSizeForm(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("DirSizeForm"));
    // Keys typed while it flashes up belong to the field being typed into, not to this window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setFixedSize(287, 104);
    auto* panel1 = Make<QFrame>(this, "Panel1", 0, 0, 287, 104);
    panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel1->setLineWidth(2);
    Image1 = Make<QLabel>(panel1, "Image1", 24, 20, 16, 16);
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_DirIcon).pixmap(16, 16));
    Label1 = Label(panel1, QStringLiteral("Zjišťuji velikost adresáře k archivaci..."), 80, 20, "Label1");
    // The text was laid out for a narrow 8-point font; a wider one gets smaller until it fits.
    const int room = 287 - 80 - 2 * panel1->frameWidth() - 2;
    QFont font = Label1->font();
    while (QFontMetrics(font).horizontalAdvance(Label1->text()) > room && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    Label1->setFont(font);
    Label1->adjustSize();
    CountLabel = Make<QLabel>(panel1, "CountLabel", 80, 20 + Label1->height() + 4, room, Label1->height());
    CountLabel->setFont(font);
    ShowFileCount(0);
    CancelBtn = Button(panel1, "CancelBtn", QStringLiteral("Zrušit"), QString(), (287 - 75) / 2, 68, 75, 25);
    // The window takes no focus: Escape reaches the measurement through the main window instead.
    CancelBtn->setFocusPolicy(Qt::NoFocus);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    CentreOnScreen(this);
}

void TDirSizeForm::ShowPainted()
{
    show();
    // A real window system maps the window asynchronously; wait briefly for it, keeping user input
    // queued, so that the text is on screen before the GUI thread goes busy.
    QElapsedTimer waited;
    waited.start();
    do
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    while ((!windowHandle() || !windowHandle()->isExposed()) && waited.elapsed() < 250);
    repaint();
}

void TDirSizeForm::ShowFileCount(qint64 files)
{
    CountLabel->setText(QStringLiteral("Započítáno souborů: %1").arg(files));
}

namespace {

// Paths are kept with "/" inside and handed out with the platform's separators.
QString Internal(const QString& path) { return QDir::cleanPath(QDir::fromNativeSeparators(path)); }

QString ParentOf(const QString& internal)
{
    const QString up = QFileInfo(internal).path();
    return up.size() < internal.size() ? up : internal;  // a root is its own parent
}

bool IsBelowOrAt(const QString& folder, const QString& root)
{
    if (folder == root)
        return true;
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
#ifdef Q_OS_WIN
    return folder.startsWith(prefix, Qt::CaseInsensitive);
#else
    return folder.startsWith(prefix);
#endif
}

QString DriveOf(const QComboBox* drives, const QString& folder)
{
    const QString internal = Internal(folder);
    QString best;
    for (int i = 0; i < drives->count(); ++i) {
        const QString root = drives->itemData(i).toString();
        if (IsBelowOrAt(internal, root) && root.size() > best.size())
            best = root;
    }
    return best;
}

void FillList(QListWidget* list, const QString& current)
{
    QStringList chain;
    for (QString p = current;; p = ParentOf(p)) {
        chain.prepend(p);
        if (ParentOf(p) == p)
            break;
    }
    list->clear();
    const QIcon open = list->style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = list->style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [list](const QIcon& icon, int depth, const QString& text, const QString& path) {
        auto* item = new QListWidgetItem(icon, QString(depth * 2, QLatin1Char(' ')) + text, list);
        item->setData(Qt::UserRole, path);
    };
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QString& p = chain[depth];
        add(open, depth, depth == 0 ? QDir::toNativeSeparators(p) : QFileInfo(p).fileName(), p);
    }
    list->setCurrentRow(int(chain.size()) - 1);
    const QStringList subfolders
        = QDir(current).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    const QString prefix = current.endsWith(QLatin1Char('/')) ? current : current + QLatin1Char('/');
    for (const QString& name : subfolders)
        add(closed, int(chain.size()), name, prefix + name);
}

}  // namespace

TDirForm::TDirForm(Dialogs* dialogs, QWidget* parent) : QDialog(parent), Dlg(dialogs)
{
    SetUpDialog(this, "DirForm", 221, 238);

    auto* driveLabel = Make<QLabel>(this, "Label1", 8, 6, 205, 16);
    driveLabel->setText(QStringLiteral("Zvolte disk:"));
    DriveComboBox1 = Make<QComboBox>(this, "DriveComboBox1", 8, 22, 205, 22);
    for (const QString& drive : Drives())
        DriveComboBox1->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), drive, Internal(drive));
    driveLabel->setBuddy(DriveComboBox1);

    auto* folderLabel = Make<QLabel>(this, "Label2", 8, 50, 205, 16);
    folderLabel->setText(QStringLiteral("Zvotlte adresář:"));
    DirectoryListBox1 = Make<QListWidget>(this, "DirectoryListBox1", 8, 66, 205, 114);
    DirectoryListBox1->setIconSize(QSize(16, 16));
    folderLabel->setBuddy(DirectoryListBox1);

    DirLabel = Make<QLabel>(this, "DirLabel", 10, 184, 201, 16);

    QPushButton* bitBtn1 = Button(this, "BitBtn1", QStringLiteral("&OK"), QString(), 8, 205, 97, 27);
    bitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    bitBtn1->setDefault(true);
    QPushButton* bitBtn2 = Button(this, "BitBtn2", QStringLiteral("&Zrušit"), QString(), 116, 205, 97, 27);
    bitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    connect(bitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(bitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    // A single click opens a folder; Enter does the same from the keyboard.
    connect(DirectoryListBox1, &QListWidget::itemClicked, this, &TDirForm::DirectoryListBox1Click);
    connect(DirectoryListBox1, &QListWidget::itemActivated, this, &TDirForm::DirectoryListBox1Click);
    connect(DriveComboBox1, &QComboBox::activated, this, &TDirForm::DriveComboBox1Change);

    SetDirectory(QDir::currentPath());
    CentreOnScreen(this);
}

QStringList TDirForm::Drives()
{
    QStringList drives;
#ifdef Q_OS_WIN
    for (const QFileInfo& drive : QDir::drives())
        drives << QDir::toNativeSeparators(drive.absolutePath());
#else
    drives << QStringLiteral("/");
    const QString home = Internal(QDir::homePath());
    if (home != QLatin1String("/") && QFileInfo(home).isDir())
        drives << home;
    // Removable media and extra disks; the system's own mounts (/proc, /sys, /run, ...) stay out.
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || !volume.isReady() || drives.contains(root))
            continue;
        for (const char* place : {"/media/", "/mnt/", "/run/media/"})
            if (root.startsWith(QLatin1String(place)))
                drives << root;
    }
#endif
    return drives;
}

void TDirForm::SetDirectory(const QString& folder)
{
    QString path = Internal(QDir(folder).absolutePath());
    while (!QFileInfo(path).isDir() && ParentOf(path) != path)
        path = ParentOf(path);
    CurrentFolder = QDir::toNativeSeparators(path);

    const QString drive = DriveOf(DriveComboBox1, path);
    if (!drive.isEmpty())
        LastFolderOfDrive.insert(drive, path);
    {
        const QSignalBlocker block(DriveComboBox1);
        DriveComboBox1->setCurrentIndex(DriveComboBox1->findData(drive));
    }
    FillList(DirectoryListBox1, path);
    // On screen the path is shortened to the label's width; Directory() stays the full path.
    DirLabel->setText(DirLabel->fontMetrics().elidedText(CurrentFolder, Qt::ElideMiddle, DirLabel->width()));
}

void TDirForm::DirectoryListBox1Click(QListWidgetItem* item)
{
    if (!item)
        return;
    const QString path = item->data(Qt::UserRole).toString();
    if (Internal(path) != Internal(CurrentFolder))
        SetDirectory(path);
}

void TDirForm::DriveComboBox1Change(int index)
{
    const QString drive = DriveComboBox1->itemData(index).toString();
    if (drive.isEmpty())
        return;
    SetDirectory(LastFolderOfDrive.value(drive, drive));
}

std::optional<QString> TDirForm::Execute(const QString& caption)
{
    setWindowTitle(caption);
    if (Dlg->RunModal(this) != QDialog::Accepted)
        return std::nullopt;
    return Directory();
}
