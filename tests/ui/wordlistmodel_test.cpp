// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/wordindex.h"
#include "support/indexbuilder.h"
#include "ui/wordlistmodel.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

namespace {

TEST(WordListModel, ViewsAndCheckMarksStayConsistent) {
    WordIndex index = indexOf({"apple", "banana", "avocado", "cherry"});
    WordListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    model.showAll(&index);
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.data(model.index(1), Qt::DisplayRole).toString(), "avocado");

    // A check set through the view lands on the word, whatever view shows it.
    EXPECT_TRUE(model.setData(model.index(3), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(index.at(3).checkMark);
    model.showFiltered(&index, index.filterByInitial("A", "A"));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.indexPosition(1), 1);
    EXPECT_EQ(model.rowOfPosition(3), -1);
    model.setAllChecked(true);
    model.showAll(&index);
    EXPECT_TRUE(model.isChecked(0));
    EXPECT_TRUE(model.isChecked(1));
    EXPECT_FALSE(model.isChecked(2));
    EXPECT_TRUE(model.isChecked(3));
    model.invertChecks();
    EXPECT_EQ(index.checkedCount(), 1);
    EXPECT_TRUE(index.at(2).checkMark);

    // The index changes under the view; a refresh shows it.
    index.insert({"aardvark", 5, false});
    model.refresh();
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.data(model.index(0), Qt::DisplayRole).toString(), "aardvark");
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

} // namespace
