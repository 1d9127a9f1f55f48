#include "AreaEditor.h"
#include <QTest>
#include <limits>

// Areas are written "L,T,R,B" in the project's order Rozbal, Readme, Konec, separated by blanks.
// Scripts drive the editor as the window does: "m x y" moves the pointer, "L" and "R" press the
// left or another button, "U" releases, "b Rozbal|Readme|Konec" presses an area button.
namespace {

ClickArea ParseArea(const QString& text)
{
    const QStringList v = text.split(QLatin1Char(','));
    return {v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt()};
}

QString AreasText(const AreaEditor& e)
{
    QStringList parts;
    for (const ClickArea& a : e.Areas)
        parts << QStringLiteral("%1,%2,%3,%4").arg(a.Levy).arg(a.Horni).arg(a.Pravy).arg(a.Dolni);
    return parts.join(QLatin1Char(' '));
}

AreaId IdOf(const QString& name)
{
    return name == QLatin1String("Rozbal") ? AreaId::Rozbal
        : name == QLatin1String("Readme")  ? AreaId::Readme
                                           : AreaId::Konec;
}

AreaEditor Start(const QString& areas, int width = 300, int height = 200)
{
    const QStringList a = areas.split(QLatin1Char(' '));
    AreaEditor e;
    e.Activate(width, height, ParseArea(a[0]), ParseArea(a[1]), ParseArea(a[2]));
    return e;
}

void Drive(AreaEditor& e, const QString& script)
{
    for (const QString& step : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList w = step.trimmed().split(QLatin1Char(' '));
        if (w[0] == QLatin1String("m"))
            e.MouseMove(w[1].toInt(), w[2].toInt());
        else if (w[0] == QLatin1String("L"))
            e.MouseDown(PointerButton::Left);
        else if (w[0] == QLatin1String("R"))
            e.MouseDown(PointerButton::Other);
        else if (w[0] == QLatin1String("U"))
            e.MouseUp();
        else if (w[0] == QLatin1String("b"))
            e.SelectArea(IdOf(w[1]));
        else
            qFatal("bad script step");
    }
}

// s solid, o dotted, x dash-dot, d dashed, h hidden; Rozbal, Readme, Konec.
QString StylesText(const AreaEditor& e)
{
    QString out;
    for (FrameStyle s : e.Styles)
        out += QLatin1Char(s == FrameStyle::Solid ? 's'
                           : s == FrameStyle::Dot   ? 'o'
                           : s == FrameStyle::DashDot ? 'x'
                           : s == FrameStyle::Dash    ? 'd'
                                                      : 'h');
    return out;
}

const QString Zero = QStringLiteral("0,0,0,0 0,0,0,0 0,0,0,0");
const QString Small = QStringLiteral("1,1,21,21");

}  // namespace

Q_DECLARE_METATYPE(AreaCursor)
Q_DECLARE_METATYPE(DragMode)

class TestAreaEditor : public QObject {
    Q_OBJECT
private slots:
    void normalizeArea_data();
    void normalizeArea();
    void activation();
    void pointerOperations_data();
    void pointerOperations();
    void cursorZones_data();
    void cursorZones();
    void frameStyles_data();
    void frameStyles();
    void pointerStatus_data();
    void pointerStatus();
    void labelsFollowOnlyAcceptedShapes();
    void movingKeepsTheGrabOffset();
};

void TestAreaEditor::normalizeArea_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zeros get value 1 and the minimum size") << "0,0,0,0" << 300 << 200 << "1,1,21,21";
    QTest::newRow("negatives become 1") << "-5,-7,-1,-2" << 300 << 200 << "1,1,21,21";
    QTest::newRow("right edge on the picture edge") << "10,10,100,50" << 100 << 100 << "10,10,99,50";
    QTest::newRow("bottom beyond the picture") << "10,10,50,150" << 100 << 100 << "10,10,50,99";
    QTest::newRow("minimum wins over the picture edge") << "95,10,150,40" << 100 << 100 << "95,10,115,40";
    QTest::newRow("left beyond the picture is not pulled back") << "150,10,160,40" << 100 << 100 << "150,10,170,40";
    QTest::newRow("valid area unchanged") << "10,20,60,80" << 300 << 200 << "10,20,60,80";
    QTest::newRow("exactly 20 kept") << "10,10,30,30" << 300 << 200 << "10,10,30,30";
    QTest::newRow("19 grows to 20") << "10,10,29,29" << 300 << 200 << "10,10,30,30";
    QTest::newRow("swapped edges are not swapped back") << "80,90,30,40" << 300 << 200 << "80,90,100,110";
    const int max = std::numeric_limits<qint32>::max();
    QTest::newRow("top of the range does not wrap")
        << QStringLiteral("%1,%1,%1,%1").arg(max) << 300 << 200
        << QStringLiteral("%1,%1,%2,%2").arg(max - 20).arg(max);
}

void TestAreaEditor::normalizeArea()
{
    QFETCH(QString, area);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, expected);
    ClickArea a = ParseArea(area);
    AreaEditor::NormalizeArea(a, width, height);
    QCOMPARE(a, ParseArea(expected));
}

void TestAreaEditor::activation()
{
    AreaEditor e;
    e.MouseMove(10, 10);
    e.SelectArea(AreaId::Konec);
    e.Mode = DragMode::Moving;
    e.Activate(600, 400, {}, {}, {});
    QCOMPARE(AreasText(e), Small + QLatin1Char(' ') + Small + QLatin1Char(' ') + Small);
    QCOMPARE(e.ActiveArea, AreaId::Readme);
    QCOMPARE(e.Mode, DragMode::Idle);
    // The three frames coincide; Konec is drawn last and solid, over the dotted Readme.
    QCOMPARE(StylesText(e), QStringLiteral("sos"));
    QVERIFY(AreasSet(e.Area(AreaId::Rozbal), e.Area(AreaId::Readme), e.Area(AreaId::Konec)));
    for (AreaId id : {AreaId::Rozbal, AreaId::Readme, AreaId::Konec})
        QCOMPARE(e.CoordinatesLabel(id), QStringLiteral("[1,1] ; [21,21]"));
    QCOMPARE(e.SizeStatus(), QStringLiteral("Rozměry obrázku:   600x400 bodů"));
}

void TestAreaEditor::pointerOperations_data()
{
    QTest::addColumn<QString>("areas");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("active");
    QTest::addColumn<QString>("expected");

    const QString readme = QStringLiteral("0,0,0,0 50,50,150,150 0,0,0,0");
    const QString far = QStringLiteral("0,0,0,0 150,100,200,150 0,0,0,0");
    QTest::newRow("new project, nothing done") << Zero << 300 << 200 << "" << "Readme"
                                               << "1,1,21,21 1,1,21,21 1,1,21,21";
    QTest::newRow("levy 95 pravy 150 on 100x100 ends at 115")
        << "0,0,0,0 95,10,150,40 0,0,0,0" << 100 << 100 << "" << "Readme" << "1,1,21,21 95,10,115,40 1,1,21,21";
    QTest::newRow("press in the inner band draws anew")
        << readme << 300 << 200 << "m 55 100; L; m 80 130; U" << "Readme" << "1,1,21,21 55,100,80,130 1,1,21,21";
    QTest::newRow("press just inside the move zone moves")
        << readme << 300 << 200 << "m 56 56; L; m 66 76; U" << "Readme" << "1,1,21,21 60,70,160,170 1,1,21,21";
    QTest::newRow("drawing up-left collapses onto the start")
        << far << 300 << 200 << "m 50 50; L; m 45 45; m 30 40; U" << "Readme" << "1,1,21,21 50,50,70,70 1,1,21,21";
    QTest::newRow("drawing through up-left keeps the last corner")
        << far << 300 << 200 << "m 50 50; L; m 80 70; m 40 60; m 120 90; U" << "Readme"
        << "1,1,21,21 50,50,120,90 1,1,21,21";
    QTest::newRow("release left of the start collapses only the right edge")
        << far << 300 << 200 << "m 50 50; L; m 120 90; m 40 60; U" << "Readme" << "1,1,21,21 50,50,70,90 1,1,21,21";
    QTest::newRow("release level with the start keeps the last corner")
        << far << 300 << 200 << "m 50 50; L; m 80 75; m 30 50; U" << "Readme" << "1,1,21,21 50,50,80,75 1,1,21,21";
    QTest::newRow("press and release without moving keeps the area")
        << far << 300 << 200 << "m 50 50; L; U" << "Readme" << "1,1,21,21 150,100,200,150 1,1,21,21";
    QTest::newRow("drawing beyond the picture is clamped at release")
        << far << 300 << 200 << "m 240 160; L; m 400 300; U" << "Readme" << "1,1,21,21 240,160,299,199 1,1,21,21";
    QTest::newRow("press in an overlap selects Rozbal and moves it")
        << "100,100,200,180 50,50,150,150 250,10,290,40" << 300 << 200 << "m 120 120; L; m 130 125; U" << "Rozbal"
        << "110,105,210,185 50,50,150,150 250,10,290,40";
    QTest::newRow("press in all three ends with the last, Konec")
        << "100,100,200,180 50,50,150,150 90,90,170,170" << 300 << 200 << "b Rozbal; m 120 120; L; U" << "Konec"
        << "100,100,200,180 50,50,150,150 90,90,170,170";
    QTest::newRow("press on another area's border does not select it")
        << "100,100,200,180 50,50,150,150 250,10,290,40" << 300 << 200 << "m 100 120; L; m 100 120; U" << "Readme"
        << "100,100,200,180 50,50,150,150 250,10,290,40";
    QTest::newRow("right press selects without an operation")
        << "0,0,0,0 50,50,150,150 200,100,260,160" << 300 << 200 << "m 230 130; R; m 240 140; U" << "Konec"
        << "1,1,21,21 50,50,150,150 200,100,260,160";
    QTest::newRow("right press outside draws nothing")
        << readme << 300 << 200 << "m 10 160; R; m 60 190; U" << "Readme" << "1,1,21,21 50,50,150,150 1,1,21,21";
    QTest::newRow("left edge dragged past the right stops 20 short")
        << readme << 300 << 200 << "m 50 100; L; m 200 100; U" << "Readme" << "1,1,21,21 130,50,150,150 1,1,21,21";
    QTest::newRow("right edge dragged past the left stops 20 beyond")
        << readme << 300 << 200 << "m 150 100; L; m 20 100; U" << "Readme" << "1,1,21,21 50,50,70,150 1,1,21,21";
    QTest::newRow("top edge dragged below the bottom")
        << readme << 300 << 200 << "m 100 50; L; m 100 190; U" << "Readme" << "1,1,21,21 50,130,150,150 1,1,21,21";
    QTest::newRow("bottom edge grabbed two pixels below")
        << readme << 300 << 200 << "m 100 152; L; m 100 170; U" << "Readme" << "1,1,21,21 50,50,150,170 1,1,21,21";
    QTest::newRow("left edge sensed two pixels outside")
        << readme << 300 << 200 << "m 48 100; L; m 30 100; U" << "Readme" << "1,1,21,21 30,50,150,150 1,1,21,21";
    QTest::newRow("three pixels outside the edge draws")
        << readme << 300 << 200 << "m 47 100; L; m 90 140; U" << "Readme" << "1,1,21,21 47,100,90,140 1,1,21,21";
    QTest::newRow("left edge sized beyond the picture")
        << readme << 300 << 200 << "m 50 100; L; m -40 100; U" << "Readme" << "1,1,21,21 1,50,150,150 1,1,21,21";
    QTest::newRow("moving beyond the left edge shrinks at release")
        << readme << 300 << 200 << "m 100 100; L; m 40 100; U" << "Readme" << "1,1,21,21 1,50,90,150 1,1,21,21";
    QTest::newRow("moving beyond the top edge shrinks at release")
        << readme << 300 << 200 << "m 100 100; L; m 100 30; U" << "Readme" << "1,1,21,21 50,1,150,80 1,1,21,21";
    QTest::newRow("moving far up-left shrinks down to the minimum")
        << readme << 300 << 200 << "m 100 100; L; m -200 -200; U" << "Readme" << "1,1,21,21 1,1,21,21 1,1,21,21";
    QTest::newRow("moving beyond the right edge is cut at release")
        << readme << 300 << 200 << "m 100 100; L; m 300 100; U" << "Readme" << "1,1,21,21 250,50,299,150 1,1,21,21";
    QTest::newRow("area button then drawing edits that area")
        << readme << 300 << 200 << "b Konec; m 200 100; L; m 250 160; U" << "Konec"
        << "1,1,21,21 50,50,150,150 200,100,250,160";
}

void TestAreaEditor::pointerOperations()
{
    QFETCH(QString, areas);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, script);
    QFETCH(QString, active);
    QFETCH(QString, expected);
    AreaEditor e = Start(areas, width, height);
    Drive(e, script);
    QCOMPARE(AreasText(e), expected);
    QCOMPARE(e.ActiveArea, IdOf(active));
    QCOMPARE(e.Mode, DragMode::Idle);
    QCOMPARE(StylesText(e), QString(e.ActiveArea == AreaId::Rozbal   ? QStringLiteral("oss")
                                    : e.ActiveArea == AreaId::Readme ? QStringLiteral("sos")
                                                                     : QStringLiteral("sso")));
}

void TestAreaEditor::cursorZones_data()
{
    QTest::addColumn<QString>("script");  // the last step is the movement whose cursor counts
    QTest::addColumn<AreaCursor>("cursor");
    QTest::newRow("six inside the left edge moves") << "m 56 100" << AreaCursor::HandPoint;
    QTest::newRow("five inside the left edge is the inner band") << "m 55 100" << AreaCursor::Default;
    QTest::newRow("three inside the left edge is the inner band") << "m 53 100" << AreaCursor::Default;
    QTest::newRow("two inside the left edge sizes") << "m 52 100" << AreaCursor::SizeWE;
    QTest::newRow("two outside the left edge sizes") << "m 48 100" << AreaCursor::SizeWE;
    QTest::newRow("three outside the left edge is outside") << "m 47 100" << AreaCursor::Default;
    QTest::newRow("on the right edge") << "m 150 100" << AreaCursor::SizeWE;
    QTest::newRow("five inside the right edge is the inner band") << "m 145 100" << AreaCursor::Default;
    QTest::newRow("six inside the right edge moves") << "m 144 144" << AreaCursor::HandPoint;
    QTest::newRow("two above the top edge") << "m 100 48" << AreaCursor::SizeNS;
    QTest::newRow("two below the bottom edge") << "m 100 152" << AreaCursor::SizeNS;
    QTest::newRow("corner has no diagonal sizing") << "m 50 50" << AreaCursor::Default;
    QTest::newRow("near a corner the side edge wins") << "m 51 51" << AreaCursor::SizeWE;
    QTest::newRow("edge zone beside the area's span") << "m 50 160" << AreaCursor::Default;
    QTest::newRow("far outside") << "m 250 20" << AreaCursor::Default;
    QTest::newRow("moving keeps the hand outside") << "m 100 100; L; m 250 20" << AreaCursor::HandPoint;
    QTest::newRow("horizontal sizing keeps its cursor") << "m 50 100; L; m 250 20" << AreaCursor::SizeWE;
    QTest::newRow("vertical sizing keeps its cursor") << "m 100 150; L; m 250 20" << AreaCursor::SizeNS;
    QTest::newRow("drawing leaves the cursor as it was") << "m 10 150; L; m 30 180; m 30 170; m 250 20"
                                                        << AreaCursor::SizeWE;
    QTest::newRow("release brings back the default") << "m 100 100; L; m 250 20; U; m 10 190" << AreaCursor::Default;
}

void TestAreaEditor::cursorZones()
{
    QFETCH(QString, script);
    QFETCH(AreaCursor, cursor);
    AreaEditor e = Start(QStringLiteral("0,0,0,0 50,50,150,150 0,0,0,0"));
    Drive(e, script);
    QCOMPARE(e.Cursor, cursor);
}

void TestAreaEditor::frameStyles_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("styles");
    QTest::addColumn<DragMode>("mode");
    QTest::newRow("idle") << "" << "sos" << DragMode::Idle;
    QTest::newRow("press to move") << "m 100 100; L" << "sxs" << DragMode::Moving;
    QTest::newRow("while moving") << "m 100 100; L; m 110 100" << "sxs" << DragMode::Moving;
    QTest::newRow("press to draw hides the frame") << "m 200 180; L" << "shs" << DragMode::Drawing;
    QTest::newRow("drawing down-right dashed") << "m 200 180; L; m 230 190" << "sds" << DragMode::Drawing;
    QTest::newRow("drawing up-left hidden") << "m 200 180; L; m 230 190; m 190 190" << "shs" << DragMode::Drawing;
    QTest::newRow("press to size") << "m 150 100; L" << "sxs" << DragMode::SizingHorizontal;
    QTest::newRow("while sizing dashed") << "m 150 100; L; m 160 100" << "sds" << DragMode::SizingHorizontal;
    QTest::newRow("vertical sizing dashed") << "m 100 50; L; m 100 60" << "sds" << DragMode::SizingVertical;
    QTest::newRow("release back to idle") << "m 150 100; L; m 160 100; U" << "sos" << DragMode::Idle;
    QTest::newRow("area button") << "b Konec" << "sso" << DragMode::Idle;
    QTest::newRow("right press in two areas selects the last") << "m 10 10; R" << "sso" << DragMode::Idle;
}

void TestAreaEditor::frameStyles()
{
    QFETCH(QString, script);
    QFETCH(QString, styles);
    QFETCH(DragMode, mode);
    AreaEditor e = Start(QStringLiteral("0,0,0,0 50,50,150,150 0,0,0,0"));
    Drive(e, script);
    QCOMPARE(StylesText(e), styles);
    QCOMPARE(e.Mode, mode);
}

void TestAreaEditor::pointerStatus_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("status");
    QTest::newRow("at the picture width") << 300 << 100 << "300:100";
    QTest::newRow("one beyond the width") << 301 << 100 << "";
    QTest::newRow("at the picture height") << 10 << 200 << "10:200";
    QTest::newRow("one beyond the height") << 10 << 201 << "";
    QTest::newRow("left of the picture while dragging") << -5 << 10 << "-5:10";
}

void TestAreaEditor::pointerStatus()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QString, status);
    AreaEditor e = Start(Zero);
    e.MouseMove(x, y);
    QCOMPARE(e.PointerStatus, status);
}

void TestAreaEditor::labelsFollowOnlyAcceptedShapes()
{
    AreaEditor e = Start(QStringLiteral("0,0,0,0 150,100,200,150 0,0,0,0"));
    Drive(e, QStringLiteral("m 50 50; L; m 40 40"));
    // The area has collapsed onto the start, but the label shows it only once a shape is accepted.
    QCOMPARE(e.Area(AreaId::Readme), ClickArea({50, 50, 50, 50}));
    QCOMPARE(e.CoordinatesLabel(AreaId::Readme), QStringLiteral("[150,100] ; [200,150]"));
    Drive(e, QStringLiteral("m 60 70"));
    QCOMPARE(e.CoordinatesLabel(AreaId::Readme), QStringLiteral("[50,50] ; [60,70]"));
    Drive(e, QStringLiteral("U"));
    QCOMPARE(e.CoordinatesLabel(AreaId::Readme), QStringLiteral("[50,50] ; [70,70]"));
    QCOMPARE(e.CoordinatesLabel(AreaId::Rozbal), QStringLiteral("[1,1] ; [21,21]"));
}

void TestAreaEditor::movingKeepsTheGrabOffset()
{
    AreaEditor e = Start(QStringLiteral("0,0,0,0 50,50,150,150 0,0,0,0"));
    e.MouseMove(100, 100);
    e.MouseDown(PointerButton::Left);
    QCOMPARE(e.Mode, DragMode::Moving);
    QCOMPARE(e.GrabOffset, AreaPoint({50, 50}));
    e.MouseMove(90, 120);
    QCOMPARE(e.Area(AreaId::Readme), ClickArea({40, 70, 140, 170}));
    e.MouseUp();
    QCOMPARE(e.Area(AreaId::Readme), ClickArea({40, 70, 140, 170}));
}

QTEST_APPLESS_MAIN(TestAreaEditor)
#include "tst_areaeditor.moc"
