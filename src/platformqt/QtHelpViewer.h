#pragma once
#include "HelpViewer.h"

class QWidget;

// Shows the HTML help file in a window of its own and scrolls to the topic's anchor.
class QtHelpViewer : public HelpViewer {
public:
    explicit QtHelpViewer(QWidget* parent = nullptr) : Parent(parent) {}
    void OpenHelpTopic(const QString& helpFile, const QString& topic) override;

private:
    QWidget* Parent;
};
