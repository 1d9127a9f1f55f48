#pragma once
#include <QDialog>
#include <optional>

class Dialogs;
class QLabel;
class QLineEdit;
class QPushButton;

// The name of a key, for adding and for renaming. Created once; KeyEdit keeps its text between uses.
class TKeyForm : public QDialog {
    Q_OBJECT
public:
    explicit TKeyForm(Dialogs* dialogs, QWidget* parent = nullptr);

    // Runs the window under this caption, the field showing name, or when none is given what it
    // showed last: the accepted name, or nothing.
    std::optional<QString> Execute(const QString& caption, const std::optional<QString>& name = std::nullopt);

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

private:
    Dialogs* Dlg;
};
