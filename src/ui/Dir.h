#pragma once
#include <QDialog>
#include <QHash>
#include <QStringList>
#include <optional>

class Dialogs;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The wait window shown while the folder to pack is measured on another thread. It never takes the
// focus, so that typing goes on in the field; "Zrušit" stops the measurement.
class TDirSizeForm : public QDialog {
    Q_OBJECT
public:
    explicit TDirSizeForm(QWidget* parent = nullptr);

    // Shows it without a modal loop and waits briefly until it is on screen.
    void ShowPainted();
    void ShowFileCount(qint64 files);

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* CountLabel = nullptr;
    QPushButton* CancelBtn = nullptr;
};

// The folder chooser. One chooser serves the whole run, so each use opens where the previous one left.
class TDirForm : public QDialog {
    Q_OBJECT
public:
    explicit TDirForm(Dialogs* dialogs, QWidget* parent = nullptr);

    // Runs the window under this caption: the chosen folder, or nothing.
    std::optional<QString> Execute(const QString& caption);

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

private:
    Dialogs* Dlg;
    QString CurrentFolder;
    QHash<QString, QString> LastFolderOfDrive;  // choosing a drive returns to its last folder
};
