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
#include <cstdio>

int main(int argc, char* argv[])
{
    ZelvakonApplication app(argc, argv);
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
        services.Dlg = &dialogs;
        services.Settings = &settings;
        services.Help = &help;
        services.Player = &player;
        const ProgramFolders folders = ProgramFolders::ForRunningProgram();
        services.ProgramFolder = folders.Working;
        services.ExecutableFolder = folders.Executable;
        services.PartsFolders = folders.PartsFolders();

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
