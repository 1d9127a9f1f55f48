#pragma once
#include "ClickArea.h"
#include <QDialog>
#include <QImage>
#include <array>

class QLabel;
class Dialogs;

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
