// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectfiles.h"
#include "core/store/book.h"
#include "platform/errorguard.h"
#include "support/scripteddialogs.h"
#include "support/terminatorspy.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

const QString ReportOnlyText = QStringLiteral(
    " ｴﾗｰ番号 =  53\r\n"
    " ｴﾗｰ情報 = ファイルが見つかりません。\r\n"
    " 「ｲﾆｼｬﾙﾊﾟﾚｯﾄのﾌｫﾝﾄ情報読み込み時」ｴﾗｰが発生しました。頻繁にｴﾗｰが発生するようでしたら\r\n"
    " お手数ですがこのｴﾗｰのすべての内容を作者までご連絡下されば幸いです。");

TEST(ErrorGuard, ReportOnlyHandlerShowsTheReportAndCarriesOn) {
    ScriptedDialogs dialogs;
    TerminatorSpy terminator;
    dialogs.expectMessage(Answer::Ok);
    bool after = false;
    const bool ok = guarded({QStringLiteral("ｲﾆｼｬﾙﾊﾟﾚｯﾄのﾌｫﾝﾄ情報読み込み時"),
                             QStringLiteral("Error212"), GuardKind::ReportOnly},
                            [&] {
                                throw RuntimeFailure(failure::FileNotFound);
                                after = true;
                            });
    EXPECT_FALSE(ok);
    EXPECT_FALSE(after);
    ASSERT_EQ(dialogs.boxes().size(), 1);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("Error212"));
    EXPECT_EQ(dialogs.lastBox().text, ReportOnlyText);
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::Ok);
    EXPECT_EQ(terminator.calls(), 0);
}

TEST(ErrorGuard, BareContextIsShownWithoutBrackets) {
    ScriptedDialogs dialogs;
    dialogs.expectMessage(Answer::Ok);
    guarded(withBareContext(reportOnly(u"ｽﾄｯｸﾎﾞｯｸｽ消去時", "Error219")),
            [] { throw RuntimeFailure(failure::SubscriptOutOfRange); });
    ASSERT_EQ(dialogs.boxes().size(), 1);
    const QStringList lines = dialogs.lastBox().text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[2],
              QStringLiteral(" ｽﾄｯｸﾎﾞｯｸｽ消去時ｴﾗｰが発生しました。頻繁にｴﾗｰが発生するようでしたら"));
}

TEST(ErrorGuard, TerminatingHandlerShowsTheSecondBoxAndEnds) {
    ScriptedDialogs dialogs;
    TerminatorSpy terminator;
    dialogs.expectMessage(Answer::Ok).expectMessage(Answer::Ok);
    guarded({QStringLiteral("ﾒｲﾝﾌｫｰﾑﾛｰﾄﾞ時"), QStringLiteral("Error72"), GuardKind::Terminating,
             ClosingLine::AllContents},
            [] { throw RuntimeFailure(-5); });
    ASSERT_EQ(dialogs.boxes().size(), 2);
    EXPECT_EQ(dialogs.boxes()[0].title, QStringLiteral("Error72"));
    EXPECT_EQ(dialogs.boxes()[0].text,
              QStringLiteral(" ｴﾗｰ番号 = -5\r\n ｴﾗｰ情報 = ") + RuntimeFailure::describe(-5) +
                  QStringLiteral(
                      "\r\n 「ﾒｲﾝﾌｫｰﾑﾛｰﾄﾞ時」ｴﾗｰが発生しました。頻繁にｴﾗｰが発生するようでしたら\r\n"
                      " お手数ですがこのｴﾗｰ内容をすべて作者までご連絡下されば幸いです。"));
    EXPECT_EQ(dialogs.boxes()[1].title, QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの終了"));
    EXPECT_EQ(dialogs.boxes()[1].text,
              QStringLiteral("予期出来なかったｴﾗｰです。ﾃﾞｰﾀ保護のためｱﾌﾟﾘｹｰｼｮﾝを強制終了します。"));
    EXPECT_EQ(terminator.calls(), 1);
}

// Exceptions other than the numbered failures reach the report too: the program's own say why in
// Japanese, and a library's English text comes only behind a Japanese description.
TEST(ErrorGuard, EveryDescriptionInTheReportIsJapanese) {
    ScriptedDialogs dialogs;
    auto descriptionOf = [&dialogs](const std::function<void()>& body) {
        dialogs.expectMessage(Answer::Ok);
        guarded(reportOnly(u"OK時", "Error105"), body);
        const QString text = dialogs.lastBox().text;
        const qsizetype start = text.indexOf(QStringLiteral("ｴﾗｰ情報 = ")) + 8;
        return text.mid(start, text.indexOf(QStringLiteral("\r\n"), start) - start);
    };
    const QString refusal = QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ名に「\"」は使えません。");
    EXPECT_EQ(descriptionOf([&] { throw PlanRefused(refusal); }), refusal);
    EXPECT_EQ(descriptionOf([&] { throw WordRefused(refusal); }), refusal);
    EXPECT_EQ(descriptionOf([] { throw BookMissing(); }),
              QStringLiteral("ブック（フォルダ）が見つかりません。"));
    EXPECT_EQ(descriptionOf([] { throw std::out_of_range("vector::_M_range_check"); }),
              RuntimeFailure::describe(failure::InvalidCall) +
                  QStringLiteral(" (vector::_M_range_check)"));
    EXPECT_TRUE(dialogs.done());
}

TEST(ErrorGuard, ScriptedDialogsFailOnAnUnexpectedBox) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDialogs dialogs;
            showMessage(QStringLiteral("surprise"));
        },
        "unexpected dialog: Verbanta: surprise");
}

} // namespace
