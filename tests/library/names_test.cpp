// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/failure.h"
#include "core/settings/booklist.h"
#include "core/settings/languageset.h"
#include "support/tempappfolder.h"

#include <gtest/gtest.h>

namespace {

TEST(Names, TypedNamesTakeTheFormTheCodePageReadsBack) {
    // What Japanese input methods type, against what the list files give back.
    EXPECT_EQ(names::stored(QStringLiteral("a\u301Cb\u2212c\u2016d\u00A2\u00A3\u00AC")),
              QStringLiteral("a\uFF5Eb\uFF0Dc\u2225d\uFFE0\uFFE1\uFFE2"));
    EXPECT_EQ(names::stored(QStringLiteral("英単語")), QStringLiteral("英単語"));
    for (names::Kind kind : {names::Kind::Book, names::Kind::Set})
        EXPECT_TRUE(names::refusal(QStringLiteral("〜単語−"), kind).isEmpty());
}

TEST(Names, RefusedNames) {
    for (const QString& bad :
         {QString(), QStringLiteral("  "), QStringLiteral("."), QStringLiteral(".."),
          QStringLiteral("a\"b"), QStringLiteral("a/b"), QStringLiteral("a\\b"),
          QStringLiteral("a\u00A5b"), QStringLiteral("a\nb"), QStringLiteral("😀")})
        for (names::Kind kind : {names::Kind::Book, names::Kind::Set}) {
            EXPECT_FALSE(names::refusal(bad, kind).isEmpty()) << bad.toStdString();
            EXPECT_FALSE(names::refusalForNew(bad, kind).isEmpty()) << bad.toStdString();
        }
    // Only new names are held to the length limit: a book made before keeps working.
    const QString longest(names::MaxLength, QChar(u'語'));
    const QString tooLong(names::MaxLength + 1, QChar(u'a'));
    EXPECT_TRUE(names::refusalForNew(longest, names::Kind::Book).isEmpty());
    EXPECT_FALSE(names::refusalForNew(tooLong, names::Kind::Book).isEmpty());
    EXPECT_FALSE(names::refusalForNew(tooLong, names::Kind::Set).isEmpty());
    EXPECT_TRUE(names::refusal(tooLong, names::Kind::Book).isEmpty());
    // A set file may not replace one of the program's files; a book folder of that name is fine.
    for (const QString& own :
         {QStringLiteral("Initial"), QStringLiteral("opfini"), QStringLiteral("CURFDATA"),
          QStringLiteral("langset"), QStringLiteral("DirInfo"), QStringLiteral("trinfo"),
          QStringLiteral("ctrinfo"), QStringLiteral("trTabs"), QStringLiteral("reviewset")}) {
        EXPECT_FALSE(names::refusal(own, names::Kind::Set).isEmpty()) << own.toStdString();
        EXPECT_TRUE(names::refusal(own, names::Kind::Book).isEmpty()) << own.toStdString();
        // A book folder may not stand where one of those files is written.
        EXPECT_FALSE(names::refusal(own + QStringLiteral(".VTD"), names::Kind::Book).isEmpty());
    }
}

TEST(Names, SetFilesAreNeverReachedByANameThatCouldNotBeTyped) {
    TempAppFolder app;
    for (const QString& bad : {QStringLiteral("../outside"), QStringLiteral("Initial"), QString()})
        EXPECT_THROW(languageset::filePath(app.path(), bad), RuntimeFailure) << bad.toStdString();
}

} // namespace
