#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The name of a key, for adding and for renaming. Created once; KeyEdit keeps its text between uses.
class TKeyForm : public QDialog {
    Q_OBJECT
public:
    explicit TKeyForm(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* KeyEdit = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    // A name that Reg.ini carries unchanged; OK is enabled exactly then.
    bool IsInputComplete() const;
    void KeyEditChange();
    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;
};
