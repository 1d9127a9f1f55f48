#pragma once
#include <QWidget>

// Shown from the start until the windows are created; no behaviour of its own.
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
