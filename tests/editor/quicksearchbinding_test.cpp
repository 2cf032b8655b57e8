// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "editor_fixture.h"
#include "ui/limitedtextedit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

// Selects text in the translation pane, where the user last worked.
void select(RichTextPane* pane, const QString& text, int start, int length) {
    pane->setPlainText(text);
    pane->setFocus();
    pane->setSelStart(start);
    pane->setSelLength(length);
}

TEST_F(EditorTest, QuickSearchLooksTheSelectionUp) {
    start({"run", "walk", "walker", "walking"});
    TranslatorLForm* f = form();
    select(f->Rtxt2, QStringLiteral("I run every day."), 2, 4); // "run "
    f->mnuQuickSearch->trigger();
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("run"));
    EXPECT_EQ(f->txtMean->text().trimmed(), QStringLiteral("m:run"));
    // An exact match never moves the spinner.
    EXPECT_EQ(f->ud->value(), 0);
    EXPECT_TRUE(f->cmdModify->isEnabled());

    editor->project().quickSearch.approxSearch = true;
    select(f->Rtxt2, QStringLiteral("She walked."), 4, 6);
    f->toolButton(QStringLiteral("Qsearch"))->trigger();
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("walker"));

    // An empty selection does nothing at all.
    select(f->Rtxt2, QStringLiteral("nothing"), 0, 0);
    f->mnuQuickSearch->trigger();
    EXPECT_TRUE(dialogs.boxes().isEmpty());
}

TEST_F(EditorTest, QuickSearchFromTheWordPaneFindsNothingAndMayStartRegistering) {
    start({"apple"});
    TranslatorLForm* f = form();
    f->txtInput->setFocus();
    dialogs.expectMessage(Answer::Ok, QStringLiteral("選択された単語では見つかりませんでした"));
    f->mnuQuickSearch->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("未登録情報"));

    editor->project().quickSearch.focusWordPaneAfterSearch = true;
    editor->project().quickSearch.registerWhenMissing = true;
    select(f->Rtxt2, QStringLiteral("banana"), 0, 6);
    dialogs.expectMessage(Answer::Ok);
    f->mnuQuickSearch->trigger();
    EXPECT_EQ(f->lblMode->text(), QStringLiteral("登録ﾓｰﾄﾞ"));
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("banana"));
    EXPECT_EQ(QApplication::focusWidget(), f->txtMean);
}

} // namespace
