#pragma once
#include "AppServices.h"
#include <QWidget>

class QPlainTextEdit;
class QPushButton;
struct Project;

// Page "Nfo soubor": the readme text the extractor shows.
class ReadmePage : public QWidget {
    Q_OBJECT
public:
    explicit ReadmePage(const AppServices& services);
    void Apply(const Project& project);  // the memo gets the project's readme text
    void Collect(Project& project) const;
    QString Text() const;  // the memo's text with CR LF line breaks

signals:
    void Changed();

private:
    void LoadBtnClick();
    void ReadMemoChange();
    void ClearBtnClick();
    void ShowText(const QString& text);

    AppServices Services;
    QPlainTextEdit* ReadMemo;
    QPushButton* ClearBtn;
};
