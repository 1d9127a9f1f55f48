#include "Preview.h"
#include "Error.h"
#include "Dialogs.h"
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QtMath>

QImage LoadSkinPicture(const QString& path)
{
    // Read as a bitmap whatever the content: the extractor shows nothing else.
    QImageReader reader(path, "bmp");
    QImage image = reader.read();
    if (image.isNull())
        throw ZelvakonError(QStringLiteral("Soubor s obrázkem %1 nelze načíst jako bitmapu: %2").arg(path, reader.errorString()));
    return image;
}

TPrevForm::TPrevForm(Dialogs* dialogs, QWidget* parent) : QDialog(parent), Dlg(dialogs)
{
    setObjectName(QStringLiteral("PrevForm"));
    setWindowTitle(QStringLiteral("Náhled na titulní obrázek"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    MainImage = new QLabel(this);
    MainImage->setObjectName(QStringLiteral("MainImage"));
    MainImage->move(0, 0);
    MainImage->setMouseTracking(true);
    MainImage->installEventFilter(this);
}

void TPrevForm::LoadPicture(const QString& path) { Picture = LoadSkinPicture(path); }

void TPrevForm::Execute(const QString& picturePath, const std::array<ClickArea, 3>& areas)
{
    LoadPicture(picturePath);
    PreviewAreas = areas;
    Dlg->RunModal(this);
}

void TPrevForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

void TPrevForm::FormActivate()
{
    MainImage->setPixmap(QPixmap::fromImage(Picture));
    MainImage->setFixedSize(Picture.size());
    MainImage->unsetCursor();
    setFixedSize(Picture.size());
    // Centred on the screen, the quotients truncated towards zero as the program always placed it.
    if (QScreen* screen = this->screen()) {
        const QRect area = screen->geometry();
        const QSize window = frameGeometry().size();
        move(area.x() + (area.width() - window.width()) / 2, area.y() + (area.height() - window.height()) / 2);
    }
}

void TPrevForm::MainImageMouseMove(int x, int y)
{
    for (const ClickArea& area : PreviewAreas) {
        if (area.Contains(x, y)) {
            MainImage->setCursor(Qt::PointingHandCursor);
            return;
        }
    }
    if (MainImage->cursor().shape() == Qt::PointingHandCursor)
        MainImage->setCursor(Qt::ArrowCursor);
}

bool TPrevForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == MainImage && event->type() == QEvent::MouseMove) {
        const QPointF pos = static_cast<QMouseEvent*>(event)->position();
        MainImageMouseMove(qFloor(pos.x()), qFloor(pos.y()));
    }
    return QDialog::eventFilter(watched, event);
}
