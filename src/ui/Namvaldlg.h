#pragma once
#include <QDialog>
#include <optional>

class Dialogs;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The name, value and type of an entry, for adding and for editing. Created once; the fields keep
// their texts between uses.
// An entry as the window edits it.
struct RegEntry {
    QString Name;
    QString Value;
    QString TypeName;
};

class TValueForm : public QDialog {
    Q_OBJECT
public:
    explicit TValueForm(Dialogs* dialogs, QWidget* parent = nullptr);

    // Runs the window under this caption, the fields showing entry, or when none is given what they
    // showed last: the accepted entry, or nothing.
    std::optional<RegEntry> Execute(const QString& caption, const std::optional<RegEntry>& entry = std::nullopt);

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

private:
    Dialogs* Dlg;
};
