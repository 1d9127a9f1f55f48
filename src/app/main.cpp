#include "Application.h"
#include "Error.h"
#include "Forms.h"
#include "Main.h"
#include "MusicPlayer.h"
#include "ProgramFolders.h"
#include "QtDialogs.h"
#include "QtHelpViewer.h"
#include "SettingsStore.h"
#include "Splash.h"
#include "Style.h"
#include <QApplication>
#include <QDir>
#include <cstdio>
#ifdef ZELVAKON_FONTCONFIG
#include <fontconfig/fontconfig.h>
#include <thread>
#endif

int main(int argc, char* argv[])
{
#ifdef ZELVAKON_FONTCONFIG
    // The main window's first text needs the font configuration, and reading it takes as long as
    // everything before that text: the application object, the splash and the services. The two
    // run side by side; Qt's own FcInit then finds the configuration read.
    std::jthread fontConfiguration([] { FcInit(); });  // joined on any way out
#endif
    ZelvakonApplication app(argc, argv);
    QApplication::setStyle(new ZelvakonStyle);
    ApplyProgramFont();
    QtDialogs dialogs;
    app.ErrorDialogs = &dialogs;
    try {
        TSplashForm splash;
        splash.show();
        splash.repaint();
        QApplication::processEvents();

        QApplication::setApplicationName(QStringLiteral("Zelvakon"));
        QGuiApplication::setDesktopFileName(QStringLiteral("zelvakon"));  // the installed menu entry
        QApplication::setApplicationDisplayName(QString());
        QtSettingsStore settings;
        QtHelpViewer help;
        MusicPlayer player;
        AppServices services;
        services.dialogs = &dialogs;
        services.settings = &settings;
        services.help = &help;
        services.player = &player;
        const ProgramFolders folders = ProgramFolders::ForRunningProgram();
        services.programFolder = folders.Working;
        services.executableFolder = folders.Executable;
        services.partsFolders = folders.PartsFolders();

#ifdef ZELVAKON_FONTCONFIG
        fontConfiguration.join();
#endif
        TMainForm mainForm(services);
        dialogs.SetParent(&mainForm);
        CreateForms(&mainForm);
        splash.hide();
        splash.close();

        mainForm.show();
        // For the start-up benchmark: say when the main window has been activated, then end the run.
        if (qEnvironmentVariableIsSet("ZELVAKON_QUIT_AFTER_ACTIVATION")) {
            QObject::connect(&mainForm, &TMainForm::Activated, &app, [] {
                std::fputs("activated\n", stdout);
                std::fflush(stdout);
            });
            QObject::connect(&mainForm, &TMainForm::Activated, &app, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        app.exec();
    } catch (const ZelvakonError& error) {
        app.Report(error.Message());
    } catch (const std::exception& error) {
        app.Report(QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
