#pragma once
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The wait window shown while the folder to pack is measured on another thread. It never takes the
// focus, so that typing goes on in the field; "Zrušit" stops the measurement.
class TDirSizeForm : public QDialog {
    Q_OBJECT
public:
    explicit TDirSizeForm(QWidget* parent = nullptr);

    // Shows it without a modal loop and waits briefly until it is on screen.
    void ShowPainted();
    void ShowFileCount(qint64 files);

    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* CountLabel = nullptr;
    QPushButton* CancelBtn = nullptr;
};
