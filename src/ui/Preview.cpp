#include "Preview.h"
#include "Controls.h"
#include "Dialogs.h"
#include "Error.h"
#include "Files.h"
#include "RegularFile.h"
#include <QBuffer>
#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>
#include <QtMath>

QImage LoadSkinPicture(const QString& path)
{
    QByteArray bytes;
    if (const QString reason = ReadRegularFile(path, MaxSkinPictureBytes, bytes); !reason.isEmpty())
        throw ZelvakonError(QStringLiteral("Soubor s obrázkem %1 nelze otevřít: %2").arg(path, reason));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    if (const QString fault = BitmapDataFault(buffer, bytes.size()); !fault.isEmpty())
        throw ZelvakonError(QStringLiteral("Soubor s obrázkem %1 není celá bitmapa: %2").arg(path, fault));
    // Read as a bitmap whatever the content: the extractor shows nothing else.
    buffer.seek(0);
    QImageReader reader(&buffer, "bmp");
    QImage image = reader.read();
    if (image.isNull())
        throw ZelvakonError(
            QStringLiteral("Soubor s obrázkem %1 nelze načíst jako bitmapu: %2").arg(path, reader.errorString()));
    return image;
}

TPrevForm::TPrevForm(Dialogs* dialogs, QWidget* parent) : QDialog(parent), Dlg(dialogs)
{
    setObjectName(QStringLiteral("PrevForm"));
    setWindowTitle(QStringLiteral("Náhled na titulní obrázek"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    MainImage = Label(this, QString(), 0, 0, "MainImage");
    MainImage->setMouseTracking(true);
    MainImage->installEventFilter(this);
}

void TPrevForm::Execute(const QString& picturePath, const std::array<ClickArea, 3>& areas)
{
    Picture = LoadSkinPicture(picturePath);
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
