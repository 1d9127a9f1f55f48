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
#include <QTimer>
#include <csignal>
#include <cstdio>

int main(int argc, char* argv[])
{
#ifdef SIGXFSZ
    // A file-size limit is then a write error with its message, not the end of the user's work.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    ZelvakonApplication app(argc, argv);
    ApplyProgramFont();
    LoadQtTranslation();
    QApplication::setWindowIcon(ProgramIcon());
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
        const ProgramFolders folders = ProgramFolders::ForRunningProgram();
        const AppServices services{.Dlg = &dialogs, .Settings = &settings, .Help = &help, .Player = &player,
                                   .ProgramFolder = folders.Working, .ExecutableFolder = folders.Executable,
                                   .PartsFolders = folders.PartsFolders()};

        TMainForm mainForm(services);
        dialogs.SetParent(&mainForm);
        CreateForms(&mainForm);
        splash.hide();
        splash.close();

        mainForm.show();
        // A project named on the command line opens once the window is up. The first activation
        // loads the stored WinRAR path into the field, so it runs first, here if the window manager
        // has not activated the window yet (or never does): the project's own path is what stays.
        const QString project = ProjectArgument(QCoreApplication::arguments());
        if (!project.isEmpty())
            QTimer::singleShot(0, &mainForm, [&mainForm, project] {
                if (mainForm.ActivatePending)
                    mainForm.RunActivation();
                mainForm.OpenProjectFile(project);
            });
        // For the start-up benchmark: say when the main window has been activated, then end the run,
        // saying the caption the window has by then.
        if (qEnvironmentVariableIsSet("ZELVAKON_QUIT_AFTER_ACTIVATION")) {
            QObject::connect(&mainForm, &TMainForm::Activated, &app, [&mainForm] {
                std::fputs("activated\n", stdout);
                std::fflush(stdout);
                QTimer::singleShot(0, &mainForm, [&mainForm] {
                    std::printf("%s\n", qUtf8Printable(mainForm.windowTitle()));
                    QCoreApplication::quit();
                });
            });
        }
        app.exec();
    } catch (const ZelvakonError& error) {
        app.Report(error.Message());
    } catch (const std::exception& error) {
        app.Report(QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
