// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <initializer_list>

class QFrame;
class QWidget;

// Forms are laid out in twips, as they were designed; these put their controls on the screen.
namespace twipslayout {

// Places a control at a position and size given in twips.
void place(QWidget* widget, int left, int top, int width, int height);

namespace detail {
void nameAndPlace(QWidget* widget, const char* name, int left, int top, int width, int height);
}

// Names a control and places it; returns it, so that a form builds each control in one line.
template <class W>
W* placed(W* widget, const char* name, int left, int top, int width, int height) {
    detail::nameAndPlace(widget, name, left, top, width, height);
    return widget;
}

// Sunken horizontal rules the given width across `parent`, one at each top (twips), named
// `name`_0, `name`_1, ... in that order.
QList<QFrame*> rules(QWidget* parent, const char* name, std::initializer_list<int> tops, int width);

} // namespace twipslayout
