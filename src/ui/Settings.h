#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;
class QToolButton;
class TMainForm;

// The project settings: installer name, data file name and output folder, the three project fields
// without a control on the main window. Filled from the project each time it opens; SetActExecute
// takes the values back on OK.
class TSetForm : public QDialog {
    Q_OBJECT
public:
    explicit TSetForm(QWidget* parent = nullptr);

    void FormActivate();          // the three fields from the main window's project
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
    TMainForm* Main() const;
};
