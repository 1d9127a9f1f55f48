#pragma once
#include <QDialog>

class TDirForm : public QDialog {
    Q_OBJECT
public:
    explicit TDirForm(QWidget* parent = nullptr);
};
