#include "Mnemonics.h"
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <algorithm>

namespace {

bool Shows(const QKeySequence& key, const QString& caption)
{
    return !caption.isEmpty() && QKeySequence::mnemonic(caption) == key;
}

void Trigger(QWidget* control)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->click();
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->buddy()->setFocus(Qt::ShortcutFocusReason);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setChecked(!group->isChecked());
        group->setFocus(Qt::ShortcutFocusReason);
    }
}

bool MenuBarClaims(QMainWindow* window, const QKeySequence& key)
{
    const QList<QAction*> menus = window->menuBar()->actions();
    return std::any_of(menus.begin(), menus.end(), [&key](const QAction* menu) {
        return menu->isVisible() && menu->isEnabled() && Shows(key, menu->text());
    });
}

QWidget* ControlClaiming(QMainWindow* window, const QKeySequence& key)
{
    const QList<QWidget*> controls = window->centralWidget()->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (!control->isVisible() || !control->isEnabled())
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(control); button && Shows(key, button->text()))
            return control;
        if (auto* label = qobject_cast<QLabel*>(control);
            label && label->buddy() && label->buddy()->isEnabled() && Shows(key, label->text()))
            return control;
        if (auto* group = qobject_cast<QGroupBox*>(control); group && group->isCheckable() && Shows(key, group->title()))
            return control;
    }
    return nullptr;
}

}  // namespace

ControlMnemonics::ControlMnemonics(QMainWindow* window) : QObject(window), Window(window)
{
    // The focused control sees the key first, so the whole application is watched; only this window's
    // keys are looked at.
    qApp->installEventFilter(this);
}

bool ControlMnemonics::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != Window)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyPress) {
        // An accepted override sends the key on as a key press: the focused field would type the letter.
        if (SwallowKey == 0 || key->key() != SwallowKey)
            return false;
        SwallowKey = 0;
        return true;
    }
    SwallowKey = 0;
    const QKeySequence pressed(key->keyCombination());
    if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::NoModifier) {
        const QList<QAction*> menus = Window->menuBar()->actions();
        const auto first
            = std::find_if(menus.begin(), menus.end(), [](QAction* m) { return m->isVisible() && m->isEnabled(); });
        if (first != menus.end())
            Window->menuBar()->setActiveAction(*first);
    } else {
        if (!(key->modifiers() & Qt::AltModifier) || !MenuBarClaims(Window, pressed))
            return false;
        QWidget* control = ControlClaiming(Window, pressed);
        if (!control)
            return false;
        Trigger(control);
    }
    key->accept();
    SwallowKey = key->key();
    return true;
}
