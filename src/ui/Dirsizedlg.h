#pragma once
#include <QDialog>

class TDirSizeForm : public QDialog {
    Q_OBJECT
public:
    explicit TDirSizeForm(QWidget* parent = nullptr);
};
