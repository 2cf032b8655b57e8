// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/widgets.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

QString text(const char16_t* s) {
    return QString::fromUtf16(s);
}

TEST(TranslatorLForm, MenusCarryTheirNamesCaptionsAndShortcuts) {
    TranslatorLForm form;
    EXPECT_EQ(form.objectName(), QStringLiteral("frmTranslatorL"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Dualscribe"));
    QStringList titles;
    for (QAction* a : form.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({text(u"ﾌｧｲﾙ(&F)"), text(u"編集(&E)"), text(u"単語部(&W)"),
                                   text(u"翻訳部(&U)"), text(u"ﾍﾙﾌﾟ(&H)")}));
    const struct {
        const char* name;
        const char16_t* caption;
        const char* shortcut;
    } items[] = {
        {"mnuNew", u"ﾌﾟﾛｼﾞｪｸﾄの新規作成(&N)...", "Ctrl+N"},
        {"mnuOpen", u"ﾌﾟﾛｼﾞｪｸﾄを開く(&O)...", "Ctrl+O"},
        {"mnuGetOrgFile", u"原文取込み(&L)...", ""},
        {"mnuExportTrans", u"訳文を書き出し(&E)...", ""},
        {"mnuSave", u"保存(&S)", "Ctrl+S"},
        {"mnuPrint", u"印刷(&P)...", "Ctrl+P"},
        {"mnuCmntLoading", u"注釈ｳｨﾝﾄﾞｳのﾛｰﾄﾞ(&T)", ""},
        {"mnuExit", u"Verbantaへ戻る(&W)", "Ctrl+W"},
        {"mnuEnd", u"終了(&X)", "Ctrl+Q"},
        {"mnuCut", u"ｶｯﾄ(&T)", "Ctrl+X"},
        {"mnuCopy", u"ｺﾋﾟｰ(&C)", "Ctrl+C"},
        {"mnuPaste", u"貼付け(&P)", "Ctrl+V"},
        {"mnuSelectAll", u"全て選択(&A)", "Ctrl+A"},
        {"mnuFind", u"検索(&F)...", "Ctrl+F"},
        {"mnuModify", u"修正(&M)", "Ctrl+M"},
        {"mnuDel", u"削除(&D)", "Ctrl+D"},
        {"mnuCancel", u"取消(&E)   Esc", ""},
        {"mnuDo", u"実行(&R)", "Ctrl+R"},
        {"mnuFontSetting", u"ﾌｫﾝﾄ設定(&F)...", "Ctrl+T"},
        {"mnuTabs", u"ﾀﾌﾞ設定(&T)...", ""},
        {"mnuIndentDo", u"適用(&D)", ""},
        {"mnuIndentRelease", u"解除(&K)", ""},
        {"mnuIndentSetting", u"値を設定(&J)...", ""},
        {"mnuLeftAlignment", u"左揃え(&L)", ""},
        {"mnuCenterAlignment", u"中央揃え(&C)", ""},
        {"mnuRightAlignment", u"右揃え(&R)", ""},
        {"mnuBulletDo", u"適用(&V)", ""},
        {"mnuBulletRelease", u"解除(&N)", ""},
        {"mnuGoBunkatu", u"実行(&Y)", "Ctrl+G"},
        {"mnuBunkatuSet", u"設定(&M)...", ""},
        {"mnuQuickSearch", u"ｸｲｯｸｻｰﾁ(&Q)", "Ctrl+B"},
        {"mnuComment", u"注釈ｳｨﾝﾄﾞｳ(&E)", "Ctrl+E"},
        {"mnuLayout", u"ﾚｲｱｳﾄ変更(&Z)", ""},
        {"mnuOption", u"翻訳部のｵﾌﾟｼｮﾝ(&O)...", ""},
        {"mnuHelpOpen", u"ﾍﾙﾌﾟを開く(&C)...", "F1"},
        {"popCut", u"ｶｯﾄ", ""},
        {"popCopy", u"ｺﾋﾟｰ", ""},
        {"popPaste", u"貼付け", ""},
        {"popSelectAll", u"全て選択", ""},
        {"popFont", u"ﾌｫﾝﾄ設定...", ""},
        {"popQSrch", u"ｸｲｯｸｻｰﾁ", ""},
        {"popShowCmnt", u"注釈ｳｨﾝﾄﾞｳ表示", ""},
        {"popTransOption", u"翻訳部ｵﾌﾟｼｮﾝ...", ""},
    };
    for (const auto& item : items) {
        QAction* a = child<QAction>(&form, QLatin1String(item.name));
        if (!a)
            continue;
        EXPECT_EQ(a->text(), text(item.caption)) << item.name;
        EXPECT_EQ(a->shortcut().toString(), QLatin1String(item.shortcut)) << item.name;
    }
    for (const char* sub : {"mnuIndent", "mnuAlignment", "mnuBullet", "mnuBunkatu"})
        EXPECT_NE(form.findChild<QMenu*>(QLatin1String(sub)), nullptr) << sub;
    EXPECT_EQ(form.mnuIndent->title(), text(u"ｲﾝﾃﾞﾝﾄ(&I)"));
    EXPECT_EQ(form.mnuAlignment->title(), text(u"行揃え(&G)"));
    EXPECT_EQ(form.mnuBullet->title(), text(u"ﾌﾞﾚｯﾄ(&B)"));
    EXPECT_EQ(form.mnuBunkatu->title(), text(u"原文を文単位に分割(&S)"));
}

TEST(TranslatorLForm, ThePopUpIsHiddenAndOffersSelectionItemsOnlyForASelection) {
    TranslatorLForm form;
    EXPECT_FALSE(form.popPopup->isEnabled());
    EXPECT_FALSE(form.popPopup->menuAction()->isVisible());
    for (QAction* a : {form.popCut, form.popCopy, form.popFont, form.popQSrch})
        EXPECT_FALSE(a->isVisible()) << a->objectName().toStdString();
    EXPECT_FALSE(form.popSep[2]->isVisible());
    EXPECT_FALSE(form.popSep[3]->isVisible());
    for (QAction* a : {form.popPaste, form.popSelectAll, form.popShowCmnt, form.popTransOption})
        EXPECT_TRUE(a->isVisible()) << a->objectName().toStdString();
}

TEST(TranslatorLForm, WordPaneControlsCarryTheirCaptionsAndTips) {
    TranslatorLForm form;
    EXPECT_EQ(form.cmdModify->text(), text(u"修正"));
    EXPECT_EQ(form.cmdDel->text(), text(u"削除"));
    EXPECT_EQ(form.cmdDo->text(), text(u"実行"));
    EXPECT_EQ(form.cmdCancel->text(), text(u"キャンセル"));
    EXPECT_EQ(form.lblMode->text(), text(u"通常ﾓｰﾄﾞ"));
    EXPECT_EQ(form.lblMode->toolTip(), text(u"現在の処理ﾓｰﾄﾞ"));
    EXPECT_EQ(form.ud->toolTip(), text(u"[Alt] + 上（下）矢印ｷｰ"));
    EXPECT_EQ(form.lblud->text(), QStringLiteral("00000"));
    EXPECT_TRUE(form.lblud->isHidden());
    EXPECT_EQ(form.cmdAdd->text(), text(u"追加 ->"));
    EXPECT_EQ(form.cmdAdd->toolTip(), text(u"追加ﾎﾞﾀﾝ(Ctrl + \"+\")"));
    EXPECT_EQ(form.cmdCL->toolTip(), text(u"消去ﾎﾞﾀﾝ(Ctrl + \"-\")"));
    EXPECT_EQ(form.cmdAC->toolTip(), text(u"全消去ﾎﾞﾀﾝ(Alt + \"-\")"));
    ASSERT_EQ(form.lblF.size(), 8);
    ASSERT_EQ(form.lblStock.size(), 8);
    ASSERT_EQ(form.Line1.size(), 4);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(form.lblF[i]->objectName(), QStringLiteral("lblF_%1").arg(i));
        EXPECT_EQ(form.lblF[i]->text(), QString::number(i + 1));
        EXPECT_EQ(form.lblStock[i]->objectName(), QStringLiteral("lblStock_%1").arg(i));
    }
    EXPECT_EQ(form.Label1->text(), text(u"<原文>"));
    EXPECT_EQ(form.Label2->text(), text(u"<訳文>"));
    EXPECT_EQ(form.StBarPanel.size(), 3);
}

TEST(TranslatorLForm, ToolBarButtonsInOrderWithKeysAndTips) {
    TranslatorLForm form;
    QStringList keys;
    for (QAction* a : form.Toolbar1->actions())
        if (!a->isSeparator())
            keys << a->data().toString();
    EXPECT_EQ(keys, QStringList({"new", "open", "save", "print", "cut", "copy", "paste", "find",
                                 "bold", "italic", "underline", "Qsearch", "IndentDo", "ReIndent",
                                 "CmntOpen", "help"}));
    EXPECT_EQ(form.toolButton(QStringLiteral("save"))->toolTip(), text(u"ﾌﾟﾛｼﾞｪｸﾄの保存"));
    EXPECT_EQ(form.toolButton(QStringLiteral("help"))->toolTip(), text(u"ﾍﾌﾟﾙを開く"));
    EXPECT_TRUE(form.toolButton(QStringLiteral("bold"))->isCheckable());
    EXPECT_EQ(form.toolButton(QStringLiteral("nothing")), nullptr);
}

} // namespace
