#pragma once
#include <QDialog>

class TAreaForm : public QDialog {
    Q_OBJECT
public:
    explicit TAreaForm(QWidget* parent = nullptr);
};
