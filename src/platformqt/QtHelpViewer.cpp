#include "QtHelpViewer.h"
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

void QtHelpViewer::OpenHelpTopic(const QString& helpFile, const QString& topic)
{
    static QPointer<QTextBrowser> browser;
    if (!browser) {
        browser = new QTextBrowser(Parent);
        browser->setWindowFlag(Qt::Window);
        browser->setObjectName(QStringLiteral("HelpViewer"));
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->resize(560, 480);
    }
    browser->setWindowTitle(QStringLiteral("Zelvakon - nápověda"));
    QFile file(helpFile);
    if (!file.open(QIODevice::ReadOnly)) {
        // The viewer reports a missing help file itself, as the help system always has.
        browser->setHtml(QStringLiteral("<h3>Soubor nápovědy nelze otevřít</h3><p>%1</p><p>%2</p>")
                             .arg(helpFile.toHtmlEscaped(), file.errorString().toHtmlEscaped()));
    } else {
        browser->setSource(QUrl::fromLocalFile(helpFile), QTextDocument::HtmlResource);
        browser->scrollToAnchor(topic);
    }
    browser->show();
    browser->raise();
}
