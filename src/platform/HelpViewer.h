#pragma once
#include <QString>

// Opens the program's help file at a topic given by its jump identifier.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void OpenHelpTopic(const QString& helpFile, const QString& topic) = 0;
};
