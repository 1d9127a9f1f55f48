#pragma once
#include <QDialog>
#include <optional>

class Dialogs;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The two windows of the registry page. Each is created once and its fields keep their texts between
// uses; OK is enabled exactly while the input is one that Reg.ini carries unchanged. Each showing
// centres the window and runs its FormActivate.
class TRegistryForm : public QDialog {
protected:
    TRegistryForm(Dialogs* dialogs, QWidget* parent) : QDialog(parent), Dlg(dialogs) {}
    virtual void FormActivate() = 0;
    void showEvent(QShowEvent* event) override;

    Dialogs* Dlg;
};

// The name of a key, for adding and for renaming.
class TKeyForm : public TRegistryForm {
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

    bool IsInputComplete() const;
    void KeyEditChange();
    void FormActivate() override;
};

// An entry as the window edits it.
struct RegEntry {
    QString Name;
    QString Value;
    QString TypeName;
};

// The name, value and type of an entry, for adding and for editing.
class TValueForm : public TRegistryForm {
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

    // Name and value given, the type one of the eight names exactly.
    bool IsInputComplete() const;
    void NameEditChange();
    void FormActivate() override;
};
