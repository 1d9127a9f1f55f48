#pragma once
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

// Controls placed as the windows have always placed them: by name, position and size at 96 dpi.

template <typename T>
T* Make(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

inline QLabel* Label(QWidget* parent, const QString& text, int x, int y, const char* name)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

inline QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& hint, int x, int y,
                           int w, int h)
{
    auto* button = Make<QPushButton>(parent, name, x, y, w, h);
    button->setText(caption);
    button->setStatusTip(hint);
    return button;
}

// A dialog of a fixed size with a title bar and a close box; more adds to those flags.
inline void SetUpDialog(QDialog* dialog, const char* name, int width, int height, Qt::WindowFlags more = {})
{
    dialog->setObjectName(QLatin1String(name));
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | more);
    dialog->setFixedSize(width, height);
}

// Centred on the primary screen, or on the part of it that panels leave free.
inline void CentreOnScreen(QWidget* window, bool available = false)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move((available ? screen->availableGeometry() : screen->geometry()).center() - window->rect().center());
}

inline QToolButton* BrowseButton(QWidget* parent, const char* name, int x, int y)
{
    auto* button = Make<QToolButton>(parent, name, x, y, 23, 22);
    button->setText(QStringLiteral("..."));
    return button;
}
