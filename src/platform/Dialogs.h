#pragma once
#include <QString>
#include <optional>

class QObject;

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

struct FileDialogOptions {
    QString Title;
    QString Filter;          // "Description (*.x)|*.X|..." as the program has always written it
    QString InitialFolder;
    QString FileName;        // preset name (save dialog)
    bool MustExist = true;
    bool ConfirmOverwrite = false;
    QString DefaultSuffix;   // added to a name typed without one, before the overwrite question
    bool PicturePreview = false;
};

// Everything modal goes through here, so that tests never block. The Qt implementation shows real
// dialogs; tests use a scripted fake.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MsgAnswer MessageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) = 0;
    virtual std::optional<QString> OpenFile(const FileDialogOptions& options) = 0;
    virtual std::optional<QString> SaveFile(const FileDialogOptions& options) = 0;
    virtual std::optional<quint32> ChooseColor(quint32 initialRgb) = 0;  // 0xRRGGBB
    // Runs a window (a QDialog) modally and returns its result (QDialog::Accepted = 1, Rejected = 0).
    virtual int RunModal(QObject* window) = 0;
    virtual void Beep() = 0;  // MessageBeep(0xFFFF)

    // The standard error box: title "Zelvakon", error icon, OK, full-stop rule.
    void ShowError(const QString& message);
};
