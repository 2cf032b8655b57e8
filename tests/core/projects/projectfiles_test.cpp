// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/failure.h"
#include "core/projects/projectfiles.h"
#include "core/projects/projectstate.h"
#include "core/text/cp932.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

PlanInfo sample() {
    PlanInfo p;
    p.planName = QStringLiteral("第1章");
    p.orgFilePath = QStringLiteral("/home/yuki/原文/chapter1.rtf");
    p.orgFileName = QStringLiteral("chapter1.rtf");
    p.transFilePath = QStringLiteral("/home/yuki/訳/chapter1.rtf");
    p.transFileName = QStringLiteral("chapter1.rtf");
    p.useOrgFile = true;
    p.stackedPanes = true;
    p.useCmnt = false;
    p.cmntFilePath = QString();
    return p;
}

TEST(ProjectFiles, RecordLinesAreWrittenByteForByte) {
    TempAppFolder app;
    const QByteArray line = projectfiles::recordLine(sample());
    EXPECT_EQ(
        line,
        cp932::encode(QStringLiteral(
            "\"第1章\",\"/home/yuki/原文/chapter1.rtf\",\"chapter1.rtf\","
            "\"/home/yuki/訳/chapter1.rtf\",\"chapter1.rtf\",#TRUE#,#TRUE#,#FALSE#,\"\"\r\n")));
    // CP932 on disk: 第 is 0x91 0xE6.
    EXPECT_TRUE(line.startsWith("\"\x91\xe6"
                                "1"));

    PlanInfo second;
    second.planName = QStringLiteral("memo");
    second.transFilePath = QStringLiteral("/tmp/memo.txt");
    second.transFileName = QStringLiteral("memo.txt");
    second.useOrgFile = false;
    second.cmntFilePath = QStringLiteral("/tmp/Cm_memo.txt");
    projectfiles::savePlanList(app.path(), {sample(), second});
    EXPECT_EQ(app.read("trinfo.vtd"),
              line + "\"memo\",\"\",\"\",\"/tmp/memo.txt\",\"memo.txt\",#FALSE#,#TRUE#,#TRUE#,"
                     "\"/tmp/Cm_memo.txt\"\r\n");
    EXPECT_EQ(projectfiles::loadPlanList(app.path()), PlanList({sample(), second}));

    projectfiles::saveCurrentPlan(app.path(), second);
    EXPECT_EQ(app.read("ctrinfo.vtd"), projectfiles::recordLine(second));
    EXPECT_EQ(projectfiles::loadCurrentPlan(app.path()), second);
}

TEST(ProjectFiles, ReadingAcceptsLineBreaksBetweenFieldsAndMissingFilesGiveDefaults) {
    TempAppFolder app;
    EXPECT_TRUE(projectfiles::loadPlanList(app.path()).empty());
    EXPECT_EQ(projectfiles::loadCurrentPlan(app.path()), std::nullopt);
    EXPECT_EQ(projectfiles::loadTabStops(app.path()), DefaultTabStops);

    app.write("ctrinfo.vtd", "\"a\",\"\"\r\n\"\",\"/t/b.rtf\"\n\"b.rtf\"\r\n#FALSE#\r\n#FALSE#,"
                             "#TRUE#\r\n\"/t/Cm_b.rtf\"\r\n");
    const PlanInfo plan = *projectfiles::loadCurrentPlan(app.path());
    EXPECT_EQ(plan.planName, "a");
    EXPECT_EQ(plan.transFilePath, "/t/b.rtf");
    EXPECT_EQ(plan.transFileName, "b.rtf");
    EXPECT_FALSE(plan.useOrgFile);
    EXPECT_FALSE(plan.stackedPanes);
    EXPECT_TRUE(plan.useCmnt);
    EXPECT_EQ(plan.cmntFilePath, "/t/Cm_b.rtf");
}

// The program never writes a damaged project file; one damaged from outside must not lock the
// user out. It is reported by name, its bytes are kept under another name, the records that can
// be read are kept (and written back), and a damaged ctrinfo.vtd leaves no project in use.
TEST(ProjectFiles, DamagedProjectFilesAreSetAsideAndWhatCanBeReadIsKept) {
    TempAppFolder app;
    PlanInfo good = sample();
    good.planName = QStringLiteral("good");
    const QByteArray goodLine = projectfiles::recordLine(good);
    const QByteArray badLines[] = {
        "\"a\",\"\",\"\",\"/t/b.rtf\",\"b.rtf\",yes,#TRUE#,#TRUE#,\"\"\r\n", // not a boolean
        "\"a\",\"\",\"\"\r\n",                                               // cut short
        "\"a\x01"
        "b\",\"\",\"\",\"/t/b.rtf\",\"b.rtf\",#TRUE#,#TRUE#,#TRUE#,\"\"\r\n", // control
    };
    for (const QByteArray& bad : badLines) {
        SCOPED_TRACE(bad.toStdString());
        TempAppFolder folder;
        const QByteArray damaged = goodLine + bad;
        folder.write("trinfo.vtd", damaged);
        std::optional<projectfiles::FileDamage> damage;
        EXPECT_EQ(projectfiles::loadPlanList(folder.path(), &damage), PlanList({good}));
        ASSERT_TRUE(damage);
        EXPECT_EQ(damage->fileName, QStringLiteral("trinfo.vtd"));
        EXPECT_EQ(damage->recordsKept, 1);
        EXPECT_EQ(folder.read(damage->keptAs), damaged);
        EXPECT_TRUE(damage->message().contains(QStringLiteral("「trinfo.vtd」")));
        EXPECT_TRUE(damage->message().contains(damage->keptAs));
        // The list is whole again: the next reading finds nothing wrong.
        damage.reset();
        EXPECT_EQ(projectfiles::loadPlanList(folder.path(), &damage), PlanList({good}));
        EXPECT_FALSE(damage);
    }

    // ctrinfo.vtd: empty, garbage, a folder in its place, a document that is a file of ours.
    PlanInfo ownFile = good;
    ownFile.transFilePath = app.file("curFData.vtd");
    const QByteArray currentFiles[] = {"", "\x81\xffgarbage", "FOLDER",
                                       projectfiles::recordLine(ownFile)};
    for (const QByteArray& content : currentFiles) {
        SCOPED_TRACE(content.toStdString());
        if (content == "FOLDER")
            QDir().mkpath(app.file("ctrinfo.vtd"));
        else
            app.write("ctrinfo.vtd", content);
        std::optional<projectfiles::FileDamage> damage;
        EXPECT_EQ(projectfiles::loadCurrentPlan(app.path(), &damage), std::nullopt);
        ASSERT_TRUE(damage);
        EXPECT_TRUE(damage->currentPlanFile);
        EXPECT_FALSE(damage->keptAs.isEmpty());
        EXPECT_TRUE(QFileInfo::exists(app.file(damage->keptAs)));
        EXPECT_FALSE(QFileInfo::exists(app.file("ctrinfo.vtd")));
    }
    EXPECT_TRUE(projectfiles::namesOwnFile(app.path(), app.file("英単語/means.vtd")));
    EXPECT_FALSE(projectfiles::namesOwnFile(app.path(), app.file("訳.rtf")));
    EXPECT_FALSE(projectfiles::namesOwnFile(app.path(), QStringLiteral("/t/b.vtd")));
}

TEST(ProjectFiles, TheListIsNeverLeftEmptyAndDropsDeletedEntriesOnlyWhenAsked) {
    TempAppFolder app;
    PlanInfo deleted = sample();
    deleted.planName = projectfiles::DeletedMarker;
    PlanInfo kept = sample();
    kept.planName = QStringLiteral("kept");
    projectfiles::savePlanList(app.path(), {deleted, kept});
    EXPECT_EQ(projectfiles::loadPlanList(app.path()).size(), 2u);
    projectfiles::savePlanList(app.path(), {deleted, kept}, /*dropDeleted=*/true);
    EXPECT_EQ(projectfiles::loadPlanList(app.path()), PlanList({kept}));
    projectfiles::savePlanList(app.path(), {deleted}, true);
    EXPECT_FALSE(app.exists("trinfo.vtd"));
    projectfiles::savePlanList(app.path(), {});
    EXPECT_FALSE(app.exists("trinfo.vtd"));

    projectfiles::saveCurrentPlan(app.path(), kept);
    projectfiles::removeCurrentPlan(app.path());
    EXPECT_FALSE(app.exists("ctrinfo.vtd"));
    projectfiles::removeCurrentPlan(app.path()); // already gone: nothing to do
}

TEST(ProjectFiles, NamesAndPathsTheRecordCannotHoldAreRefusedBeforeAnythingIsWritten) {
    TempAppFolder app;
    projectfiles::savePlanList(app.path(), {sample()});
    const QByteArray before = app.read("trinfo.vtd");
    EXPECT_EQ(projectfiles::refusalFor(sample()), QString());

    auto refusal = [](void (*change)(PlanInfo&)) {
        PlanInfo p = sample();
        change(p);
        return projectfiles::refusalFor(p);
    };
    EXPECT_EQ(refusal([](PlanInfo& p) { p.planName = "say \"hi\""; }),
              QStringLiteral("プロジェクト名にダブルクォーテーション（\"）は使えません。"));
    EXPECT_EQ(refusal([](PlanInfo& p) { p.transFilePath = "/t/a\nb.rtf"; }),
              QStringLiteral("訳文ファイルのパスに改行やタブなどの制御文字は使えません。"));
    EXPECT_EQ(refusal([](PlanInfo& p) { p.orgFilePath = QStringLiteral("/t/한국어.rtf"); }),
              QStringLiteral("原文ファイルのパスに保存できない文字が含まれています：한국어"));
    // A wave dash reads back from the code page as a full-width tilde: the stored path would
    // name another file.
    EXPECT_EQ(refusal([](PlanInfo& p) { p.cmntFilePath = QStringLiteral("/t/a〜b.rtf"); }),
              QStringLiteral("注釈ファイルのパスに保存できない文字が含まれています：〜"));

    PlanInfo bad = sample();
    bad.planName = QStringLiteral("a\"b");
    EXPECT_THROW(projectfiles::savePlanList(app.path(), {sample(), bad}), PlanRefused);
    EXPECT_THROW(projectfiles::saveCurrentPlan(app.path(), bad), PlanRefused);
    EXPECT_EQ(app.read("trinfo.vtd"), before);
    EXPECT_FALSE(app.exists("ctrinfo.vtd"));
}

TEST(ProjectFiles, TabStopsAreFourSignedLines) {
    TempAppFolder app;
    projectfiles::saveTabStops(app.path(), {240, -15, 1440, 32767});
    EXPECT_EQ(app.read("trtabs.vtd"), "240\r\n-15\r\n1440\r\n32767\r\n");
    EXPECT_EQ(projectfiles::loadTabStops(app.path()), TabStops({240, -15, 1440, 32767}));
    // Damaged tab stops give way to the defaults; the file is kept aside and reported.
    app.write("trtabs.vtd", "1\r\n2\r\n3\r\n40000\r\n");
    std::optional<projectfiles::FileDamage> damage;
    EXPECT_EQ(projectfiles::loadTabStops(app.path(), &damage), DefaultTabStops);
    ASSERT_TRUE(damage);
    EXPECT_EQ(damage->fileName, QStringLiteral("trtabs.vtd"));
    EXPECT_EQ(app.read(damage->keptAs), "1\r\n2\r\n3\r\n40000\r\n");
    EXPECT_TRUE(damage->message().contains(QStringLiteral("「trtabs.vtd」")));
    EXPECT_TRUE(damage->message().contains(damage->keptAs));
    app.write("trtabs.vtd", "1\r\n2\r\n");
    EXPECT_EQ(projectfiles::loadTabStops(app.path()), DefaultTabStops);
    EXPECT_FALSE(app.exists("trtabs.vtd"));
}

TEST(ProjectFiles, TheCommentFileLiesBesideTheTranslation) {
    EXPECT_EQ(projectfiles::commentFilePath("/home/reader/chapter1.rtf", "chapter1.rtf"),
              "/home/reader/Cm_chapter1.rtf");
    EXPECT_EQ(projectfiles::commentFilePath("/home/reader/訳/memo.txt", "memo.txt"),
              QStringLiteral("/home/reader/訳/Cm_memo.txt"));
    EXPECT_EQ(projectfiles::commentFilePath("memo.txt", "memo.txt"), "Cm_memo.txt");
}

TEST(ProjectState, TheEditorStartsFromTheFilesWithEverythingElseReset) {
    TempAppFolder app;
    ProjectState state;
    state.orgModified = state.transModified = state.cmntLoaded = true;
    state.quickSearch.approxSearch = true;
    state.indentWidth = 100;
    state.split.numbering = false;
    state.stackedPanes = false;
    EXPECT_FALSE(state.startEditor(app.path()));
    EXPECT_FALSE(state.projectInUse());
    EXPECT_FALSE(state.orgModified || state.transModified || state.cmntLoaded);
    EXPECT_FALSE(state.quickSearch.approxSearch);
    EXPECT_EQ(state.indentWidth, 480);
    EXPECT_TRUE(state.split.numbering);
    EXPECT_EQ(state.split.afterNumber, " : ");
    EXPECT_EQ(state.split.terminators, ".!?");
    EXPECT_EQ(state.split.blockSpacing, 1);
    EXPECT_TRUE(state.useOrgFile && state.stackedPanes);
    EXPECT_EQ(state.tabStops, DefaultTabStops);
    EXPECT_EQ(state.current, PlanInfo());

    PlanInfo plan = sample();
    plan.useOrgFile = false;
    plan.stackedPanes = false;
    projectfiles::saveCurrentPlan(app.path(), plan);
    projectfiles::saveTabStops(app.path(), {1, 2, 3, 4});
    EXPECT_TRUE(state.startEditor(app.path()));
    EXPECT_TRUE(state.projectInUse());
    EXPECT_EQ(state.current, plan);
    EXPECT_FALSE(state.useOrgFile);
    EXPECT_FALSE(state.stackedPanes);
    EXPECT_EQ(state.tabStops, TabStops({1, 2, 3, 4}));

    // After New the file holds a fresh record: present, but no project in use.
    projectfiles::saveCurrentPlan(app.path(), PlanInfo());
    EXPECT_TRUE(state.startEditor(app.path()));
    EXPECT_FALSE(state.projectInUse());
    EXPECT_TRUE(state.useOrgFile && state.stackedPanes && state.current.useCmnt);
}

} // namespace
