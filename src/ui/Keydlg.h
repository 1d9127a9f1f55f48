#pragma once
#include <QDialog>

class TKeyForm : public QDialog {
    Q_OBJECT
public:
    explicit TKeyForm(QWidget* parent = nullptr);
};
