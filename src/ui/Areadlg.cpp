#include "Areadlg.h"
#include "Controls.h"
#include "Dialogs.h"
#include "Error.h"
#include "Files.h"
#include "RegularFile.h"
#include <QBuffer>
#include <QButtonGroup>
#include <QFrame>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
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

namespace {

// The program's pen styles: the dash patterns of the system's cosmetic pens.
QPen FramePen(FrameStyle style, QColor color)
{
    QPen pen(color);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (style) {
    case FrameStyle::Dot: pen.setDashPattern({3, 3}); break;
    case FrameStyle::Dash: pen.setDashPattern({18, 6}); break;
    case FrameStyle::DashDot: pen.setDashPattern({9, 6, 3, 6}); break;
    case FrameStyle::Solid:
    case FrameStyle::Hidden: break;
    }
    return pen;
}

Qt::CursorShape CursorShapeOf(AreaCursor cursor)
{
    switch (cursor) {
    case AreaCursor::HandPoint: return Qt::PointingHandCursor;
    case AreaCursor::SizeWE: return Qt::SizeHorCursor;
    case AreaCursor::SizeNS: return Qt::SizeVerCursor;
    case AreaCursor::Default: break;
    }
    return Qt::ArrowCursor;
}

// Centred on its screen, the quotients truncated towards zero as the program always placed it.
void CentreOnItsScreen(QWidget* window)
{
    if (QScreen* screen = window->screen()) {
        const QRect area = screen->geometry();
        const QSize size = window->frameGeometry().size();
        window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
    }
}

}  // namespace

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
    CentreOnItsScreen(this);
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

TAreaImage::TAreaImage(TAreaForm* form, QWidget* parent) : QWidget(parent), Form(form)
{
    setObjectName(QStringLiteral("Image"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TAreaImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, Form->Picture);
    // Drawn in the project's order, so that Konec lies on top where frames overlap.
    const QColor color = QColor::fromRgb(QRgb(Form->FrameColor));
    for (AreaId id : {AreaId::Rozbal, AreaId::Readme, AreaId::Konec}) {
        const FrameStyle style = Form->Editor.Style(id);
        const ClickArea& a = Form->Editor.Area(id);
        const qint64 width = qint64(a.Pravy) - a.Levy;
        const qint64 height = qint64(a.Dolni) - a.Horni;
        if (style == FrameStyle::Hidden || width <= 0 || height <= 0 || width > 1 << 20 || height > 1 << 20)
            continue;
        painter.setPen(FramePen(style, color));
        // The outline covers columns Levy to Pravy - 1 and rows Horni to Dolni - 1.
        painter.drawRect(QRect(a.Levy, a.Horni, int(width) - 1, int(height) - 1));
    }
}

void TAreaImage::mouseMoveEvent(QMouseEvent* event)
{
    Form->ImageMouseMove(qFloor(event->position().x()), qFloor(event->position().y()));
}

void TAreaImage::mousePressEvent(QMouseEvent* event) { Form->ImageMouseDown(event->button()); }

void TAreaImage::mouseReleaseEvent(QMouseEvent*) { Form->ImageMouseUp(); }

TAreaForm::TAreaForm(Dialogs* dialogs, std::function<void()> showHelp, QWidget* parent)
    : QDialog(parent), Dlg(dialogs), ShowHelp(std::move(showHelp))
{
    SetUpDialog(this, "AreaForm", 456, 386, Qt::CustomizeWindowHint);
    setWindowTitle(QStringLiteral("Nastavení klikacích ploch"));
    // Modal to the main window only, so that the help window stays usable beside the editor.
    setWindowModality(Qt::WindowModal);

    ToolBar1 = Make<QWidget>(this, "ToolBar1", 0, 0, 456, 29);
    int x = 4;
    auto toolButton = [this, &x](const char* name, const QString& caption, const QString& hint) {
        auto* button = new QToolButton(ToolBar1);
        button->setObjectName(QLatin1String(name));
        button->setText(caption);
        button->setToolTip(hint);
        button->setStatusTip(hint);
        button->setAutoRaise(true);
        const int width = qMax(button->sizeHint().width() + 8, 23);
        button->setGeometry(x, 3, width, 23);
        x += width;
        return button;
    };
    NfoBtn = toolButton("NfoBtn", QStringLiteral("Nfo"), QStringLiteral("Nastavit plochu \"Nfo\""));
    ExtrBtn = toolButton("ExtrBtn", QStringLiteral("Rozbalit"), QStringLiteral("Nastavit plochu \"Rozbalit\""));
    QuitBtn = toolButton("QuitBtn", QStringLiteral("Konec"), QStringLiteral("Nastavit plochu \"Konec\""));
    auto* areaButtons = new QButtonGroup(this);
    for (QToolButton* button : {NfoBtn, ExtrBtn, QuitBtn}) {
        button->setCheckable(true);
        areaButtons->addButton(button);
        connect(button, &QToolButton::clicked, this, &TAreaForm::NfoBtnClick);
    }
    NfoBtn->setChecked(true);
    Make<QFrame>(ToolBar1, "ToolButton4", x + 3, 4, 2, 21)->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    x += 8;
    ToolButton5 = toolButton("ToolButton5", QStringLiteral("?"), QStringLiteral("Nápověda"));
    ToolButton5->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    ToolButton5->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolButton5->setGeometry(ToolButton5->x(), 3, 23, 23);
    x = ToolButton5->x() + 23 + 12;
    connect(ToolButton5, &QToolButton::clicked, this, &TAreaForm::ToolButton5Click);

    auto* panel = new QWidget(ToolBar1);
    panel->setObjectName(QStringLiteral("Panel1"));
    Label4 = Label(panel, QStringLiteral("Barva rámečků:"), 0, 0, "Label4");
    const int labelWidth = Label4->width();
    Label4->move(0, (23 - Label4->height()) / 2);
    ColorShape = Make<QFrame>(panel, "ColorShape", labelWidth + 6, 4, 15, 15);
    ColorShape->setFrameShape(QFrame::Box);
    ColorShape->setAutoFillBackground(true);
    ColorBtn = Button(panel, "ColorBtn", QStringLiteral(">>"), QString(), labelWidth + 27, 0, 29, 23);
    ColorBtn->setAutoDefault(false);
    panel->setGeometry(x, 3, labelWidth + 56, 23);
    connect(ColorBtn, &QPushButton::clicked, this, &TAreaForm::ColorBtnClick);
    ShowFrameColor();

    Make<QFrame>(this, "Bevel1", 0, 29, 456, 2)->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    ScrollBox1 = Make<QScrollArea>(this, "ScrollBox1", 3, 32, 449, 265);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image = new TAreaImage(this, nullptr);
    ScrollBox1->setWidget(Image);

    auto* labels = Make<QWidget>(this, "Panel2", 3, 300, 290, 60);
    const int valueRight = 286;
    auto row = [labels](const char* name, const char* valueName, const QString& caption, int y, QLabel*& value) {
        QLabel* label = Label(labels, caption, 5, y, name);
        value = Label(labels, QStringLiteral("[0,0] ; [0,0]"), 0, y, valueName);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setGeometry(label->x() + label->width() + 8, y, valueRight - label->width() - 13, label->height());
        return label;
    };
    Label1 = row("Label1", "NfoLabel", QStringLiteral("Plocha \"Nfo\""), 2, NfoLabel);
    Label2 = row("Label2", "ExtrLabel", QStringLiteral("Plocha \"Rozbalit\""), 21, ExtrLabel);
    Label3 = row("Label3", "QuitLabel", QStringLiteral("Plocha \"Konec\""), 40, QuitLabel);

    OkBtn = Button(this, "OkBtn", QStringLiteral("&OK"), QString(), 296, 318, 75, 25);
    OkBtn->setDefault(true);
    CancelBtn = Button(this, "CancelBtn", QStringLiteral("&Zrušit"), QString(), 376, 318, 75, 25);
    CancelBtn->setAutoDefault(false);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);  // Escape and the close box too

    StatusBar = Make<QStatusBar>(this, "StatusBar", 0, 366, 456, 20);
    StatusBar->setSizeGripEnabled(false);
    for (QLabel** panelLabel : {&StatusPanel0, &StatusPanel1}) {
        *panelLabel = new QLabel(StatusBar);
        (*panelLabel)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        (*panelLabel)->setFixedWidth(200);
        StatusBar->addWidget(*panelLabel);
    }
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
}

std::optional<ClickAreas> TAreaForm::Execute(const QString& picturePath, const BitmapSize& size,
                                             const ClickAreas& areas)
{
    PictureWidth = size.Width;
    PictureHeight = size.Height;
    Picture = LoadSkinPicture(picturePath);
    Image->setFixedSize(Picture.size());
    Given = areas;
    if (Dlg->RunModal(this) != QDialog::Accepted)
        return std::nullopt;
    return ClickAreas{Editor.Area(AreaId::Rozbal), Editor.Area(AreaId::Readme), Editor.Area(AreaId::Konec)};
}

void TAreaForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

void TAreaForm::FormActivate()
{
    // Working copies, Readme active, normalised, frames in the Idle styles.
    Editor.Activate(PictureWidth, PictureHeight, Given[0], Given[1], Given[2]);
    NfoBtn->setChecked(true);
    StatusPanel0->setText(Editor.SizeStatus());
    ScrollBox1->ensureVisible(0, 0);
    CentreOnItsScreen(this);
    ShowState();
}

void TAreaForm::ShowState()
{
    const struct {
        AreaId Id;
        QToolButton* Button;
        QLabel* Caption;
        QLabel* Coordinates;
    } rows[] = {{AreaId::Readme, NfoBtn, Label1, NfoLabel},
                {AreaId::Rozbal, ExtrBtn, Label2, ExtrLabel},
                {AreaId::Konec, QuitBtn, Label3, QuitLabel}};
    for (const auto& row : rows) {
        const bool active = Editor.ActiveArea == row.Id;
        if (active)
            row.Button->setChecked(true);
        QPalette palette = row.Caption->palette();
        palette.setColor(QPalette::WindowText, active ? QColor(0, 0, 255) : QColor(0, 0, 0));
        row.Caption->setPalette(palette);
        row.Coordinates->setText(Editor.CoordinatesLabel(row.Id));
    }
    StatusPanel1->setText(Editor.PointerStatus);
    Image->setCursor(CursorShapeOf(Editor.Cursor));
    Image->update();
}

void TAreaForm::ShowFrameColor()
{
    QPalette palette = ColorShape->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(QRgb(FrameColor)));
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
    ColorShape->setPalette(palette);
}

// The one handler of all three area buttons, named after the first of them.
void TAreaForm::NfoBtnClick()
{
    if (NfoBtn->isChecked())
        Editor.SelectArea(AreaId::Readme);
    else if (ExtrBtn->isChecked())
        Editor.SelectArea(AreaId::Rozbal);
    else
        Editor.SelectArea(AreaId::Konec);
    ShowState();
}

void TAreaForm::ColorBtnClick()
{
    const std::optional<quint32> color = Dlg->ChooseColor(FrameColor);
    if (!color)
        return;
    FrameColor = *color & 0xFFFFFF;
    ShowFrameColor();
    Editor.DrawFrames();
    ShowState();
}

void TAreaForm::ToolButton5Click()
{
    if (ShowHelp)
        ShowHelp();
}

void TAreaForm::ImageMouseMove(int x, int y)
{
    Editor.MouseMove(x, y);
    ShowState();
}

void TAreaForm::ImageMouseDown(Qt::MouseButton button)
{
    Editor.MouseDown(button == Qt::LeftButton ? PointerButton::Left : PointerButton::Other);
    ShowState();
}

void TAreaForm::ImageMouseUp()
{
    Editor.MouseUp();
    ShowState();
}
