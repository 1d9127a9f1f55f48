#pragma once
#include <QDialog>

class TPrevForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrevForm(QWidget* parent = nullptr);
};
