// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/book.h"
#include "core/store/booksession.h"
#include "mainwindow_fixture.h"
#include "platform/bookfollower.h"
#include "ui/limitedtextedit.h"

#include <QFile>
#include <QStatusBar>

namespace {

// The main window with its book open while another machine's version of it arrives.
class BookSyncWindowTest : public MainWindowTest {
protected:
    QString there() const { return app.file(QStringLiteral("there")); }
    void makeThere(const QStringList& words, const std::function<void(Book&)>& edit) {
        BookBuilder b(there());
        for (const QString& w : words)
            b.add(w, QStringLiteral("m:") + w, QStringLiteral("e:") + w);
        b.write();
        Book book(there());
        book.open();
        edit(book);
        book.writeBack();
    }
    // As a sync tool delivers them: each file written beside the old one and renamed over it.
    void deliver() {
        for (const QString& name : {bookfile::Words, bookfile::Meanings, bookfile::Examples,
                                    QStringLiteral("manifest.vtm")}) {
            const QString temporary = bookFolder() + QStringLiteral("/.sync-") + name;
            if (!QFile::exists(there() + u'/' + name))
                continue;
            ASSERT_TRUE(QFile::copy(there() + u'/' + name, temporary));
            QFile::rename(bookFolder() + u'/' + name, bookFolder() + "/old-" + name);
            ASSERT_TRUE(QFile::rename(temporary, bookFolder() + u'/' + name));
            QFile::remove(bookFolder() + "/old-" + name);
        }
    }
    QString status() const {
        auto* bar = form()->findChild<QStatusBar*>();
        return bar ? bar->currentMessage() : QString();
    }
};

// While the window is idle the new version shows by itself, with a word in the status line; at
// the close this window's own registration joins the other machine's words instead of the old
// word list going over them.
TEST_F(BookSyncWindowTest, AnIdleWindowFollowsTheBookAndTheCloseKeepsBothSides) {
    startWith({"apple", "cherry"});
    type("banana");
    dialogs.expectMessage(Answer::Yes);
    enter();
    form()->txtMean->setText("m:banana");
    form()->txtRei->setText("e:banana");
    dialogs.expectMessage(Answer::Yes);
    QTest::keyClick(form()->txtMean, Qt::Key_F5);
    ASSERT_EQ(listed(), (QStringList{"apple", "banana", "cherry"}));

    makeThere({"apple", "cherry"}, [](Book& b) {
        b.registerWord("date", "m:date", "e:date");
        b.modifyWord(b.index().find("cherry"), "cherry", "m:cherry2", "e:cherry2");
    });
    deliver();
    QTRY_COMPARE_WITH_TIMEOUT(listed(), (QStringList{"apple", "banana", "cherry", "date"}), 10000);
    EXPECT_EQ(status(), BookFollower::reloadMessage(1));
    EXPECT_EQ(form()->lblMaxRec->text(), "4");

    program.reset();
    EXPECT_EQ(bookContents(bookFolder()),
              (QStringList{"apple|m:apple|e:apple", "banana|m:banana|e:banana",
                           "cherry|m:cherry2|e:cherry2", "date|m:date|e:date"}));
}

// A word both sides changed is shown to the user with both versions.
TEST_F(BookSyncWindowTest, AConflictShowsBothVersions) {
    dialogs.expectMessage(Answer::No);
    EXPECT_FALSE(BookFollower::askKeepMine(
        {{"cherry", "m:mine", "e:mine"}, false, {"cherry", "m:theirs", "e:theirs"}, true}));
    const QString text = dialogs.lastBox().text;
    EXPECT_TRUE(text.contains("m:mine") && text.contains("e:mine")) << text.toStdString();
    EXPECT_TRUE(text.contains("m:theirs") && text.contains("e:theirs")) << text.toStdString();
    EXPECT_LT(text.indexOf("m:mine"), text.indexOf("m:theirs"));
}

// Copies a sync tool left of another machine's version are offered at the open; "No" leaves
// them, "Yes" brings that version's words in, asks about a word both changed, and moves the
// copies into the book's backup folder.
TEST_F(BookSyncWindowTest, ConflictCopiesAreOfferedAndMergedAtTheOpen) {
    writeSettings();
    writeBook({"apple", "cherry"});
    BookBuilder(there())
        .add("cherry", "m:cherry2", "e:cherry2")
        .add("apple", "m:apple", "e:apple")
        .add("date", "m:date", "e:date")
        .write();
    const QString suffix = QStringLiteral(" (conflicted copy 2026-12-08 123456)");
    for (const QString& name : {bookfile::Words, bookfile::Meanings, bookfile::Examples})
        ASSERT_TRUE(QFile::copy(there() + u'/' + name,
                                bookFolder() + u'/' + name.chopped(4) + suffix + ".vtd"));

    dialogs.expectMessage(Answer::No, QStringLiteral("別の端末で変更された版があります"));
    ASSERT_TRUE(start());
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::YesNo);
    EXPECT_TRUE(dialogs.lastBox().text.contains("words" + suffix + ".vtd"));
    EXPECT_EQ(listed(), (QStringList{"apple", "cherry"}));
    program.reset();

    dialogs.expectMessage(Answer::Yes, QStringLiteral("別の端末で変更された版があります"))
        .expectMessage(Answer::No, QStringLiteral("m:cherry2"))
        .expectMessage(Answer::Ok, QStringLiteral("別の端末の版を取り込みました"));
    ASSERT_TRUE(start());
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(listed(), (QStringList{"apple", "cherry", "date"}));
    program.reset();
    EXPECT_EQ(
        bookContents(bookFolder()),
        (QStringList{"apple|m:apple|e:apple", "cherry|m:cherry2|e:cherry2", "date|m:date|e:date"}));
    EXPECT_FALSE(QFile::exists(bookFolder() + "/words" + suffix + ".vtd"));
    EXPECT_TRUE(QFile::exists(app.file("backup/英単語/conflicts/words" + suffix + ".vtd")));
    EXPECT_TRUE(QFile::exists(app.file("backup/英単語/conflicts/means" + suffix + ".vtd")));
}

} // namespace
