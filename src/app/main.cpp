#include "Error.h"
#include "Forms.h"
#include "Main.h"
#include "MusicPlayer.h"
#include "QtDialogs.h"
#include "QtHelpViewer.h"
#include "SettingsStore.h"
#include "Splash.h"
#include <QApplication>
#include <QDir>

namespace {

// What escapes a handler is shown in the standard error box, and the program goes on.
class ZelvakonApplication : public QApplication {
public:
    using QApplication::QApplication;
    Dialogs* ErrorDialogs = nullptr;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const ZelvakonError& error) {
            Report(error.Message());
        } catch (const std::exception& error) {
            Report(QString::fromLocal8Bit(error.what()));
        }
        return false;
    }

    void Report(const QString& message)
    {
        if (ErrorDialogs)
            ErrorDialogs->ShowError(message);
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    ZelvakonApplication app(argc, argv);
    QtDialogs dialogs;
    app.ErrorDialogs = &dialogs;
    try {
        TSplashForm splash;
        splash.show();
        splash.repaint();
        QApplication::processEvents();

        QApplication::setApplicationName(QStringLiteral("Zelvakon"));
        QApplication::setApplicationDisplayName(QString());
        QtSettingsStore settings;
        QtHelpViewer help;
        MusicPlayer player;
        AppServices services;
        services.dialogs = &dialogs;
        services.settings = &settings;
        services.help = &help;
        services.player = &player;
        services.programFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());

        TMainForm mainForm(services);
        dialogs.SetParent(&mainForm);
        CreateForms(&mainForm);
        splash.hide();
        splash.close();

        mainForm.show();
        app.exec();
    } catch (const ZelvakonError& error) {
        app.Report(error.Message());
    } catch (const std::exception& error) {
        app.Report(QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
