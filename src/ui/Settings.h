#pragma once
#include <QDialog>
#include <optional>

class Dialogs;
class QLineEdit;
class QPushButton;
class QToolButton;
class TDirForm;

// The three project fields without a control on the main window.
struct OutputNames {
    QString Installer;  // JmenoInst
    QString DataFile;   // JmenoDat
    QString Folder;     // Vystup
};

// The project settings: installer name, data file name and output folder.
class TSetForm : public QDialog {
    Q_OBJECT
public:
    TSetForm(Dialogs* dialogs, TDirForm* chooser, QWidget* parent = nullptr);

    // Runs the window over the project's names: the names accepted, or nothing.
    std::optional<OutputNames> Execute(const OutputNames& names);
    void FormActivate();          // focus and OK as the fields stand
    void InstNameEditChange();    // OK only while all three are filled
    static bool InstNameEditKeyPress(QChar c);  // false: the name field drops it with the beep
    void OutDirBtnClick();
    void accept() override;       // refuses while a field is empty, however OK was reached

    QLineEdit* InstNameEdit = nullptr;
    QLineEdit* DatNameEdit = nullptr;
    QLineEdit* OutDirEdit = nullptr;
    QToolButton* OutDirBtn = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    Dialogs* Dlg;
    TDirForm* Chooser;
};
