// SPDX-License-Identifier: GPL-3.0-or-later
#include "translator/panelayout.h"

#include <gtest/gtest.h>

namespace {

using panelayout::arrange;
using panelayout::Rect;

TEST(PaneLayout, StackedSplitsThePaneAreaAtItsMiddle) {
    // 9000 high: pane height 6370, split line 5465.
    EXPECT_EQ(panelayout::paneHeight(9000), 6370);
    EXPECT_EQ(panelayout::splitLine(9000), 5465);
    const auto a = arrange(12600, 9000, true, true);
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->originalVisible);
    EXPECT_EQ(a->original, (Rect{100, 2280, 12400, 2885}));
    EXPECT_EQ(a->translation, (Rect{100, 5355, 12400, 3485}));
    EXPECT_TRUE(a->label2Visible);
    EXPECT_EQ(a->label2Left, 180);
    EXPECT_EQ(a->label2Top, 5165);
    EXPECT_EQ(a->label1Caption, QStringLiteral("<原文>"));
    EXPECT_TRUE(a->layoutCommandEnabled);
}

TEST(PaneLayout, SplitLineRoundsHalvesToEven) {
    // Pane heights 1 and 3 put the middle on a half twip.
    EXPECT_EQ(panelayout::splitLine(2631), 2280);
    EXPECT_EQ(panelayout::splitLine(2633), 2282);
    EXPECT_EQ(panelayout::splitLine(2635), 2282);
}

TEST(PaneLayout, SideBySideAtWidth10000) {
    const auto a = arrange(10000, 9000, true, false);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->original, (Rect{100, 2280, 4850, 6370}));
    EXPECT_EQ(a->translation, (Rect{5050, 2280, 4850, 6370}));
    EXPECT_EQ(a->label2Left, 5150);
    EXPECT_TRUE(a->label2BesideLabel1);
}

TEST(PaneLayout, WithoutAnOriginalTheTranslationFillsThePaneArea) {
    const auto a = arrange(12600, 9000, false, true);
    ASSERT_TRUE(a);
    EXPECT_FALSE(a->originalVisible);
    EXPECT_FALSE(a->layoutCommandEnabled);
    EXPECT_FALSE(a->label2Visible);
    EXPECT_EQ(a->label1Caption, QStringLiteral("<訳文>"));
    EXPECT_EQ(a->translation, (Rect{100, 2280, 12400, 6370}));
}

TEST(PaneLayout, RefusesSizesThatWouldGiveAPaneANegativeSize) {
    // Stacked, the original pane's height P / 2 - 300 reaches zero at 3230.
    EXPECT_FALSE(arrange(12600, 3229, true, true));
    EXPECT_TRUE(arrange(12600, 3230, true, true));
    // Side by side and alone, the panes take the whole pane height.
    EXPECT_FALSE(arrange(12600, 2629, true, false));
    EXPECT_TRUE(arrange(12600, 2630, true, false));
    EXPECT_FALSE(arrange(12600, 2629, false, true));
    EXPECT_TRUE(arrange(12600, 2630, false, true));
    // Too narrow for the panes' widths.
    EXPECT_FALSE(arrange(199, 9000, true, true));
    EXPECT_FALSE(arrange(299, 9000, true, false));
    EXPECT_TRUE(arrange(300, 9000, true, false));
}

} // namespace
