#pragma once
#include <QFont>
#include <QPixmap>
#include <QWidget>

class QPainter;

// Shown from the start until the windows are created; no behaviour of its own.
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);
    static QPixmap Picture(int width, int height);  // the splash and About picture

    static constexpr QSize SplashSize{292, 223};
    static const QString Title;
    static QRect TitleBand(QSize picture);  // the title is centred in it
    static QFont TitleFont(QSize picture);
    static void DrawTitle(QPainter& p, QSize picture);  // white, centred in the title band

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap Painted;
};
