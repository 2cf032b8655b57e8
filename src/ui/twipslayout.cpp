// SPDX-License-Identifier: GPL-3.0-or-later
#include "twipslayout.h"

#include "core/richtext/twips.h"

#include <QFrame>

namespace twipslayout {

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width),
                        twips::toPixels(height));
}

void detail::nameAndPlace(QWidget* widget, const char* name, int left, int top, int width,
                          int height) {
    widget->setObjectName(QLatin1String(name));
    place(widget, left, top, width, height);
}

QList<QFrame*> rules(QWidget* parent, const char* name, std::initializer_list<int> tops,
                     int width) {
    // A rule's design height; the frame draws its line in the middle.
    constexpr int RuleHeight = 30;
    QList<QFrame*> lines;
    for (int top : tops) {
        auto* line = new QFrame(parent);
        line->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(lines.size()));
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        place(line, 0, top, width, RuleHeight);
        lines.append(line);
    }
    return lines;
}

} // namespace twipslayout
