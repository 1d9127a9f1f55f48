#include "Style.h"
#include <QGroupBox>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>
#include <qdrawutil.h>

namespace {

// Fusion's group-box frame as a nine-part picture: 6-pixel corners around a one-pixel middle, which
// drawing stretches exactly as it stretches the uniform middle of Fusion's own picture.
constexpr int FrameSide = 13;
constexpr QRgb FramePixels[FrameSide * FrameSide] = {
    0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0x00ffffff,
    0x00ffffff, 0x0d272727, 0x345d5d5d, 0x346c6c6c, 0x32757575, 0x32757575, 0x32757575, 0x32757575, 0x32757575, 0x32757575, 0x346c6c6c, 0x37666666, 0x0c151515,
    0x00ffffff, 0x39626262, 0x1f5a5a5a, 0x0a000000, 0x08000000, 0x07000000, 0x07000000, 0x07000000, 0x07000000, 0x08000000, 0x0a000000, 0x1e5e5e5e, 0x355b5b5b,
    0x00ffffff, 0x346c6c6c, 0x09000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x09000000, 0x346c6c6c,
    0x00ffffff, 0x32757575, 0x08000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x08000000, 0x32757575,
    0x00ffffff, 0x32757575, 0x07000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x07000000, 0x32757575,
    0x00ffffff, 0x32757575, 0x07000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x07000000, 0x32757575,
    0x00ffffff, 0x32757575, 0x07000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x07000000, 0x32757575,
    0x00ffffff, 0x32757575, 0x07000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x07000000, 0x32757575,
    0x00ffffff, 0x32757575, 0x08000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x08000000, 0x32757575,
    0x00ffffff, 0x346c6c6c, 0x09000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x09000000, 0x346c6c6c,
    0x00ffffff, 0x355b5b5b, 0x1e5e5e5e, 0x0a000000, 0x08000000, 0x07000000, 0x07000000, 0x07000000, 0x07000000, 0x08000000, 0x0a000000, 0x1f5a5a5a, 0x39626262,
    0x00ffffff, 0x0c151515, 0x37666666, 0x346c6c6c, 0x32757575, 0x32757575, 0x32757575, 0x32757575, 0x32757575, 0x32757575, 0x346c6c6c, 0x345d5d5d, 0x0d272727,
};
constexpr int FrameCorner = 6;
constexpr int GroupBoxTopMargin = 3;  // Fusion's gap above the frame

const QPixmap& FramePicture()
{
    static const QPixmap picture = QPixmap::fromImage(
        QImage(reinterpret_cast<const uchar*>(FramePixels), FrameSide, FrameSide, FrameSide * int(sizeof(QRgb)),
               QImage::Format_ARGB32));
    return picture;
}

// Two chevrons pointing along the bar: the overflow button's usual sign.
QIcon ExtensionIcon(bool horizontal, const QColor& colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (!horizontal) {
        p.translate(16, 0);
        p.rotate(90);
    }
    for (qreal x : {4.5, 8.5}) {
        const QPointF chevron[] = {{x, 4.5}, {x + 3, 8}, {x, 11.5}};
        p.drawPolyline(chevron, 3);
    }
    p.end();
    return QIcon(pixmap);
}

}  // namespace

ZelvakonStyle::ZelvakonStyle(QStyle* base) : QProxyStyle(base) {}

bool ZelvakonStyle::IsFusion() const
{
    return baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
}

void ZelvakonStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const
{
    if (element != PE_FrameGroupBox || !IsFusion()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // Where Fusion puts the frame: below the title line, or near the top for a box without one.
    int topMargin = GroupBoxTopMargin;
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    if (!box || box->isCheckable() || !box->title().isEmpty())
        topMargin += qMax(pixelMetric(PM_ExclusiveIndicatorHeight, option, widget), option->fontMetrics.height());
    const QRect frame = option->rect.adjusted(0, topMargin, 0, 0);
    qDrawBorderPixmap(painter, frame, QMargins(FrameCorner, FrameCorner, FrameCorner, FrameCorner), FramePicture());
}

QIcon ZelvakonStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    if (IsFusion() && (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton)) {
        const QPalette palette = option ? option->palette : (widget ? widget->palette() : QPalette());
        return ExtensionIcon(icon == SP_ToolBarHorizontalExtensionButton, palette.color(QPalette::ButtonText));
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}
