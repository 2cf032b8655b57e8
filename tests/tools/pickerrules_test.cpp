// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/folderidentity.h"
#include "support/tempappfolder.h"
#include "tools/pickerrules.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(PickerRules, OneFolderReachedByTwoPathsIsOneBook) {
    TempAppFolder app;
    QDir(app.path()).mkpath("a/inner");
    QFile::link(app.file("a"), app.file("link"));
    const QString a = app.file("a");
    EXPECT_TRUE(sameFolder(a, app.file("link")));
    EXPECT_TRUE(sameFolder(a, a + "/"));
    EXPECT_TRUE(sameFolder(a, app.file("a/inner/..")));
    EXPECT_TRUE(sameFolder(a, app.file("./a")));
    EXPECT_FALSE(sameFolder(a, app.file("a/inner")));
    EXPECT_FALSE(sameFolder(a, QString()));
    EXPECT_FALSE(sameFolder(QString(), QString()));
    // A folder that is not there yet still compares by its cleaned path.
    EXPECT_TRUE(sameFolder(app.file("gone"), app.file("a/../gone/")));
}

TEST(PickerRules, MergeFoldersRefuseTheOtherTwo) {
    TempAppFolder app;
    QDir(app.path()).mkpath("a");
    QDir(app.path()).mkpath("b");
    QDir(app.path()).mkpath("t");
    QFile::link(app.file("a"), app.file("alias"));
    const MergePicks picks{app.file("a"), app.file("b"), app.file("t")};
    const QString sameA = "ﾌﾞｯｸＡと同じﾌﾞｯｸです。別のﾌﾞｯｸを選んでください";
    const QString sameB = "ﾌﾞｯｸＢと同じﾌﾞｯｸです。別のﾌﾞｯｸを選んでください";
    const QString sameT = "統合先ﾌﾞｯｸと同じﾌﾞｯｸです。別のﾌﾞｯｸを選んでください";
    using pickerrules::sameBookRefusal;
    EXPECT_EQ(sameBookRefusal(PickPurpose::BookB, app.file("alias"), picks), sameA);
    EXPECT_EQ(sameBookRefusal(PickPurpose::MergeTarget, app.file("alias/"), picks), sameA);
    EXPECT_EQ(sameBookRefusal(PickPurpose::BookA, app.file("b"), picks), sameB);
    EXPECT_EQ(sameBookRefusal(PickPurpose::MergeTarget, app.file("b"), picks), sameB);
    EXPECT_EQ(sameBookRefusal(PickPurpose::BookA, app.file("t"), picks), sameT);
    EXPECT_EQ(sameBookRefusal(PickPurpose::BookB, app.file("t"), picks), sameT);
    // Picking a folder again for its own row is allowed, and import/export check for themselves.
    EXPECT_EQ(sameBookRefusal(PickPurpose::BookA, app.file("a"), picks), QString());
    EXPECT_EQ(sameBookRefusal(PickPurpose::ImportSource, app.file("a"), picks), QString());
    EXPECT_EQ(sameBookRefusal(PickPurpose::ExportTarget, app.file("b"), picks), QString());
    // B picked before A: the A pick is checked against B.
    EXPECT_EQ(sameBookRefusal(PickPurpose::BookA, app.file("b"), {{}, app.file("b"), {}}), sameB);
}

TEST(PickerRules, ABookIsAFolderWithAMeaningsFileAndTheCheckWritesNothing) {
    TempAppFolder app;
    QDir(app.path()).mkpath("plain");
    QDir(app.path()).mkpath("book");
    app.write("book/means.vtd", QByteArray(200, ' '));
    EXPECT_FALSE(pickerrules::isBookFolder(app.file("plain")));
    EXPECT_TRUE(pickerrules::isBookFolder(app.file("book")));
    EXPECT_EQ(app.entries("plain"), QStringList());
    EXPECT_EQ(app.entries("book"), QStringList({"means.vtd"}));
    EXPECT_EQ(pickerrules::folderName("/x/y/Book1"), "Book1");
    EXPECT_EQ(pickerrules::folderName("/x/y/Book1/"), "Book1");
    EXPECT_EQ(pickerrules::folderName("/"), "");
}

} // namespace
