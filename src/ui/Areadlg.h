#pragma once
#include "AreaEditor.h"
#include "ClickArea.h"
#include <QDialog>
#include <QImage>
#include <array>
#include <functional>
#include <optional>

class Dialogs;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QToolButton;
class TAreaForm;
struct BitmapSize;

// The largest picture file read: far above any bitmap of at most 600x400 points.
inline constexpr qint64 MaxSkinPictureBytes = qint64(64) << 20;
// Decodes a title picture as a Windows bitmap; throws ZelvakonError naming the file when it cannot,
// or when the file does not hold all the pixel data its header promises.
QImage LoadSkinPicture(const QString& path);

// "Náhled na titulní obrázek": the picture at its own size, with the hand cursor over the areas.
class TPrevForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrevForm(Dialogs* dialogs, QWidget* parent = nullptr);

    // Shows the picture with the project's areas (Rozbal, Readme, Konec). A picture that cannot be
    // read throws ZelvakonError before the window opens.
    void Execute(const QString& picturePath, const std::array<ClickArea, 3>& areas);

    QImage Picture;
    std::array<ClickArea, 3> PreviewAreas;  // as given

    void FormActivate();
    void MainImageMouseMove(int x, int y);

    QLabel* MainImage = nullptr;

private:
    Dialogs* Dlg;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

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

// The three click areas in the project's order: Rozbal, Readme, Konec.
using ClickAreas = std::array<ClickArea, 3>;

// "Nastavení klikacích ploch": the three click areas drawn, moved and resized over the title picture.
// Created once and reused.
class TAreaForm : public QDialog {
    Q_OBJECT
public:
    // showHelp opens the help page of the window.
    TAreaForm(Dialogs* dialogs, std::function<void()> showHelp, QWidget* parent = nullptr);

    // Runs the window over the picture (checked, of that size) and the project's areas: the areas
    // accepted, or nothing. A picture that cannot be read throws ZelvakonError before it opens.
    std::optional<ClickAreas> Execute(const QString& picturePath, const BitmapSize& size, const ClickAreas& areas);

    qint32 PictureWidth = 0;
    qint32 PictureHeight = 0;
    QImage Picture;
    quint32 FrameColor = 0xFFFFFF;  // 0xRRGGBB; kept for the program's run, not in the project
    AreaEditor Editor;

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
    Dialogs* Dlg;
    std::function<void()> ShowHelp;
    ClickAreas Given;
    void ShowState();  // the controls after every change of the editor's state
    void ShowFrameColor();
};
