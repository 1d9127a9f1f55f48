#pragma once
#include "Dialogs.h"

// Dialogs for programs that run windows without a user (screenshots, benchmarks): every question is
// answered No, every dialog is cancelled, nothing blocks.
class NullDialogs : public Dialogs {
public:
    MsgAnswer MessageBox(const QString&, const QString&, MsgIcon, MsgButtons) override { return MsgAnswer::No; }
    std::optional<QString> OpenFile(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<QString> SaveFile(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<quint32> ChooseColor(quint32) override { return std::nullopt; }
    int RunModal(QObject*) override { return 0; }
    void Beep() override {}
};
