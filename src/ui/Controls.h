#pragma once
#include <QLabel>
#include <QPushButton>
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

inline QLabel* Label(QWidget* parent, const QString& text, int x, int y, const char* name = nullptr)
{
    auto* label = new QLabel(text, parent);
    if (name)
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

inline QToolButton* BrowseButton(QWidget* parent, const char* name, int x, int y)
{
    auto* button = Make<QToolButton>(parent, name, x, y, 23, 22);
    button->setText(QStringLiteral("..."));
    return button;
}
