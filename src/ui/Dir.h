#pragma once
#include <QDialog>
#include <QHash>
#include <QStringList>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The folder chooser. The caller sets the caption and runs it modally; on OK, Directory() is the
// chosen folder. One chooser serves the whole run, so each use opens where the previous one left.
class TDirForm : public QDialog {
    Q_OBJECT
public:
    explicit TDirForm(QWidget* parent = nullptr);

    // The folder the list shows as current: full, absolute, with the platform's separators.
    QString Directory() const { return CurrentFolder; }
    // Makes folder the current one; a folder that no longer exists gives way to its nearest
    // existing parent.
    void SetDirectory(const QString& folder);
    // The roots the drive list offers: the drives on Windows; elsewhere "/", the home folder and
    // mounted removable or extra volumes.
    static QStringList Drives();

    void DirectoryListBox1Click(QListWidgetItem* item);
    void DriveComboBox1Change(int index);

    QComboBox* DriveComboBox1 = nullptr;
    QListWidget* DirectoryListBox1 = nullptr;
    QLabel* DirLabel = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

private:
    QString DriveOf(const QString& folder) const;
    void FillList();

    QString CurrentFolder;
    QHash<QString, QString> LastFolderOfDrive;  // choosing a drive returns to its last folder
};
