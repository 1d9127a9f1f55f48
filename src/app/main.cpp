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
#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <thread>
#ifdef ZELVAKON_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

int main(int argc, char* argv[])
{
#ifdef ZELVAKON_FONTCONFIG
    // Reading the font configuration takes as long as setting up the application object, and the
    // splash needs both before it can show its title: the two run side by side.
    std::thread fontConfiguration([] { FcInit(); });
#endif
    ZelvakonApplication app(argc, argv);
#ifdef ZELVAKON_FONTCONFIG
    fontConfiguration.join();
#endif
    // The first paint reads the style's picture files, and the first picture read loads every image
    // format plugin: done meanwhile on another core.
    std::jthread imagePlugins([] { (void)QImageReader::supportedImageFormats(); });
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

        TMainForm mainForm(services);
        dialogs.SetParent(&mainForm);
        CreateForms(&mainForm);
        splash.hide();
        splash.close();

        imagePlugins.join();
        mainForm.show();
        // For the start-up benchmark: end the run once the main window has been activated.
        if (qEnvironmentVariableIsSet("ZELVAKON_QUIT_AFTER_ACTIVATION"))
            QObject::connect(&mainForm, &TMainForm::Activated, &app, &QCoreApplication::quit, Qt::QueuedConnection);
        app.exec();
    } catch (const ZelvakonError& error) {
        app.Report(error.Message());
    } catch (const std::exception& error) {
        app.Report(QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
