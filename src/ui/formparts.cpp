// SPDX-License-Identifier: GPL-3.0-or-later
#include "formparts.h"

#include <QAction>
#include <QFont>
#include <QMenu>

namespace formparts {

QFont designFont(const QString& family, int points) {
    QFont f(family);
    f.setPointSize(points);
    return f;
}

QAction* action(QMenu* menu, const char* name, const QString& caption,
                const QKeySequence& shortcut) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    return a;
}

QMenu* submenu(QMenu* parent, const char* name, const QString& caption) {
    QMenu* m = parent->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name));
    return m;
}

} // namespace formparts
