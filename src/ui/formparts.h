// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QFont;
class QLabel;
class QMenu;
class QRect;
class QWidget;

// The pieces the windows build their controls and menus from. Every control and menu entry gets
// an object name: the window's logic and the tests find them by it.
namespace formparts {

template <class W> W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}
template <class W> W* named(W* widget, const char* name) {
    return named(widget, QString(QLatin1String(name)));
}
// A control named name, placed at geometry in its parent.
template <class W, class Name> W* named(W* widget, const Name& name, const QRect& geometry) {
    named(widget, name);
    widget->setGeometry(geometry);
    return widget;
}

// A font of the family at the size, in points, the window was designed with.
QFont designFont(const QString& family, int points);

// A menu entry; the shortcut, if any, is shown beside it and works while the window is active.
QAction* action(QMenu* menu, const char* name, const QString& caption,
                const QKeySequence& shortcut = {});

// A submenu; its entry in the parent menu has the same name.
QMenu* submenu(QMenu* parent, const char* name, const QString& caption);

// A label for long plain text (a meaning runs to 200 characters and may hold line breaks) in a
// sunken area at geometry that scrolls it up and down when it does not fit. The label is named
// name, the area name + "Area"; the area takes no focus, so Tab passes it by.
QLabel* scrolledText(QWidget* parent, const char* name, const QRect& geometry);

// Names every control below form for screen readers that has no name of its own: by the text of
// the label pointing at it (its buddy), else by its caption, else by its tool tip (picture
// buttons). Forms call it once their controls are built, so a new control is covered as soon as
// it has a caption, a label or a tool tip.
void nameForScreenReaders(QWidget* form);

} // namespace formparts
