#pragma once
#include "Dialogs.h"
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

// A scripted Dialogs: records every call and answers from queues. A call that nobody scripted fails
// the test (QFAIL through Unexpected) and answers Cancel, so a test never blocks on a modal window.
class FakeDialogs : public Dialogs {
public:
    struct Message {
        QString Text;
        QString Title;
        MsgIcon Icon;
        MsgButtons Buttons;
    };

    MsgAnswer MessageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    std::optional<QString> OpenFile(const FileDialogOptions& options) override;
    std::optional<QString> SaveFile(const FileDialogOptions& options) override;
    std::optional<quint32> ChooseColor(quint32 initialRgb) override;
    int RunModal(QObject* window) override;
    void Beep() override { ++Beeps; }

    // Scripts
    std::deque<MsgAnswer> Answers;                          // for message boxes
    std::deque<QString> OpenAnswers;  // for OpenFile; a null QString cancels
    std::deque<QString> SaveAnswers;  // for SaveFile; a null QString cancels; an existing file asks first
    std::deque<std::optional<quint32>> ColorAnswers;        // for ChooseColor
    std::deque<std::function<int(QObject*)>> ModalScripts;  // for RunModal: act on the window, return its result

    // Records
    QList<Message> Messages;
    QList<FileDialogOptions> OpenCalls;
    QList<FileDialogOptions> SaveCalls;
    QList<QObject*> ModalCalls;
    int Beeps = 0;
    QStringList Unexpected;  // calls that found no script

    void Clear();
};
