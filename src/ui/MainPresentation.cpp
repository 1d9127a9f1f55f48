#include "Main.h"
#include <QLineEdit>
#include <QPlainTextEdit>

// The title picture, the click areas, the background music and the readme text.

void TMainForm::SetupPresentation()
{
    connect(SkinEdit, &QLineEdit::textChanged, this, &TMainForm::SkinEditChange);
    connect(BkMusicEdit, &QLineEdit::textChanged, this, &TMainForm::BkMusicEditChange);
    connect(ReadMemo, &QPlainTextEdit::textChanged, this, &TMainForm::ReadMemoChange);
}

void TMainForm::SkinEditChange() { Modified = true; }
void TMainForm::SkinBtnClick() {}
void TMainForm::PrevBtnClick() {}
void TMainForm::SetBtnClick() {}
void TMainForm::BkMusicBtnClick() {}
void TMainForm::BkMusicEditChange() { Modified = true; }
void TMainForm::TestBtnClick() {}
void TMainForm::StopBtnClick() {}
void TMainForm::LoadBtnClick() {}
void TMainForm::ReadMemoChange() { Modified = true; }
void TMainForm::ClearBtnClick() {}
