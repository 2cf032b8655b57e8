// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/memory/memorysettings.h"
#include "core/memory/memorystore.h"
#include "editor_fixture.h"
#include "translator/memorypanel.h"
#include "ui/memorypanelform.h"

#include <QAction>
#include <QLabel>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

class MemoryPanelTest : public EditorTest {
protected:
    MemoryPanel* panel() const { return editor->memory(); }
    MemoryPanelForm* panelForm() const { return panel()->form(); }

    void remember(const QString& origin, const std::vector<std::pair<QString, QString>>& pairs) {
        MemoryStore store(app.file(MemoryStore::FileName));
        ASSERT_NE(store.open(), MemoryStore::OpenState::Failed);
        std::vector<MemoryPair> p;
        for (const auto& [s, t] : pairs)
            p.push_back({s, t, {}});
        ASSERT_GE(store.add(origin, u"en"_qs, u"ja"_qs, p), 0);
    }

    void settle() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return panel()->isIdle(); }, 20000));
    }

    QStringList listed(int column) const {
        QStringList out;
        for (int i = 0; i < panelForm()->lstMemory->topLevelItemCount(); ++i)
            out << panelForm()->lstMemory->topLevelItem(i)->text(column);
        return out;
    }
};

} // namespace

TEST_F(MemoryPanelTest,
       ItsKeyShowsEarlierTranslationsOfTheCaretSentenceAndInsertsOneAsOneUndoStep) {
    remember(u"Manual 1"_qs, {{u"Open the red valve slowly."_qs, u"赤い弁をゆっくり開く。"_qs},
                              {u"Open the blue valve slowly."_qs, u"青い弁をゆっくり開く。"_qs},
                              {u"Close the door."_qs, u"ドアを閉める。"_qs}});
    start();
    ASSERT_NE(panelForm(), nullptr);
    EXPECT_TRUE(panelForm()->isHidden());
    EXPECT_EQ(panelForm()->windowTitle(), QStringLiteral("過去の訳"));
    // Its two keys are its own: no other entry of the window has them.
    for (const QKeySequence key :
         {QKeySequence(u"Ctrl+Shift+M"_qs), QKeySequence(u"Ctrl+Shift+I"_qs)}) {
        int holders = 0;
        for (const QAction* a : form()->findChildren<QAction*>())
            holders += a->shortcuts().contains(key);
        EXPECT_EQ(holders, 1) << key.toString().toStdString();
    }

    form()->Rtxt1->setPlainText(u"1 : \nClose the door. Open the red valve slowly.\n"_qs);
    QTextCursor c = form()->Rtxt1->textCursor();
    c.setPosition(30); // in the second sentence
    form()->Rtxt1->setTextCursor(c);
    form()->Rtxt1->setFocus();
    QTest::keyClick(form()->Rtxt1, Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(panelForm()->isVisible());
    settle();
    EXPECT_EQ(listed(0), QStringList({"100 %", "83 %"}));
    EXPECT_EQ(listed(1), QStringList({"赤い弁をゆっくり開く。", "青い弁をゆっくり開く。"}));
    EXPECT_TRUE(listed(2).front().startsWith(u"Manual 1  "_qs));
    // The chosen match's original, with what differs marked.
    panelForm()->lstMemory->setCurrentItem(panelForm()->lstMemory->topLevelItem(1));
    EXPECT_TRUE(panelForm()->txtMemorySource->toHtml().contains(u"blue</span>"_qs));
    EXPECT_EQ(panelForm()->txtMemorySource->toPlainText().section(u'\n', 0, 0),
              u"Open the blue valve slowly."_qs);
    // The caret on the block's heading means the block's sentence.
    c.setPosition(1);
    form()->Rtxt1->setTextCursor(c);
    settle();
    EXPECT_EQ(listed(1).value(0), QStringLiteral("ドアを閉める。"));

    RichTextPane* translation = form()->Rtxt2;
    translation->setFocus();
    QTest::keyClicks(translation, u"ab "_qs);
    QTest::keyClick(translation, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClicks(translation, u" cd"_qs);
    EXPECT_EQ(translation->toPlainText(), QStringLiteral("ab ドアを閉める。 cd"));
    QTest::keyClick(translation, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(translation->toPlainText(), QStringLiteral("ab ドアを閉める。"));
    QTest::keyClick(translation, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(translation->toPlainText(), QStringLiteral("ab "));
}

TEST_F(MemoryPanelTest, SaveTakesTheProjectsPairsAndSaysOnceWhyWhenTheyDoNotPair) {
    const QString org = app.file(u"org.rtf"_qs);
    const QString trans = app.file(u"trans.rtf"_qs);
    writeDocument(org, u"x"_qs);
    writeDocument(trans, u"y"_qs);
    writeCurrentProject(u"Guide"_qs, org, trans, true);
    start();
    form()->Rtxt1->setPlainText(u"One.\nTwo.\nThree."_qs);
    form()->Rtxt2->setPlainText(u"一。\n二。"_qs);
    form()->mnuSave->trigger();
    settle();
    EXPECT_TRUE(panelForm()->lblMemoryState->text().contains(u"段落の数が合わない"_qs));
    panelForm()->lblMemoryState->clear();
    form()->Rtxt1->setPlainText(u"One.\nTwo.\nThree!"_qs);
    form()->mnuSave->trigger();
    settle();
    EXPECT_TRUE(panelForm()->lblMemoryState->text().isEmpty()); // said once

    form()->Rtxt2->setPlainText(u"一。\n二。\n三！"_qs);
    form()->mnuSave->trigger();
    settle();
    MemoryStore store(app.file(MemoryStore::FileName));
    ASSERT_EQ(store.open(), MemoryStore::OpenState::Opened);
    EXPECT_EQ(store.count(u"Guide"_qs), 3);
}

TEST_F(MemoryPanelTest, SwitchedOffNothingOfItIsMade) {
    MemorySettings off;
    off.enabled = false;
    off.write(app.path());
    start();
    EXPECT_EQ(panelForm(), nullptr);
    EXPECT_FALSE(app.exists(MemoryStore::FileName));
    int entries = 0;
    for (const QAction* a : form()->findChildren<QAction*>())
        entries += a->objectName().startsWith(u"mnuMemory"_qs);
    EXPECT_EQ(entries, 0);
}
