#pragma once
#include <QPixmap>
#include <QWidget>

// Shown from the start until the windows are created; no behaviour of its own.
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);
    static QPixmap Picture(int width, int height);  // the splash and About picture

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap Painted;
};
