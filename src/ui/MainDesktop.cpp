#include "Error.h"
#include "Main.h"
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {

// The one project file among what is dragged, as a native path; empty when there is not exactly one.
QString DraggedProject(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return QString();
    const QString path = data->urls().first().toLocalFile();
    if (!path.endsWith(QLatin1String(".zpf"), Qt::CaseInsensitive))
        return QString();
    return QDir::toNativeSeparators(path);
}

}  // namespace

void TMainForm::OpenProjectFile(const QString& path)
{
    try {
        if (!SaveChangesFirst() || !AcceptPath(path))
            return;
        // The open dialog lets only existing files through; a path from outside is checked here, and
        // only a regular file is read (a FIFO would block the window).
        const QFileInfo info(path);
        if (!info.exists())
            throw ZelvakonError(QStringLiteral("Soubor %1 neexistuje").arg(path));
        if (!info.isFile())
            throw ZelvakonError(QStringLiteral("%1 není soubor").arg(path));
        ReadProjectFile(path);
    } catch (const ZelvakonError& error) {
        Services.Dlg->ShowError(error.Message());
    }
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DraggedProject(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QString path = DraggedProject(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Not while the drag source waits for the drop to finish: the save question may come first.
    QMetaObject::invokeMethod(this, [this, path] { OpenProjectFile(path); }, Qt::QueuedConnection);
}
