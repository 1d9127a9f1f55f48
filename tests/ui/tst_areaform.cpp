#include "Areadlg.h"
#include "Error.h"
#include "TestEnv.h"
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QtEndian>
#include <QToolButton>

namespace {

const QRgb Backdrop = qRgb(16, 32, 48);

QString Picture(const TestEnv& env, int width, int height, const QString& name = QStringLiteral("titul.bmp"))
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Backdrop);
    const QString path = env.Path(QStringLiteral("Obrazky/") + name);
    image.save(path, "BMP");
    return path;
}

// Pointer events straight to the picture control, as the platform delivers them.
void Send(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::NoButton)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}
void Move(QWidget* w, int x, int y, Qt::MouseButton held = Qt::NoButton) { Send(w, QEvent::MouseMove, {x, y}, held); }
void Press(QWidget* w, int x, int y, Qt::MouseButton b = Qt::LeftButton) { Send(w, QEvent::MouseButtonPress, {x, y}, b); }
void Release(QWidget* w, int x, int y, Qt::MouseButton b = Qt::LeftButton)
{
    Send(w, QEvent::MouseButtonRelease, {x, y}, b);
}

// Longest run of frame-coloured pixels along the top edge of an area, and how many there are.
struct Run {
    int Longest = 0;
    int Count = 0;
};
Run TopEdge(const QImage& image, const ClickArea& a, QRgb color)
{
    Run run;
    int current = 0;
    for (int x = a.Levy; x < a.Pravy; ++x) {
        if (image.pixel(x, a.Horni) == color) {
            ++run.Count;
            run.Longest = qMax(run.Longest, ++current);
        } else {
            current = 0;
        }
    }
    return run;
}

// A modal-window script for the dialogs fake: shows the window, runs the checks, and cancels the
// window unless the checks closed it themselves.
template <typename Form>
std::function<int(QObject*)> Modal(std::function<void(Form*)> body)
{
    return [body](QObject* window) {
        auto* form = qobject_cast<Form*>(window);
        form->show();
        body(form);
        if (form->isVisible())
            form->reject();
        return form->result();
    };
}

}  // namespace

class TestAreaForm : public QObject {
    Q_OBJECT
private slots:
    void windowLayout();
    void newProjectOkStoresSmallAreasAsAChange();
    void cancelAndCloseBoxLeaveTheProject_data();
    void cancelAndCloseBoxLeaveTheProject();
    void pointerEventsDriveTheEditor();
    void framesOnThePicture_data();
    void framesOnThePicture();
    void colourButtonAndHelp();
    void largePictureScrolls();
    void pictureRefusedBeforeOpening_data();
    void pictureRefusedBeforeOpening();
    void previewWindow();
    void previewInsideRuleOnBorders_data();
    void previewInsideRuleOnBorders();
    void previewUsesStoredAreas();
};

void TestAreaForm::windowLayout()
{
    TestEnv env;
    TMainForm* main = env.Start();
    TAreaForm* form = main->Windows.AreaForm;
    QCOMPARE(form->windowTitle(), QStringLiteral("Nastavení klikacích ploch"));
    QCOMPARE(form->size(), QSize(456, 386));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QCOMPARE(form->ScrollBox1->size(), QSize(449, 265));
    QCOMPARE(form->NfoBtn->text(), QStringLiteral("Nfo"));
    QCOMPARE(form->NfoBtn->toolTip(), QStringLiteral("Nastavit plochu \"Nfo\""));
    QCOMPARE(form->ExtrBtn->toolTip(), QStringLiteral("Nastavit plochu \"Rozbalit\""));
    QCOMPARE(form->QuitBtn->toolTip(), QStringLiteral("Nastavit plochu \"Konec\""));
    QCOMPARE(form->ToolButton5->toolTip(), QStringLiteral("Nápověda"));
    QCOMPARE(form->Label4->text(), QStringLiteral("Barva rámečků:"));
    QCOMPARE(form->ColorShape->size(), QSize(15, 15));
    QCOMPARE(form->ColorBtn->text(), QStringLiteral(">>"));
    QCOMPARE(form->Label1->text(), QStringLiteral("Plocha \"Nfo\""));
    QCOMPARE(form->Label2->text(), QStringLiteral("Plocha \"Rozbalit\""));
    QCOMPARE(form->Label3->text(), QStringLiteral("Plocha \"Konec\""));
    QCOMPARE(form->OkBtn->text(), QStringLiteral("&OK"));
    QVERIFY(form->OkBtn->isDefault());
    QCOMPARE(form->CancelBtn->text(), QStringLiteral("&Zrušit"));
    QCOMPARE(form->StatusPanel0->width(), 200);
    QCOMPARE(form->StatusPanel1->width(), 200);
    // Nothing overlaps or leaves the window: every caption is readable.
    for (QWidget* w : std::initializer_list<QWidget*>{form->ToolBar1, form->ScrollBox1, form->OkBtn, form->CancelBtn,
                                                       form->StatusBar})
        QVERIFY2(form->rect().contains(w->geometry()), w->objectName().toLatin1());
    for (QLabel* caption : {form->Label1, form->Label2, form->Label3})
        QVERIFY(caption->width() >= caption->sizeHint().width());
    QVERIFY(!form->Label1->geometry().intersects(form->NfoLabel->geometry()));
    QVERIFY(form->ColorBtn->parentWidget()->geometry().right() < form->width());
}

void TestAreaForm::newProjectOkStoresSmallAreasAsAChange()
{
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).SkinEdit->setText(Picture(env, 300, 200));
    main->Modified = false;
    env.Dlg.ModalScripts.push_back(Modal<TAreaForm>([](TAreaForm* form) {
        // Konec lies solid over the dotted Readme; the labels show the normalised areas.
        QCOMPARE(form->NfoLabel->text(), QStringLiteral("[1,1] ; [21,21]"));
        QCOMPARE(form->QuitLabel->text(), QStringLiteral("[1,1] ; [21,21]"));
        QCOMPARE(form->StatusPanel0->text(), QStringLiteral("Rozměry obrázku:   300x200 bodů"));
        QVERIFY(form->NfoBtn->isChecked());
        QCOMPARE(form->Label1->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(form->Label2->palette().color(QPalette::WindowText), QColor(0, 0, 0));
        QTest::mouseClick(form->OkBtn, Qt::LeftButton);
    }));
    Ui(main).SetBtn->click();
    QVERIFY(env.Dlg.Unexpected.isEmpty());
    QCOMPARE(env.Dlg.ModalCalls.size(), 1);
    for (const ClickArea& a : {main->Media()->Rozbal, main->Media()->Readme, main->Media()->Konec})
        QCOMPARE(a, ClickArea({1, 1, 21, 21}));
    // Changed areas are a change of the project: closing asks before they are lost.
    QVERIFY(main->Modified);
    env.Dlg.Answers.push_back(MsgAnswer::Cancel);
    QVERIFY(!main->FormCloseQuery());
    QCOMPARE(env.Dlg.Messages.size(), 1);
}

void TestAreaForm::cancelAndCloseBoxLeaveTheProject_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancel button") << "cancel";
    QTest::newRow("escape") << "escape";
    QTest::newRow("close box") << "close";
}

void TestAreaForm::cancelAndCloseBoxLeaveTheProject()
{
    QFETCH(QString, how);
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).SkinEdit->setText(Picture(env, 300, 200));
    main->Media()->Readme = {0, 5, 80, 0};  // not normalised: the editor's copy is, the project is not
    main->Modified = false;
    env.Dlg.ModalScripts.push_back(Modal<TAreaForm>([how](TAreaForm* form) {
        Move(form->Image, 100, 100);
        Press(form->Image, 100, 100);
        Move(form->Image, 150, 160, Qt::LeftButton);
        Release(form->Image, 150, 160);
        QCOMPARE(form->Editor.Area(AreaId::Readme), ClickArea({100, 100, 150, 160}));
        if (how == QLatin1String("cancel"))
            QTest::mouseClick(form->CancelBtn, Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(form, Qt::Key_Escape);
        else
            form->close();
    }));
    Ui(main).SetBtn->click();
    QCOMPARE(main->Media()->Readme, ClickArea({0, 5, 80, 0}));
    QCOMPARE(main->Media()->Rozbal, ClickArea());
    QCOMPARE(main->Media()->Konec, ClickArea());
    QVERIFY(!main->Modified);
    QVERIFY(!main->Windows.AreaForm->isVisible());
}

void TestAreaForm::pointerEventsDriveTheEditor()
{
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).SkinEdit->setText(Picture(env, 300, 200));
    main->Media()->Rozbal = {100, 100, 200, 180};
    main->Media()->Readme = {50, 50, 150, 150};
    main->Media()->Konec = {220, 20, 280, 60};
    env.Dlg.ModalScripts.push_back(Modal<TAreaForm>([](TAreaForm* form) {
        QWidget* image = form->Image;
        // The cursor zones of the active area, Readme, and the pointer status.
        Move(image, 60, 60);
        QCOMPARE(image->cursor().shape(), Qt::PointingHandCursor);
        Move(image, 150, 100);
        QCOMPARE(image->cursor().shape(), Qt::SizeHorCursor);
        Move(image, 100, 152);
        QCOMPARE(image->cursor().shape(), Qt::SizeVerCursor);
        Move(image, 20, 190);
        QCOMPARE(image->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(form->StatusPanel1->text(), QStringLiteral("20:190"));
        Move(image, 301, 10);
        QCOMPARE(form->StatusPanel1->text(), QString());

        // A press reported elsewhere works where the pointer last moved: in the overlap, so Rozbal
        // is selected and moved.
        Move(image, 120, 120);
        Press(image, 10, 190);
        QVERIFY(form->ExtrBtn->isChecked());
        QCOMPARE(form->Label2->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(form->Label1->palette().color(QPalette::WindowText), QColor(0, 0, 0));
        Move(image, 130, 125, Qt::LeftButton);
        QCOMPARE(form->ExtrLabel->text(), QStringLiteral("[110,105] ; [210,185]"));
        Release(image, 130, 125);

        // The Konec button, then a drawing beyond the picture, cut back at the release.
        QTest::mouseClick(form->QuitBtn, Qt::LeftButton);
        QCOMPARE(form->Editor.ActiveArea, AreaId::Konec);
        QCOMPARE(form->Label3->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        Move(image, 10, 150);
        Press(image, 10, 150);
        Move(image, 400, 300, Qt::LeftButton);
        QCOMPARE(form->QuitLabel->text(), QStringLiteral("[10,150] ; [400,300]"));
        QCOMPARE(form->StatusPanel1->text(), QString());
        Release(image, 400, 300);
        QCOMPARE(form->QuitLabel->text(), QStringLiteral("[10,150] ; [299,199]"));

        // A right press in Readme selects it and starts nothing.
        Move(image, 60, 60);
        Press(image, 60, 60, Qt::RightButton);
        QVERIFY(form->NfoBtn->isChecked());
        Move(image, 90, 90, Qt::RightButton);
        Release(image, 90, 90, Qt::RightButton);
        QCOMPARE(form->NfoLabel->text(), QStringLiteral("[50,50] ; [150,150]"));
        QTest::mouseClick(form->OkBtn, Qt::LeftButton);
    }));
    Ui(main).SetBtn->click();
    QVERIFY(env.Dlg.Unexpected.isEmpty());
    QCOMPARE(main->Media()->Rozbal, ClickArea({110, 105, 210, 185}));
    QCOMPARE(main->Media()->Readme, ClickArea({50, 50, 150, 150}));
    QCOMPARE(main->Media()->Konec, ClickArea({10, 150, 299, 199}));
}

void TestAreaForm::framesOnThePicture_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("shortest");  // bounds of the longest run on Readme's top edge
    QTest::addColumn<int>("longest");
    QTest::newRow("idle: active dotted") << "" << 2 << 4;
    QTest::newRow("press to move: dash-dot") << "move" << 8 << 10;
    QTest::newRow("sizing: dashed") << "size" << 17 << 19;
    QTest::newRow("drawing up-left: hidden") << "hide" << 0 << 0;
    QTest::newRow("other area active: solid") << "other" << 100 << 100;
}

void TestAreaForm::framesOnThePicture()
{
    QFETCH(QString, step);
    QFETCH(int, shortest);
    QFETCH(int, longest);
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).SkinEdit->setText(Picture(env, 300, 200));
    main->Media()->Rozbal = {200, 20, 280, 80};
    main->Media()->Readme = {50, 50, 150, 150};
    main->Media()->Konec = {200, 120, 260, 180};
    env.Dlg.ModalScripts.push_back(Modal<TAreaForm>([&](TAreaForm* form) {
        QWidget* image = form->Image;
        if (step == QLatin1String("move")) {
            Move(image, 100, 100);
            Press(image, 100, 100);
        } else if (step == QLatin1String("size")) {
            Move(image, 100, 152);
            Press(image, 100, 152);
            Move(image, 100, 160, Qt::LeftButton);
        } else if (step == QLatin1String("hide")) {
            Move(image, 20, 190);
            Press(image, 20, 190);
            Move(image, 10, 180, Qt::LeftButton);
            form->Editor.Area(AreaId::Readme) = {50, 50, 150, 150};  // look where the frame was
        } else if (step == QLatin1String("other")) {
            QTest::mouseClick(form->QuitBtn, Qt::LeftButton);
        }
        const QImage shot = image->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb white = qRgb(255, 255, 255);
        const ClickArea readme = form->Editor.Area(AreaId::Readme);
        const Run top = TopEdge(shot, readme, white);
        if (top.Longest < shortest || top.Longest > longest)
            qWarning() << "longest run" << top.Longest;
        QVERIFY(top.Longest >= shortest && top.Longest <= longest);
        // Rozbal is solid all along; the frame covers Levy..Pravy-1 and Horni..Dolni-1 only.
        const ClickArea rozbal = form->Editor.Area(AreaId::Rozbal);
        QCOMPARE(TopEdge(shot, rozbal, white).Count, rozbal.Pravy - rozbal.Levy);
        QCOMPARE(shot.pixel(rozbal.Pravy - 1, rozbal.Horni + 10), white);
        QCOMPARE(shot.pixel(rozbal.Pravy, rozbal.Horni + 10), Backdrop);
        QCOMPARE(shot.pixel(rozbal.Levy + 10, rozbal.Dolni - 1), white);
        QCOMPARE(shot.pixel(rozbal.Levy + 10, rozbal.Dolni), Backdrop);
        QCOMPARE(shot.pixel(rozbal.Levy + 10, rozbal.Horni + 10), Backdrop);  // outlines only
    }));
    Ui(main).SetBtn->click();
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestAreaForm::colourButtonAndHelp()
{
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).SkinEdit->setText(Picture(env, 300, 200));
    main->Media()->Readme = {50, 50, 150, 150};
    env.Dlg.ColorAnswers.push_back(std::nullopt);
    env.Dlg.ColorAnswers.push_back(0xFF0000u);
    env.Dlg.ModalScripts.push_back(Modal<TAreaForm>([&](TAreaForm* form) {
        QCOMPARE(form->FrameColor, 0xFFFFFFu);
        QTest::mouseClick(form->ColorBtn, Qt::LeftButton);  // cancelled
        QCOMPARE(form->FrameColor, 0xFFFFFFu);
        QTest::mouseClick(form->ColorBtn, Qt::LeftButton);
        QCOMPARE(form->FrameColor, 0xFF0000u);
        QCOMPARE(form->ColorShape->palette().color(QPalette::Window), QColor(255, 0, 0));
        const QImage shot = form->Image->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const ClickArea readme = form->Editor.Area(AreaId::Readme);
        QVERIFY(TopEdge(shot, readme, qRgb(255, 0, 0)).Count > 30);
        QCOMPARE(TopEdge(shot, readme, qRgb(255, 255, 255)).Count, 0);
        QTest::mouseClick(form->ToolButton5, Qt::LeftButton);
        QCOMPARE(env.Help.Calls, QStringList(main->HelpFile + QStringLiteral("#NastKlikPloch")));
    }));
    // The colour outlives the opening.
    env.Dlg.ModalScripts.push_back(Modal<TAreaForm>([](TAreaForm* form) {
        const QImage shot = form->Image->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.pixel(1, 1), qRgb(255, 0, 0));
    }));
    Ui(main).SetBtn->click();
    Ui(main).SetBtn->click();
    QVERIFY(env.Dlg.Unexpected.isEmpty());
    QCOMPARE(main->Windows.AreaForm->FrameColor, 0xFF0000u);
}

void TestAreaForm::largePictureScrolls()
{
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).SkinEdit->setText(Picture(env, 600, 400));
    env.Dlg.ModalScripts.push_back(Modal<TAreaForm>([](TAreaForm* form) {
        QCOMPARE(form->Image->size(), QSize(600, 400));
        QCOMPARE(form->Image->pos(), QPoint(0, 0));
        QVERIFY(form->ScrollBox1->horizontalScrollBar()->maximum() > 0);
        QVERIFY(form->ScrollBox1->verticalScrollBar()->maximum() > 0);
        QCOMPARE(form->size(), QSize(456, 386));
        QCOMPARE(form->StatusPanel0->text(), QStringLiteral("Rozměry obrázku:   600x400 bodů"));
    }));
    Ui(main).SetBtn->click();
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestAreaForm::pictureRefusedBeforeOpening_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("message");  // empty: an error, shown by the general error report
    QTest::newRow("not .bmp") << "titul.png" << 300 << 200 << "Soubor s bitmapou musí mít příponu .bmp.";
    QTest::newRow("too large") << "velky.bmp" << 601 << 400 << "Bitmapa nemůže být větší než 600x400 bodů.";
    QTest::newRow("too small") << "maly.bmp" << 100 << 99 << "Bitmapa nemůže být menší než 100x100 bodů.";
    QTest::newRow("missing file") << "chybi.bmp" << 0 << 0 << "";
    QTest::newRow("size right but no bitmap") << "text.bmp" << -1 << -1 << "";
    // Shown as it stands, the missing rows would be leftovers of earlier pictures.
    QTest::newRow("pixel rows cut short") << "kratky.bmp" << -2 << -2 << "";
}

void TestAreaForm::pictureRefusedBeforeOpening()
{
    QFETCH(QString, name);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, message);
    TestEnv env;
    TMainForm* main = env.Start();
    QString path = env.Path(QStringLiteral("Obrazky/") + name);
    if (width > 0) {
        path = Picture(env, width, height, name);
    } else if (width == -2) {
        const QByteArray whole = ReadBytes(Picture(env, 300, 200, name));
        WriteBytes(path, whole.left(whole.size() - 1000));
    } else if (width < 0) {
        QByteArray bytes(200, 'x');  // a header whose size fields say 300x200, then nothing of use
        qToLittleEndian<qint32>(300, bytes.data() + 18);
        qToLittleEndian<qint32>(200, bytes.data() + 22);
        WriteBytes(path, bytes);
    }
    Ui(main).SkinEdit->setText(path);
    for (QPushButton* button : {Ui(main).SetBtn, Ui(main).PrevBtn}) {
        env.Dlg.Clear();
        button->click();
        // A file that cannot be read ends in the standard error box that names it.
        QCOMPARE(env.Dlg.Messages.size(), 1);
        if (message.isEmpty()) {
            QVERIFY2(env.Dlg.Messages[0].Text.contains(path), qPrintable(env.Dlg.Messages[0].Text));
            QCOMPARE(env.Dlg.Messages[0].Title, QStringLiteral("Zelvakon"));
        } else {
            QCOMPARE(env.Dlg.Messages[0].Text, message);
            QCOMPARE(env.Dlg.Messages[0].Title, QStringLiteral("Chyba"));
        }
        QCOMPARE(env.Dlg.Messages[0].Icon, MsgIcon::Error);
        QCOMPARE(env.Dlg.Messages[0].Buttons, MsgButtons::Ok);
        QVERIFY(env.Dlg.ModalCalls.isEmpty());
    }
    if (width == -2) {  // refused when chosen, too
        Ui(main).SkinEdit->clear();
        env.Dlg.Clear();
        env.Dlg.OpenAnswers.push_back(path);
        Ui(main).SkinBtn->click();
        QCOMPARE(env.Dlg.Messages.size(), 1);
        QVERIFY2(env.Dlg.Messages[0].Text.contains(path), qPrintable(env.Dlg.Messages[0].Text));
        QCOMPARE(Ui(main).SkinEdit->text(), QString());
    }
}

void TestAreaForm::previewWindow()
{
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).SkinEdit->setText(Picture(env, 300, 200));
    env.Dlg.ModalScripts.push_back(Modal<TPrevForm>([](TPrevForm* form) {
        QCOMPARE(form->windowTitle(), QStringLiteral("Náhled na titulní obrázek"));
        QCOMPARE(form->size(), QSize(300, 200));
        QCOMPARE(form->MainImage->geometry(), QRect(0, 0, 300, 200));
        const QRect screen = form->screen()->geometry();
        const QSize frame = form->frameGeometry().size();
        QCOMPARE(form->frameGeometry().topLeft(), QPoint(screen.x() + (screen.width() - frame.width()) / 2,
                                                         screen.y() + (screen.height() - frame.height()) / 2));
        QCOMPARE(form->MainImage->grab().toImage().pixel(150, 100), Backdrop);
        // A new project's areas are all 0: no hand anywhere.
        for (int x : {0, 1, 50, 299})
            for (int y : {0, 1, 100, 199}) {
                Move(form->MainImage, x, y);
                QCOMPARE(form->MainImage->cursor().shape(), Qt::ArrowCursor);
            }
        form->close();
    }));
    Ui(main).PrevBtn->click();
    QVERIFY(env.Dlg.Unexpected.isEmpty());
    QCOMPARE(env.Dlg.ModalCalls.size(), 1);
    QVERIFY(env.Dlg.Messages.isEmpty());
}

void TestAreaForm::previewInsideRuleOnBorders_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("hand");
    QTest::newRow("on the left border") << 50 << 100 << false;
    QTest::newRow("just inside the left border") << 51 << 100 << true;
    QTest::newRow("on the right border") << 150 << 100 << false;
    QTest::newRow("just inside the right border") << 149 << 100 << true;
    QTest::newRow("on the top border") << 100 << 60 << false;
    QTest::newRow("just inside the top border") << 100 << 61 << true;
    QTest::newRow("on the bottom border") << 100 << 140 << false;
    QTest::newRow("just inside the bottom border") << 100 << 139 << true;
    QTest::newRow("inside Konec") << 250 << 30 << true;
    QTest::newRow("between the areas") << 180 << 30 << false;
}

void TestAreaForm::previewInsideRuleOnBorders()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, hand);
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).SkinEdit->setText(Picture(env, 300, 200));
    main->Media()->Readme = {50, 60, 150, 140};
    main->Media()->Konec = {200, 10, 290, 50};
    env.Dlg.ModalScripts.push_back(Modal<TPrevForm>([&](TPrevForm* form) {
        Move(form->MainImage, 100, 100);  // start on the hand, so that leaving it is seen too
        QCOMPARE(form->MainImage->cursor().shape(), Qt::PointingHandCursor);
        Move(form->MainImage, x, y);
        QCOMPARE(form->MainImage->cursor().shape() == Qt::PointingHandCursor, hand);
        form->close();
    }));
    Ui(main).PrevBtn->click();
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestAreaForm::previewUsesStoredAreas()
{
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).SkinEdit->setText(Picture(env, 300, 200));
    main->Media()->Readme = {50, 60, 150, 140};
    // The editor's working copy is moved, then cancelled: the preview shows what the project holds.
    env.Dlg.ModalScripts.push_back(Modal<TAreaForm>([](TAreaForm* form) {
        Move(form->Image, 100, 100);
        Press(form->Image, 100, 100);
        Move(form->Image, 200, 100, Qt::LeftButton);
        Release(form->Image, 200, 100);
    }));
    env.Dlg.ModalScripts.push_back(Modal<TPrevForm>([main](TPrevForm* form) {
        main->Media()->Readme = {};  // taken at the activation; later changes do not count
        Move(form->MainImage, 100, 100);
        QCOMPARE(form->MainImage->cursor().shape(), Qt::PointingHandCursor);
        Move(form->MainImage, 180, 100);
        QCOMPARE(form->MainImage->cursor().shape(), Qt::ArrowCursor);
        form->close();
    }));
    Ui(main).SetBtn->click();
    Ui(main).PrevBtn->click();
    QVERIFY(env.Dlg.Unexpected.isEmpty());
    QCOMPARE(env.Dlg.ModalCalls.size(), 2);
}

QTEST_MAIN(TestAreaForm)
#include "tst_areaform.moc"
