// SPDX-License-Identifier: GPL-3.0-or-later
// Every text a window shows (captions, labels, buttons, menus, tool tips, list entries) is
// Japanese; only names and keys stay as they are written.
#include "support/everywindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

// Words that are names, keys or units ("10point"), not English a user has to read. FSRS is the
// name of a review scheduler.
const QStringList NamesAndKeys = {
    QStringLiteral("Verbanta"), QStringLiteral("Dualscribe"), QStringLiteral("FSRS"),
    QStringLiteral("Ctrl"),     QStringLiteral("Shift"),      QStringLiteral("Enter"),
    QStringLiteral("Space"),    QStringLiteral("Home"),       QStringLiteral("Delete"),
    QStringLiteral("Insert"),   QStringLiteral("PageUp"),     QStringLiteral("PageDown"),
    QStringLiteral("Back"),     QStringLiteral("point"),
};
// The font samples of the customise dialog show both scripts on purpose.
const QStringList FontSamples = {QStringLiteral("Word 単語"), QStringLiteral("入力 input"),
                                 QStringLiteral("List リスト")};
// The start-up window's tagline is English by design.
const QString Tagline = QStringLiteral("A word book with its own translation utility");

QStringList englishWordsIn(const QString& text) {
    static const QRegularExpression word(QStringLiteral("(?<![A-Za-z])[A-Za-z]{4,}(?![A-Za-z])"));
    QStringList found;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const QString w = it.next().captured();
        if (!NamesAndKeys.contains(w))
            found << w;
    }
    return found;
}

// The texts the window shows, each with the name of what shows it.
QList<QPair<QString, QString>> shownTexts(QWidget* window) {
    QList<QPair<QString, QString>> texts{{window->objectName(), window->windowTitle()}};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        texts.append({name, w->toolTip()});
        if (auto* label = qobject_cast<QLabel*>(w))
            texts.append({name, label->text()});
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts.append({name, button->text()});
        if (auto* group = qobject_cast<QGroupBox*>(w))
            texts.append({name, group->title()});
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            texts.append({name, edit->placeholderText()});
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts.append({name, tabs->tabText(i)});
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i)
                texts.append({name, combo->itemText(i)});
        if (auto* list = qobject_cast<QListWidget*>(w))
            for (int i = 0; i < list->count(); ++i)
                texts.append({name, list->item(i)->text()});
    }
    for (QAction* a : window->findChildren<QAction*>())
        texts.append({a->objectName(), a->text() + u' ' + a->toolTip() + u' ' + a->statusTip()});
    return texts;
}

TEST(Captions, EveryWindowSpeaksJapanese) {
    forEveryWindow([](QWidget* window) {
        for (const auto& [name, text] : shownTexts(window)) {
            if (FontSamples.contains(text) || text == Tagline)
                continue;
            const QStringList english = englishWordsIn(text);
            EXPECT_TRUE(english.isEmpty()) << name.toStdString() << ": " << text.toStdString()
                                           << " (" << english.join(u' ').toStdString() << ")";
        }
    });
}

} // namespace
