#pragma once
#include "AreaEditor.h"
#include <QDialog>
#include <QImage>

class QButtonGroup;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QToolButton;
class TAreaForm;
class TMainForm;

// The picture with the three frames over it; it hands pointer events to the editor in picture pixels.
class TAreaImage : public QWidget {
    Q_OBJECT
public:
    explicit TAreaImage(TAreaForm* form, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TAreaForm* Form;
};

// "Nastavení klikacích ploch": the three click areas drawn, moved and resized over the title picture.
// Created once and reused; the caller sets the picture and its size before each opening.
class TAreaForm : public QDialog {
    Q_OBJECT
public:
    explicit TAreaForm(TMainForm* mainForm);

    TMainForm* MainForm;
    qint32 PictureWidth = 0;
    qint32 PictureHeight = 0;
    QImage Picture;
    quint32 FrameColor = 0xFFFFFF;  // 0xRRGGBB; kept for the program's run, not in the project
    AreaEditor Editor;

    // Decodes the picture for the next opening; throws ZelvakonError when it is no readable bitmap.
    void LoadPicture(const QString& path);
    void LoadAreas();
    void StoreAreas();

    void FormActivate();
    void NfoBtnClick();
    void ColorBtnClick();
    void ToolButton5Click();
    void ImageMouseMove(int x, int y);
    void ImageMouseDown(Qt::MouseButton button);
    void ImageMouseUp();

    QWidget* ToolBar1 = nullptr;
    QToolButton* NfoBtn = nullptr;
    QToolButton* ExtrBtn = nullptr;
    QToolButton* QuitBtn = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QButtonGroup* AreaButtons = nullptr;
    QLabel* Label4 = nullptr;
    QFrame* ColorShape = nullptr;
    QPushButton* ColorBtn = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    TAreaImage* Image = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* NfoLabel = nullptr;
    QLabel* ExtrLabel = nullptr;
    QLabel* QuitLabel = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowState();  // the controls after every change of the editor's state
    void ShowFrameColor();
};
