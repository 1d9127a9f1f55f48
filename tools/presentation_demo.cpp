// Opens the click-area editor or the picture preview over a given title picture, as the main
// window's buttons do, for screenshots and for trying the windows out:
//
//   zelvakon-presentation-demo areas|preview PICTURE.bmp [--areas L,T,R,B L,T,R,B L,T,R,B]
//                              [--make-picture WxH] [--grab OUT.png]
//
// The areas are Rozbal, Readme and Konec (default: three buttons along the picture's bottom).
// --make-picture first draws a demo title picture of that size into PICTURE.bmp. --grab saves the
// window's picture to OUT.png and quits instead of waiting for the user.
#include "Application.h"
#include "Areadlg.h"
#include "Forms.h"
#include "Main.h"
#include "QtDialogs.h"
#include "QtHelpViewer.h"
#include "SettingsStore.h"
#include <QApplication>
#include <QDir>
#include <QLinearGradient>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {

class DemoDialogs : public QtDialogs {
public:
    QString GrabPath;
    int RunModal(QObject* window) override
    {
        auto* widget = qobject_cast<QWidget*>(window);
        if (GrabPath.isEmpty() || !widget)
            return QtDialogs::RunModal(window);
        widget->show();
        QApplication::processEvents();
        const bool saved = widget->grab().save(GrabPath);
        widget->hide();
        if (!saved)
            std::fprintf(stderr, "cannot save %s\n", qPrintable(GrabPath));
        return 0;
    }
};

void MakePicture(const QString& path, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, QColor(20, 60, 120));
    gradient.setColorAt(1, QColor(120, 170, 220));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(size.height() / 8);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, size.height() / 8, size.width(), size.height() / 4), Qt::AlignCenter,
                     QStringLiteral("Instalace programu"));
    font.setPixelSize(size.height() / 16);
    font.setBold(false);
    painter.setFont(font);
    const int w = size.width() / 4;
    const int top = size.height() * 3 / 4;
    const QStringList captions{QStringLiteral("Rozbalit"), QStringLiteral("Čti mě"), QStringLiteral("Konec")};
    for (int i = 0; i < 3; ++i) {
        const QRect button(w / 4 + i * (w + w / 4), top, w, size.height() / 8);
        painter.fillRect(button, QColor(25, 55, 110));
        painter.setPen(QColor(240, 240, 250));
        painter.drawText(button, Qt::AlignCenter, captions[i]);
    }
    painter.end();
    image.save(path, "BMP");
}

ClickArea ParseArea(const QString& text)
{
    const QStringList v = text.split(QLatin1Char(','));
    if (v.size() != 4)
        return {};
    return {v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt()};
}

int Usage()
{
    std::fprintf(stderr, "usage: zelvakon-presentation-demo areas|preview PICTURE.bmp [--areas L,T,R,B L,T,R,B "
                         "L,T,R,B] [--make-picture WxH] [--grab OUT.png]\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ApplyProgramFont();
    QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return Usage();
    const QString which = args.takeFirst();
    const QString picture = QDir::toNativeSeparators(QFileInfo(args.takeFirst()).absoluteFilePath());
    DemoDialogs dialogs;
    QList<ClickArea> areas;
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--areas") && args.size() >= 3) {
            for (int i = 0; i < 3; ++i)
                areas << ParseArea(args.takeFirst());
        } else if (option == QLatin1String("--make-picture") && !args.isEmpty()) {
            const QStringList wh = args.takeFirst().split(QLatin1Char('x'));
            if (wh.size() != 2)
                return Usage();
            MakePicture(picture, QSize(wh[0].toInt(), wh[1].toInt()));
        } else if (option == QLatin1String("--grab") && !args.isEmpty()) {
            dialogs.GrabPath = args.takeFirst();
        } else {
            return Usage();
        }
    }

    // A private program folder, so that the demo leaves no working folders behind.
    QTemporaryDir folder;
    QtSettingsStore settings(folder.filePath(QStringLiteral("settings.ini")));
    QtHelpViewer help;
    AppServices services;
    services.Dlg = &dialogs;
    services.Settings = &settings;
    services.Help = &help;
    services.ProgramFolder = QDir::toNativeSeparators(folder.path());
    TMainForm mainForm(services);
    dialogs.SetParent(&mainForm);
    CreateForms(&mainForm);
    Project project = mainForm.CollectProject();
    project.Obrazek = picture;
    if (areas.isEmpty()) {
        const QImage image(picture);
        const int w = image.width() / 4;
        const int top = image.height() * 3 / 4;
        for (int i = 0; i < 3; ++i) {
            const int left = w / 4 + i * (w + w / 4);
            areas << ClickArea{left - 4, top - 4, left + w + 4, top + image.height() / 8 + 4};
        }
    }
    project.Rozbal = areas[0];
    project.Readme = areas[1];
    project.Konec = areas[2];
    mainForm.ApplyProject(project);
    const char* button = which == QLatin1String("areas") ? "SetBtn" : which == QLatin1String("preview") ? "PrevBtn" : nullptr;
    if (!button)
        return Usage();
    mainForm.findChild<QPushButton*>(QLatin1String(button))->click();
    return 0;
}
