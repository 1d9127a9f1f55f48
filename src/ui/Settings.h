#pragma once
#include <QDialog>

class TSetForm : public QDialog {
    Q_OBJECT
public:
    explicit TSetForm(QWidget* parent = nullptr);
};
