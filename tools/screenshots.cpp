// Renders the main window's pages (and other windows) to PNG files for the README, offscreen.
#include "Application.h"
#include "NullDialogs.h"
#include "QtDialogs.h"
#include "Forms.h"
#include "Main.h"
#include "RegistryPage.h"
#include "SettingsStore.h"
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ApplyProgramFont();
    LoadQtTranslation();  // the file dialog speaks Czech, as in the program
    QApplication::setWindowIcon(ProgramIcon());
    if (argc < 2) {
        std::fprintf(stderr, "usage: zelvakon-screenshots OUTPUT-FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir programFolder;
    NullDialogs dialogs;
    QtSettingsStore settings(programFolder.filePath(QStringLiteral("settings.ini")));
    AppServices services;
    services.Dlg = &dialogs;
    services.Settings = &settings;
    services.ProgramFolder = programFolder.path();
    TMainForm main(services);
    CreateForms(&main);
    main.show();
    main.FormActivate();
    Project demo = main.CollectProject();
    demo.Nazev = QStringLiteral("Želví závody");
    demo.CilAdr = QStringLiteral("C:\\Hry\\Zavody");
    demo.DiskMisto = QStringLiteral("2345");
    demo.ReadmeText = QStringLiteral("Želví závody 1.0\r\n\r\nRychlá hra pro celou rodinu.\r\nSpusťte ji z nabídky Start.");
    main.ApplyProject(demo);
    // A few registry entries, imported as the "Otevřít .ini" command does, so the page shows its icons.
    const QString regIni = programFolder.filePath(QStringLiteral("Ukazka.ini"));
    {
        QFile file(regIni);
        file.open(QIODevice::WriteOnly);
        file.write("[HKEY_CURRENT_USER\\Software\\Zavody]\r\nCesta=(String)C:\\Hry\\Zavody\r\nVerze=(Integer)2\r\n"
                   "Aktivni=(Boolean)1\r\n");
    }
    main.Registry->LoadRegIni(regIni);
    const char* names[] = {"program", "nfo", "media", "registry", "run"};
    for (int i = 0; i < main.TabPages->count(); ++i) {
        main.TabPages->setCurrentIndex(i);
        QApplication::processEvents();
        const QString file = out + QStringLiteral("/page-%1.png").arg(QLatin1String(names[i]));
        if (!main.grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }

    // Qt's own file dialog, as "Otevřít projekt..." shows it over a folder with a few projects.
    const QString projects = programFolder.filePath(QStringLiteral("Projekty"));
    for (const char* name : {"Bezejmena.zpf", "Zavody.zpf", "Zelvi_hra.zpf"}) {
        QFile file(projects + QLatin1Char('/') + QLatin1String(name));
        file.open(QIODevice::WriteOnly);
    }
    QtDialogs fileDialogs(&main);
    FileDialogOptions options;
    options.Title = QStringLiteral("Otevřít projekt...");
    options.Filter = QStringLiteral("Projektové soubory (*.zpf)|*.ZPF");
    options.InitialFolder = projects;
    options.MustExist = true;
    const QString dialogFile = out + QStringLiteral("/file-dialog.png");
    bool saved = false;
    QTimer::singleShot(300, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            saved = dialog->grab().save(dialogFile);
            dialog->reject();
        }
    });
    fileDialogs.OpenFile(options);
    if (!saved) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(dialogFile));
        return 1;
    }
    std::printf("%s\n", qPrintable(dialogFile));
    return 0;
}
