#pragma once
#include <QDialog>

class TValueForm : public QDialog {
    Q_OBJECT
public:
    explicit TValueForm(QWidget* parent = nullptr);
};
