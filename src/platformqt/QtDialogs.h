#pragma once
#include "Dialogs.h"

class QWidget;

// The real dialogs of the dialogs seam.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : Parent(parent) {}
    void SetParent(QWidget* parent) { Parent = parent; }
    MsgAnswer MessageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    std::optional<QString> OpenFile(const FileDialogOptions& options) override;
    std::optional<QString> SaveFile(const FileDialogOptions& options) override;
    std::optional<quint32> ChooseColor(quint32 initialRgb) override;
    int RunModal(QObject* window) override;
    void Beep() override;

private:
    QWidget* Parent;
};
