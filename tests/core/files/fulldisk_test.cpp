// SPDX-License-Identifier: GPL-3.0-or-later
// Every kind of file the program rewrites, on a disk that fills up part-way through the write or
// whose syncs fail: the old file stays as it was, byte for byte, and the failure names the file.
#include "core/files/failure.h"
#include "core/projects/projectfiles.h"
#include "core/richtext/documentfile.h"
#include "core/settings/booklist.h"
#include "core/settings/languageset.h"
#include "core/settings/settings.h"
#include "core/store/book.h"
#include "core/store/storedtext.h"
#include "support/bookbuilder.h"
#include "support/failingdisk.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <functional>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using storedtext::trimmedRight;

// Runs write() and expects it to fail as a full disk, naming the file.
void expectDiskFull(const std::function<void()>& write, const QString& fileName,
                    int number = failure::DiskFull) {
    try {
        write();
        ADD_FAILURE() << "the write of " << fileName.toStdString() << " did not fail";
    } catch (const RuntimeFailure& f) {
        EXPECT_EQ(f.number(), number) << f.description().toStdString();
        EXPECT_TRUE(f.description().contains(fileName)) << f.description().toStdString();
    }
}

struct SettingsFile {
    QString name;
    std::function<void(const QString& folder)> write;
};

TEST(FullDisk, SettingsAndListFilesKeepTheirOldContents) {
    DisplaySettings display = SetDefaultDisplaySettings();
    display.word.name = QStringLiteral("ＭＳ ゴシック");
    PaletteFont palette = SetDefaultPaletteFont();
    palette.size = 20;
    PaletteRows rows = SetDefaultLanguageSet();
    rows[0].rangeEnd = QStringLiteral("B");
    PlanInfo plan;
    plan.planName = QStringLiteral("翻訳");
    plan.orgFilePath = QStringLiteral("/home/user/org.rtf");
    const std::vector<SettingsFile> files = {
        {projectfiles::PlanListFile,
         [&](auto& f) {
             projectfiles::savePlanList(f, {plan, plan});
         }},
        {projectfiles::CurrentPlanFile, [&](auto& f) { projectfiles::saveCurrentPlan(f, plan); }},
        {projectfiles::TabStopsFile,
         [](auto& f) {
             projectfiles::saveTabStops(f, {100, 200, 300, 400});
         }},
        {settingsfile::DisplaySettings, [&](auto& f) { WriteDisplaySettings(f, display); }},
        {settingsfile::PaletteFont, [&](auto& f) { WritePaletteFont(f, palette); }},
        {settingsfile::CurrentBook,
         [](auto& f) {
             writeCurrentBook(f, {QStringLiteral("仏単語"), QStringLiteral("仏ｾｯﾄ")});
         }},
        {languageset::ListFile,
         [](auto& f) {
             languageset::writeList(f, {QStringLiteral("英語ｾｯﾄ"), QStringLiteral("仏ｾｯﾄ")});
         }},
        {QStringLiteral("英語ｾｯﾄ.vtd"),
         [&](auto& f) { languageset::write(f, QStringLiteral("英語ｾｯﾄ"), rows); }},
        {booklist::File,
         [](auto& f) {
             booklist::write(f, {{QStringLiteral("英単語"), QStringLiteral("英語ｾｯﾄ")},
                                 {QStringLiteral("仏単語"), QStringLiteral("仏ｾｯﾄ")}});
         }},
    };

    TempAppFolder app;
    WriteDisplaySettings(app.path(), SetDefaultDisplaySettings());
    WritePaletteFont(app.path(), SetDefaultPaletteFont());
    writeCurrentBook(app.path(), {QStringLiteral("英単語"), QStringLiteral("英語ｾｯﾄ")});
    languageset::write(app.path(), QStringLiteral("英語ｾｯﾄ"), SetDefaultLanguageSet());
    languageset::write(app.path(), QStringLiteral("仏ｾｯﾄ"), SetDefaultLanguageSet());
    languageset::writeList(app.path(), {QStringLiteral("英語ｾｯﾄ")});
    booklist::write(app.path(), {{QStringLiteral("英単語"), QStringLiteral("英語ｾｯﾄ")}});
    projectfiles::savePlanList(app.path(), {PlanInfo{QStringLiteral("old")}});
    projectfiles::saveCurrentPlan(app.path(), PlanInfo{QStringLiteral("old")});
    projectfiles::saveTabStops(app.path(), DefaultTabStops);
    const QStringList entries = app.entries();

    for (const SettingsFile& file : files) {
        SCOPED_TRACE(file.name.toStdString());
        // The new bytes, written where the same files are present.
        QTemporaryDir scratch;
        for (const QString& name : app.entries())
            QFile::copy(app.file(name), scratch.path() + u'/' + name);
        QFile::remove(scratch.path() + u'/' + file.name);
        file.write(scratch.path());
        QFile written(scratch.path() + u'/' + file.name);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QByteArray newBytes = written.readAll();
        const qint64 newSize = newBytes.size();
        const QByteArray old = app.read(file.name);
        for (const qint64 budget : {qint64(0), newSize / 2, newSize - 1}) {
            FailingDisk disk(budget);
            expectDiskFull([&] { file.write(app.path()); }, file.name);
        }
        {
            FailingDisk disk(-1);
            disk.failSyncs();
            expectDiskFull([&] { file.write(app.path()); }, file.name, failure::DeviceIo);
        }
        EXPECT_EQ(app.read(file.name), old);
        EXPECT_EQ(app.entries(), entries); // no work file left behind
        // With room on the disk the same write goes through.
        FailingDisk roomy(newSize);
        file.write(app.path());
        EXPECT_EQ(app.read(file.name), newBytes);
    }
}

TEST(FullDisk, ADocumentThatDoesNotFitKeepsTheOldOne) {
    TempAppFolder app;
    const QString path = app.file(QStringLiteral("訳文.rtf"));
    QTextDocument document;
    document.setPlainText(QStringLiteral("古い訳文"));
    ASSERT_TRUE(richtext::saveDocument(path, document));
    const QByteArray old = app.read(QStringLiteral("訳文.rtf"));
    document.setPlainText(QStringLiteral("新しい訳文").repeated(100));
    for (const qint64 budget : {0, 100}) {
        FailingDisk disk(budget);
        QString error;
        EXPECT_FALSE(richtext::saveDocument(path, document, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("ディスクの空き容量が不足しています")))
            << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("訳文.rtf"))) << error.toStdString();
    }
    EXPECT_EQ(app.read(QStringLiteral("訳文.rtf")), old);
    EXPECT_EQ(app.entries(), QStringList({QStringLiteral("訳文.rtf")}));
}

// The same through the system itself: a file-size limit makes the kernel refuse the write part-way,
// as a full disk does. Run in a child process, which the limit would otherwise outlive.
TEST(FullDisk, ARealShortWriteIsCaught) {
    TempAppFolder app;
    const QString path = app.file(QStringLiteral("Initial.vtd"));
    app.write(QStringLiteral("Initial.vtd"), "old");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            writeFileAtomically(path, QByteArray(1000, 'x'));
        } catch (const RuntimeFailure& f) {
            _exit(f.number() == failure::DiskFull ? 0 : 1);
        }
        _exit(2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: another failure, 2: no failure at all";
    EXPECT_EQ(app.read(QStringLiteral("Initial.vtd")), "old");
    EXPECT_EQ(app.entries(), QStringList({"Initial.vtd"}));
}

class FullDiskBook : public ::testing::Test {
protected:
    void SetUp() override {
        BookBuilder b(folder);
        for (const char* w : {"one", "two", "three", "four", "five"})
            b.add(w, QStringLiteral("m:") + w, QStringLiteral("e:") + w);
        b.write();
        before = bookContents(folder);
    }
    QByteArray bytes(const QString& name) const { return app.read("book/" + name); }

    TempAppFolder app;
    QString folder = app.file(QStringLiteral("book"));
    QStringList before;
};

TEST_F(FullDiskBook, EditsThatDoNotFitChangeNothing) {
    const QByteArray words = bytes("words.vtd");
    const QByteArray means = bytes("means.vtd");
    Book book(folder);
    book.open();
    // Nothing fits; the records fit but the word file does not; half a record fits.
    for (const qint64 budget : {0, 600 + 20, 100}) {
        SCOPED_TRACE(budget);
        {
            FailingDisk disk(budget);
            expectDiskFull([&] { book.registerWord("six", "m:six", "e:six"); },
                           budget == 620 ? "words.vtd" : "means.vtd");
        }
        {
            FailingDisk disk(budget);
            EXPECT_THROW(book.modifyWord(book.index().find("two"), "zwei", "m:zwei", "e:zwei"),
                         RuntimeFailure);
        }
        {
            FailingDisk disk(0);
            expectDiskFull([&] { book.deleteWord(book.index().find("three")); }, "words.vtd");
        }
        EXPECT_EQ(bytes("words.vtd"), words);
        EXPECT_EQ(bytes("means.vtd").left(1000), means);
        EXPECT_EQ(bytes("means.vtd").size() % 200, 0); // no half record left at the end
        EXPECT_EQ(book.index().size(), 5);
        EXPECT_EQ(trimmedRight(book.meaning(book.index().at(book.index().find("two")).recordNo)),
                  "m:two");
        EXPECT_EQ(trimmedRight(book.meaning(book.index().at(book.index().find("three")).recordNo)),
                  "m:three");
    }
    book.close();
    EXPECT_EQ(bookContents(folder), before);
}

TEST_F(FullDiskBook, ACompactionThatDoesNotFitLeavesTheBookWhole) {
    {
        Book book(folder);
        book.open();
        book.deleteWord(book.index().find("two"));
        book.deleteWord(book.index().find("four"));
    }
    const QStringList after = bookContents(folder);
    const QByteArray words = bytes("words.vtd");
    // Failing in the meaning work file, the example work file and the new word file.
    for (const qint64 budget : {0, 300, 400 + 700, 400 + 800 + 5}) {
        SCOPED_TRACE(budget);
        Book book(folder);
        book.open();
        book.deleteWord(book.index().find("one"));
        const QByteArray wordsNow = bytes("words.vtd");
        {
            FailingDisk disk(budget);
            EXPECT_THROW(book.writeBack(), RuntimeFailure);
        }
        EXPECT_EQ(bytes("words.vtd"), wordsNow);
        // The half-written work files do not wait for the next start to free their space.
        EXPECT_EQ(app.entries("book"), QStringList({"ChangeJournal.vtd", "manifest.vtm",
                                                    "means.vtd", "reis.vtd", "words.vtd"}));
        book.close();
        QStringList expected = after;
        expected.removeIf([](const QString& s) { return s.startsWith("one|"); });
        EXPECT_EQ(bookContents(folder), expected);
        EXPECT_EQ(app.entries("book"), QStringList({"ChangeJournal.vtd", "manifest.vtm",
                                                    "means.vtd", "reis.vtd", "words.vtd"}));
        // Put "one" back for the next round.
        Book again(folder);
        again.open();
        again.registerWord("one", "m:one", "e:one");
    }
    EXPECT_NE(bytes("words.vtd"), words);
    Book book(folder);
    book.open();
    book.deleteWord(book.index().find("five"));
    book.writeBack();
    EXPECT_EQ(bookContents(folder), QStringList({"one|m:one|e:one", "three|m:three|e:three"}));
    EXPECT_EQ(QFileInfo(folder + "/means.vtd").size(), 400);
}

} // namespace
