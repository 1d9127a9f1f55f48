#pragma once
#include "AppServices.h"
#include "ClickArea.h"
#include <QWidget>

class QLineEdit;
class QPushButton;
struct BitmapSize;
struct Forms;
struct Project;

// Page "Hudba a obrázek": the background music and the title picture with its click areas.
class MediaPage : public QWidget {
    Q_OBJECT
public:
    MediaPage(const AppServices& services, const Forms& windows);
    void Apply(const Project& project);  // through the change handlers
    void Collect(Project& project) const;

    // The picture's click areas, set in the area editor; no control shows them.
    ClickArea Rozbal;
    ClickArea Readme;
    ClickArea Konec;

signals:
    void Changed();

private:
    void SkinEditChange();
    void SkinBtnClick();
    bool CheckSkinPicture(const QString& path, BitmapSize& size);  // shows its message on failure
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
