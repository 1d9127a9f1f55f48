#include "FakeDialogs.h"
#include <QFileInfo>
#include <QObject>

MsgAnswer FakeDialogs::MessageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    Messages.append({text, title, icon, buttons});
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;  // a box with OK alone needs no script
    if (Answers.empty()) {
        Unexpected << QStringLiteral("question: ") + text;
        return MsgAnswer::Cancel;
    }
    const MsgAnswer answer = Answers.front();
    Answers.pop_front();
    return answer;
}

std::optional<QString> FakeDialogs::OpenFile(const FileDialogOptions& options)
{
    OpenCalls.append(options);
    if (OpenAnswers.empty()) {
        Unexpected << QStringLiteral("open dialog: ") + options.Title;
        return std::nullopt;
    }
    const QString answer = OpenAnswers.front();
    OpenAnswers.pop_front();
    if (answer.isNull())
        return std::nullopt;
    return answer;
}

std::optional<QString> FakeDialogs::SaveFile(const FileDialogOptions& options)
{
    SaveCalls.append(options);
    // As the Qt dialog does it: the default suffix goes onto a name typed without one, then an
    // existing file is replaced only after a Yes; No keeps the dialog open for the next answer.
    for (;;) {
        if (SaveAnswers.empty()) {
            Unexpected << QStringLiteral("save dialog: ") + options.Title;
            return std::nullopt;
        }
        QString answer = SaveAnswers.front();
        SaveAnswers.pop_front();
        if (answer.isNull())
            return std::nullopt;
        const QFileInfo info(answer);
        if (!options.DefaultSuffix.isEmpty() && !info.isDir() && !info.fileName().contains(QLatin1Char('.')))
            answer += QLatin1Char('.') + options.DefaultSuffix;
        const QFileInfo chosen(answer);
        if (options.ConfirmOverwrite && chosen.exists()
            && MessageBox(QStringLiteral("Soubor %1 již existuje.\nChcete jej nahradit?").arg(chosen.fileName()), options.Title,
                          MsgIcon::Warning, MsgButtons::YesNoCancel)
                   != MsgAnswer::Yes)
            continue;
        return answer;
    }
}

std::optional<quint32> FakeDialogs::ChooseColor(quint32)
{
    if (ColorAnswers.empty()) {
        Unexpected << QStringLiteral("colour dialog");
        return std::nullopt;
    }
    auto answer = ColorAnswers.front();
    ColorAnswers.pop_front();
    return answer;
}

int FakeDialogs::RunModal(QObject* window)
{
    ModalCalls.append(window);
    if (ModalScripts.empty()) {
        Unexpected << QStringLiteral("modal window: ") + (window ? window->objectName() : QString());
        return 0;
    }
    auto script = std::move(ModalScripts.front());
    ModalScripts.pop_front();
    return script(window);
}

void FakeDialogs::Clear()
{
    Messages.clear();
    OpenCalls.clear();
    SaveCalls.clear();
    ModalCalls.clear();
    Beeps = 0;
    Unexpected.clear();
}
