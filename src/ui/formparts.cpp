// SPDX-License-Identifier: GPL-3.0-or-later
#include "formparts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTextEdit>

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

QLabel* scrolledText(QWidget* parent, const char* name, const QRect& geometry) {
    auto* area = new QScrollArea(parent);
    area->setObjectName(QLatin1String(name) + QLatin1String("Area"));
    area->setGeometry(geometry);
    area->setFrameShape(QFrame::Panel);
    area->setFrameShadow(QFrame::Sunken);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setFocusPolicy(Qt::NoFocus);
    QLabel* label = named(new QLabel, name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    area->setWidget(label);
    return label;
}

namespace {

// The controls a user operates; labels, frames and bars are read through what they contain.
bool isControl(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractItemView*>(w);
}

// The text of a label pointing at the control, without its access key or closing colon.
QString buddyText(const QWidget* w) {
    if (!w->parentWidget())
        return {};
    for (const QLabel* l : w->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (l->buddy() != w)
            continue;
        QString text = l->text();
        text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
        while (text.endsWith(u':') || text.endsWith(u'：'))
            text.chop(1);
        return text.trimmed();
    }
    return {};
}

// The editor inside a combo box or spin box, a combo box's list and a list's header are read as
// part of their owner.
bool isPartOfAnother(const QWidget* w, const QWidget* form) {
    for (const QWidget* p = w->parentWidget(); p && p != form; p = p->parentWidget())
        if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p) ||
            qobject_cast<const QAbstractItemView*>(p))
            return true;
    return false;
}

// The name of a control that has none of its own: its label's text (a combo box would otherwise
// be read by its current entry), its caption, or for a picture button its tool tip.
QString nameOf(const QWidget* w) {
    if (const QString label = buddyText(w); !label.isEmpty())
        return label;
    if (const auto* button = qobject_cast<const QAbstractButton*>(w);
        button && !button->text().isEmpty())
        return {};
    // The button a tool bar shows for the entries it has no room for.
    if (w->objectName() == u"qt_toolbar_ext_button")
        return QStringLiteral("その他のﾎﾞﾀﾝ");
    return w->toolTip();
}

} // namespace

void nameForScreenReaders(QWidget* form) {
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (!isControl(w) || isPartOfAnother(w, form) || !w->accessibleName().isEmpty())
            continue;
        w->setAccessibleName(nameOf(w));
    }
}

} // namespace formparts
