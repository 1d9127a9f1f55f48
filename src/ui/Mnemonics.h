#pragma once
#include <QObject>

class QMainWindow;

// Alt+letter belongs to the visible, enabled control of the window that shows that letter underlined,
// and to the menu bar only where no such control is on screen, as on Windows. Qt gives it to the menu
// bar, which leaves the control's mnemonic dead. F10 opens the menu bar's first menu.
class ControlMnemonics : public QObject {
    Q_OBJECT
public:
    explicit ControlMnemonics(QMainWindow* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMainWindow* Window;
    int SwallowKey = 0;  // the key press that follows an override handled here
};
