#pragma once
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The name, value and type of an entry, for adding and for editing. Created once; the fields keep
// their texts between uses.
class TValueForm : public QDialog {
    Q_OBJECT
public:
    explicit TValueForm(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* NameEdit = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* ValueEdit = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* ValueCombo = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    // Name and value given, the type one of the eight names exactly, and the entry such that Reg.ini
    // carries it unchanged; OK is enabled exactly then.
    bool IsInputComplete() const;
    void NameEditChange();
    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;
};
