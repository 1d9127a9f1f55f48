#include "RegistryImages.h"
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>

namespace {

void DrawKey(QPainter& p, const QColor& metal, const QColor& outline)
{
    p.setPen(QPen(outline, 1));
    p.setBrush(metal);
    p.drawEllipse(QRectF(1.5, 4.5, 6, 6));      // bow
    p.drawRect(QRectF(7.5, 6.5, 7, 2));          // shaft
    p.drawRect(QRectF(11.5, 8.5, 1.5, 2.5));     // teeth
    p.drawRect(QRectF(13.5, 8.5, 1.5, 3.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(3.5, 6.5, 2, 2));       // hole
}

// A rounded tile with a short text: the entry types, told apart by colour and mark.
QPixmap Tile(const QColor& colour, const QString& mark, int pixelSize)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(0.5, 1.5, 15, 13), 3, 3);
    QFont font = p.font();
    font.setPixelSize(pixelSize);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 1, 16, 14), Qt::AlignCenter, mark);
    return pixmap;
}

QPixmap Clock(const QColor& colour, bool withCalendar)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (withCalendar) {
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(0.5, 0.5, 10, 10));
        p.fillRect(QRectF(1, 1, 9.5, 3), QColor(200, 40, 40));
    }
    const QRectF face = withCalendar ? QRectF(6.5, 6.5, 9, 9) : QRectF(1.5, 1.5, 13, 13);
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(colour);
    p.drawEllipse(face);
    p.setPen(QPen(Qt::white, 1.2));
    const QPointF centre = face.center();
    p.drawLine(centre, centre - QPointF(0, face.height() * 0.35));
    p.drawLine(centre, centre + QPointF(face.width() * 0.3, 0));
    return pixmap;
}

QPixmap Calendar()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 2.5, 13, 12));
    p.fillRect(QRectF(2, 3, 12.5, 3.5), QColor(200, 40, 40));
    p.setPen(QColor(60, 60, 60));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawPoint(4 + col * 4, 9 + row * 3);
    return pixmap;
}

QPixmap KeyImage(bool selected)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (selected) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 244, 170));
        p.drawEllipse(QRectF(0, 2, 11, 11));
        DrawKey(p, QColor(250, 190, 30), QColor(150, 90, 0));
    } else {
        DrawKey(p, QColor(200, 170, 90), QColor(110, 85, 30));
    }
    p.end();
    return pixmap;
}

constexpr int ImageCount = 10;

QPixmap MakeImage(int index)
{
    switch (index) {
    case 0: return KeyImage(false);
    case 1: return KeyImage(true);
    case 2: return Tile(QColor(40, 140, 60), QStringLiteral("✓"), 12);   // Boolean
    case 3: return Tile(QColor(170, 120, 20), QStringLiteral("$"), 11);   // Currency
    case 4: return Calendar();                                            // Date
    case 5: return Clock(QColor(50, 90, 180), true);                      // DateTime
    case 6: return Tile(QColor(120, 60, 160), QStringLiteral(".5"), 9);   // Float
    case 7: return Tile(QColor(30, 110, 170), QStringLiteral("12"), 9);   // Integer
    case 8: return Tile(QColor(170, 50, 50), QStringLiteral("ab"), 9);    // String
    default: return Clock(QColor(50, 90, 180), false);                    // 9 Time
    }
}

// Each image is drawn on its first use: a new project shows only the keys, and the tiles' marks
// (the check mark comes from a fallback font) cost more than the rest of the registry page.
// Kept as images: a static pixmap would outlive the application object.
const QImage& Image(int index)
{
    static QList<QImage> images(ImageCount);
    QImage& image = images[index];
    if (image.isNull())
        image = MakeImage(index).toImage();
    return image;
}

}  // namespace

QPixmap RegistryImage(int index)
{
    return index >= 0 && index < ImageCount ? QPixmap::fromImage(Image(index)) : QPixmap();
}

QIcon KeyIcon(bool belowRoot)
{
    QIcon icon;
    icon.addPixmap(RegistryImage(0), QIcon::Normal);
    // Without a pixmap of its own a selected root would show a tinted key rather than image 0.
    icon.addPixmap(RegistryImage(belowRoot ? 1 : 0), QIcon::Selected);
    return icon;
}

QIcon ValueIcon(int code)
{
    QIcon icon;
    icon.addPixmap(RegistryImage(code), QIcon::Normal);
    icon.addPixmap(RegistryImage(code), QIcon::Selected);
    return icon;
}
