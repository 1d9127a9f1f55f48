#pragma once
#include "ClickArea.h"
#include <QString>
#include <array>

// The click-area editor's rules, free of widgets: the window feeds it pointer events in picture
// pixels and shows what it says (frames, cursor, labels, status).

// The three areas, indexed in the project's order.
enum class AreaId { Rozbal = 0, Readme = 1, Konec = 2 };
enum class DragMode { Idle, Drawing, Moving, SizingHorizontal, SizingVertical };
enum class GrabbedEdge { Left, Right, Top, Bottom };
enum class AreaCursor { Default, HandPoint, SizeWE, SizeNS };
// How a frame is drawn: dotted, solid, dash-dot, dashed, or not at all (erased).
enum class FrameStyle { Hidden, Dot, Solid, DashDot, Dash };
enum class PointerButton { Left, Other };

struct AreaPoint {
    qint32 X = 0;
    qint32 Y = 0;
    friend bool operator==(const AreaPoint&, const AreaPoint&) = default;
};

class AreaEditor {
public:
    // Activation: working copies of the project's areas, Readme active, Idle, normalised, Idle styles.
    void Activate(qint32 pictureWidth, qint32 pictureHeight, const ClickArea& rozbal, const ClickArea& readme,
                  const ClickArea& konec);

    void MouseMove(qint32 x, qint32 y);
    void MouseDown(PointerButton button);  // works on PointerPos, not on where the press happened
    void MouseUp();                        // any button ends the operation
    void SelectArea(AreaId id);            // an area button pressed

    void NormalizeAreas();
    void ShowAreaCoordinates();
    void DrawFrames();  // all three frames with the Idle styles
    void SelectAreaAt();
    void ChooseCursor();

    ClickArea& Area(AreaId id) { return Areas[std::size_t(id)]; }
    const ClickArea& Area(AreaId id) const { return Areas[std::size_t(id)]; }
    ClickArea& Active() { return Area(ActiveArea); }
    FrameStyle Style(AreaId id) const { return Styles[std::size_t(id)]; }
    const QString& CoordinatesLabel(AreaId id) const { return Coordinates[std::size_t(id)]; }
    QString SizeStatus() const;  // status panel 0

    static void NormalizeArea(ClickArea& area, qint32 pictureWidth, qint32 pictureHeight);

    qint32 PictureWidth = 0;
    qint32 PictureHeight = 0;
    std::array<ClickArea, 3> Areas;
    AreaId ActiveArea = AreaId::Readme;
    DragMode Mode = DragMode::Idle;
    GrabbedEdge Edge = GrabbedEdge::Left;
    AreaPoint PointerPos;
    AreaPoint DrawStart;
    AreaPoint DrawEnd;
    AreaPoint GrabOffset;
    AreaCursor Cursor = AreaCursor::Default;
    std::array<FrameStyle, 3> Styles{FrameStyle::Solid, FrameStyle::Dot, FrameStyle::Solid};
    std::array<QString, 3> Coordinates;  // what the coordinates labels show; refreshed by ShowAreaCoordinates
    QString PointerStatus;               // status panel 1
};
