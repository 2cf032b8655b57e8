// SPDX-License-Identifier: GPL-3.0-or-later
// A screen reader names every control of every window: walks each window's accessibility tree as
// an assistive technology would and reports each control it could only call by its kind.
#include "support/everywindow.h"
#include "ui/limitedtextedit.h"
#include "ui/mainform.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

bool isInteractive(QAccessible::Role role) {
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::SpinBox:
    case QAccessible::ComboBox:
    case QAccessible::Slider:
    case QAccessible::PageTab:
        return true;
    default:
        return false;
    }
}

// The object names of the interactive controls below iface that have no name to read.
void collectUnnamed(QAccessibleInterface* iface, QStringList& unnamed, int& controls) {
    const QAccessible::Role role = iface->role();
    if (isInteractive(role)) {
        ++controls;
        if (iface->text(QAccessible::Name).trimmed().isEmpty()) {
            const QObject* o = iface->object();
            unnamed << (o ? o->objectName() + u'(' + QLatin1String(o->metaObject()->className()) +
                                u')'
                          : QStringLiteral("?"));
        }
    }
    // A list's items, a combo box's list and a spin box's editor are read through their owner.
    if (role == QAccessible::List || role == QAccessible::Table || role == QAccessible::Tree ||
        role == QAccessible::ComboBox || role == QAccessible::SpinBox)
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface* c = iface->child(i))
            collectUnnamed(c, unnamed, controls);
}

TEST(ScreenReader, EveryControlOfEveryWindowHasAName) {
    int controls = 0;
    forEveryWindow([&controls](QWidget* window) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window);
        ASSERT_NE(iface, nullptr);
        QStringList unnamed;
        collectUnnamed(iface, unnamed, controls);
        EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u' ').toStdString();
    });
    // The walk reaches the controls: the main window alone has more than forty.
    EXPECT_GT(controls, 200);
}

// The names are the texts a sighted user reads beside or on the control, not invented ones.
TEST(ScreenReader, ControlsAreNamedByTheirLabelOrToolTip) {
    auto name = [](QObject* o) {
        return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
    };
    MainForm main;
    EXPECT_EQ(name(main.txtInput), main.Label3->text());
    EXPECT_EQ(name(main.txtRei), main.Label6->text());
    EXPECT_EQ(name(main.cmdDel), main.cmdDel->toolTip());
    EXPECT_EQ(main.cmdDel->text(), QString()) << "the picture button shows no caption";

    TranslatorLForm editor;
    EXPECT_EQ(name(editor.Rtxt2), QStringLiteral("訳文"));
    QAction* bold = editor.toolButton(QStringLiteral("bold"));
    EXPECT_EQ(name(editor.Toolbar1->widgetForAction(bold)), QStringLiteral("太字"));
    EXPECT_EQ(editor.Label2->text(), QStringLiteral("<訳文>"));
}

} // namespace
