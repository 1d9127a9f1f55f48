#include "AreaEditor.h"
#include <algorithm>
#include <limits>

namespace {

constexpr qint32 MinSize = 20;

// Pointer positions outside the picture and odd values from a project file are used as they come;
// the arithmetic is done wide and saturated so that no value wraps around.
qint32 Sat(qint64 value)
{
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

// Within the two pixels either side of an edge, where the pointer grabs it.
bool Near(qint64 edge, qint64 at) { return edge - 2 <= at && at <= edge + 2; }

QString CoordinatesText(const ClickArea& a)
{
    return QStringLiteral("[%1,%2] ; [%3,%4]").arg(a.Levy).arg(a.Horni).arg(a.Pravy).arg(a.Dolni);
}

}  // namespace

void AreaEditor::Activate(qint32 pictureWidth, qint32 pictureHeight, const ClickArea& rozbal, const ClickArea& readme,
                          const ClickArea& konec)
{
    PictureWidth = pictureWidth;
    PictureHeight = pictureHeight;
    Areas = {rozbal, readme, konec};
    Mode = DragMode::Idle;
    ActiveArea = AreaId::Readme;
    NormalizeAreas();
    DrawFrames();
}

void AreaEditor::NormalizeArea(ClickArea& a, qint32 pictureWidth, qint32 pictureHeight)
{
    for (qint32* v : {&a.Levy, &a.Horni, &a.Pravy, &a.Dolni})
        if (*v < 1)
            *v = 1;
    if (a.Pravy >= pictureWidth)
        a.Pravy = Sat(qint64(pictureWidth) - 1);
    if (a.Dolni >= pictureHeight)
        a.Dolni = Sat(qint64(pictureHeight) - 1);
    // The minimum size wins over the picture edge. Only a hand-edited project file gets near the top
    // of the range; there the left or top edge gives way so that the minimum still fits.
    const qint32 maxStart = std::numeric_limits<qint32>::max() - MinSize;
    a.Levy = qMin(a.Levy, maxStart);
    a.Horni = qMin(a.Horni, maxStart);
    if (a.Pravy < a.Levy + MinSize)
        a.Pravy = a.Levy + MinSize;
    if (a.Dolni < a.Horni + MinSize)
        a.Dolni = a.Horni + MinSize;
}

void AreaEditor::NormalizeAreas()
{
    for (ClickArea& area : Areas)
        NormalizeArea(area, PictureWidth, PictureHeight);
    ShowAreaCoordinates();
}

void AreaEditor::ShowAreaCoordinates()
{
    for (std::size_t i = 0; i < Areas.size(); ++i)
        Coordinates[i] = CoordinatesText(Areas[i]);
}

QString AreaEditor::SizeStatus() const
{
    return QStringLiteral("Rozměry obrázku:   %1x%2 bodů").arg(PictureWidth).arg(PictureHeight);
}

void AreaEditor::DrawFrames()
{
    for (AreaId id : {AreaId::Rozbal, AreaId::Readme, AreaId::Konec})
        Styles[std::size_t(id)] = id == ActiveArea ? FrameStyle::Dot : FrameStyle::Solid;
}

void AreaEditor::SelectArea(AreaId id)
{
    ActiveArea = id;
    DrawFrames();
}

void AreaEditor::ChooseCursor()
{
    const qint64 x = PointerPos.X;
    const qint64 y = PointerPos.Y;
    const ClickArea& a = Active();
    const qint64 l = a.Levy, t = a.Horni, r = a.Pravy, b = a.Dolni;
    if (l + 5 < x && x < r - 5 && t + 5 < y && y < b - 5) {
        Cursor = AreaCursor::HandPoint;
    } else if ((Near(l, x) || Near(r, x)) && t < y && y < b) {
        Cursor = AreaCursor::SizeWE;
    } else if ((Near(t, y) || Near(b, y)) && l < x && x < r) {
        Cursor = AreaCursor::SizeNS;
    } else {
        switch (Mode) {
        case DragMode::Idle: Cursor = AreaCursor::Default; break;
        case DragMode::Moving: Cursor = AreaCursor::HandPoint; break;
        case DragMode::SizingHorizontal: Cursor = AreaCursor::SizeWE; break;
        case DragMode::SizingVertical: Cursor = AreaCursor::SizeNS; break;
        case DragMode::Drawing: break;  // the cursor stays as it is while drawing
        }
    }
}

void AreaEditor::SelectAreaAt()
{
    // In this order; when the point lies in several areas the last of them ends up active.
    for (AreaId id : {AreaId::Readme, AreaId::Rozbal, AreaId::Konec}) {
        if (Area(id).Contains(PointerPos.X, PointerPos.Y) && id != ActiveArea) {
            SelectArea(id);
            Cursor = AreaCursor::HandPoint;
        }
    }
}

void AreaEditor::MouseMove(qint32 x, qint32 y)
{
    PointerPos = {x, y};
    PointerStatus = (x <= PictureWidth && y <= PictureHeight) ? QStringLiteral("%1:%2").arg(x).arg(y) : QString();
    ChooseCursor();
    ClickArea& a = Active();
    FrameStyle& style = Styles[std::size_t(ActiveArea)];
    switch (Mode) {
    case DragMode::Moving: {
        const qint64 width = qint64(a.Pravy) - a.Levy;
        const qint64 height = qint64(a.Dolni) - a.Horni;
        a.Levy = Sat(qint64(x) - GrabOffset.X);
        a.Horni = Sat(qint64(y) - GrabOffset.Y);
        a.Pravy = Sat(a.Levy + width);
        a.Dolni = Sat(a.Horni + height);
        style = FrameStyle::DashDot;
        ShowAreaCoordinates();
        break;
    }
    case DragMode::Drawing:
        if (x > DrawStart.X && y > DrawStart.Y) {
            DrawEnd = {x, y};
            a = {DrawStart.X, DrawStart.Y, x, y};
            style = FrameStyle::Dash;
            ShowAreaCoordinates();
        } else {
            // Only towards the lower right of the start; the frame hides while the pointer is elsewhere.
            a = {DrawStart.X, DrawStart.Y, DrawEnd.X, DrawEnd.Y};
            style = FrameStyle::Hidden;
        }
        break;
    case DragMode::SizingHorizontal:
        if (Edge == GrabbedEdge::Left)
            a.Levy = x < a.Pravy ? x : Sat(qint64(a.Pravy) - MinSize);
        else
            a.Pravy = x > a.Levy ? x : Sat(qint64(a.Levy) + MinSize);
        style = FrameStyle::Dash;
        ShowAreaCoordinates();
        break;
    case DragMode::SizingVertical:
        if (Edge == GrabbedEdge::Top)
            a.Horni = y < a.Dolni ? y : Sat(qint64(a.Dolni) - MinSize);
        else
            a.Dolni = y > a.Horni ? y : Sat(qint64(a.Horni) + MinSize);
        style = FrameStyle::Dash;
        ShowAreaCoordinates();
        break;
    case DragMode::Idle:
        break;
    }
}

void AreaEditor::MouseDown(PointerButton button)
{
    SelectAreaAt();
    if (button != PointerButton::Left)
        return;
    const ClickArea& a = Active();
    switch (Cursor) {
    case AreaCursor::Default:
        Mode = DragMode::Drawing;
        DrawStart = DrawEnd = PointerPos;
        Styles[std::size_t(ActiveArea)] = FrameStyle::Hidden;  // the area keeps its values until the pointer moves
        return;
    case AreaCursor::HandPoint:
        Mode = DragMode::Moving;
        GrabOffset = {Sat(qint64(PointerPos.X) - a.Levy), Sat(qint64(PointerPos.Y) - a.Horni)};
        break;
    case AreaCursor::SizeWE:
        Mode = DragMode::SizingHorizontal;
        Edge = Near(a.Levy, PointerPos.X) ? GrabbedEdge::Left : GrabbedEdge::Right;
        break;
    case AreaCursor::SizeNS:
        Mode = DragMode::SizingVertical;
        Edge = Near(a.Horni, PointerPos.Y) ? GrabbedEdge::Top : GrabbedEdge::Bottom;
        break;
    }
    // A move or a sizing shows the active frame dash-dot over the other two, solid.
    Styles = {FrameStyle::Solid, FrameStyle::Solid, FrameStyle::Solid};
    Styles[std::size_t(ActiveArea)] = FrameStyle::DashDot;
}

void AreaEditor::MouseUp()
{
    if (Mode == DragMode::Drawing && PointerPos.X != DrawStart.X && PointerPos.Y != DrawStart.Y) {
        // A rectangle released above or left of its start collapses onto the start on that side;
        // the normalisation then gives it the minimum size from there.
        ClickArea& a = Active();
        if (PointerPos.X < DrawStart.X)
            a.Pravy = DrawStart.X;
        if (PointerPos.Y < DrawStart.Y)
            a.Dolni = DrawStart.Y;
    }
    Mode = DragMode::Idle;
    NormalizeAreas();
    DrawFrames();
}
