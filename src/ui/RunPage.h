#pragma once
#include <QWidget>

class Dialogs;
class QCheckBox;
class QLabel;
class QLineEdit;
struct Project;

// Page "Spustit po extrakci": a program the extractor runs once it is done.
class RunPage : public QWidget {
    Q_OBJECT
public:
    explicit RunPage(Dialogs* dlg);
    void Apply(const Project& project);  // through the change handlers
    void Collect(Project& project) const;

signals:
    void Changed();

private:
    void RunChBoxClick();

    QCheckBox* RunChBox;
    QLabel* ProgNameLabel;
    QLineEdit* ProgNameEdit;
    QLabel* CmLineLabel;
    QLineEdit* CmLineEdit;
    QCheckBox* AskChBox;
};
