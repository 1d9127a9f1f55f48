#pragma once
#include <QDialog>

class QFrame;
class QLabel;

// The wait window shown while the folder to pack is measured: no border, no button, no way out.
class TDirSizeForm : public QDialog {
    Q_OBJECT
public:
    explicit TDirSizeForm(QWidget* parent = nullptr);

    // Shows it without a modal loop and paints it at once: the measurement that follows keeps the
    // event loop busy.
    void ShowPainted();

    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
};
