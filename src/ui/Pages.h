#pragma once
#include "AppServices.h"
#include "ClickArea.h"
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
struct Forms;
struct Project;

// A page of the main window: its controls hold its part of the project.
class ProjectPage : public QWidget {
    Q_OBJECT
public:
    virtual void Apply(const Project& project) = 0;
    virtual void Collect(Project& project) const = 0;

signals:
    void Changed();
};

// Page "Nfo soubor": the readme text the extractor shows.
class ReadmePage : public ProjectPage {
    Q_OBJECT
public:
    explicit ReadmePage(const AppServices& services);
    void Apply(const Project& project) override;  // the memo gets the project's readme text
    void Collect(Project& project) const override;
    QString Text() const;  // the memo's text with CR LF line breaks

private:
    void LoadBtnClick();
    void ReadMemoChange();
    void ClearBtnClick();
    void ShowText(const QString& text);

    AppServices Services;
    QPlainTextEdit* ReadMemo;
    QPushButton* ClearBtn;
};

// Page "Hudba a obrázek": the background music and the title picture with its click areas.
class MediaPage : public ProjectPage {
    Q_OBJECT
public:
    MediaPage(const AppServices& services, const Forms& windows);
    void Apply(const Project& project) override;  // through the change handlers
    void Collect(Project& project) const override;

    // The picture's click areas, set in the area editor; no control shows them.
    ClickArea Rozbal;
    ClickArea Readme;
    ClickArea Konec;

private:
    void SkinEditChange();
    void SkinBtnClick();
    void PrevBtnClick();
    void SetBtnClick();
    void BkMusicBtnClick();
    void BkMusicEditChange();
    void TestBtnClick();
    void StopBtnClick();
    void MusicPlayerNotify();

    AppServices Services;
    const Forms& Windows;
    QLineEdit* BkMusicEdit;
    QPushButton* TestBtn;
    QPushButton* StopBtn;
    QLineEdit* SkinEdit;
    QPushButton* SetBtn;
    QPushButton* PrevBtn;
};

// Page "Spustit po extrakci": a program the extractor runs once it is done.
class RunPage : public ProjectPage {
    Q_OBJECT
public:
    explicit RunPage(Dialogs* dlg);
    void Apply(const Project& project) override;  // through the change handlers
    void Collect(Project& project) const override;

private:
    void RunChBoxClick();

    QCheckBox* RunChBox;
    QLabel* ProgNameLabel;
    QLineEdit* ProgNameEdit;
    QLabel* CmLineLabel;
    QLineEdit* CmLineEdit;
    QCheckBox* AskChBox;
};
