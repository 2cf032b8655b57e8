// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/bookbackup.h"
#include "editor_fixture.h"
#include "ui/limitedtextedit.h"

#include <QFile>
#include <QLineEdit>

namespace {

// The editor may be the first window to open the book after a sync tool left another machine's
// version beside it: it offers the merge as the main window does, before it reads the book.
TEST_F(EditorTest, ConflictCopiesAreOfferedAndMergedWhenTheEditorOpensTheBook) {
    writeBook({"apple", "cherry"});
    const QString there = app.file(QStringLiteral("there"));
    BookBuilder(there)
        .add("cherry", "m:cherry2", "e:cherry2")
        .add("apple", "m:apple", "e:apple")
        .add("date", "m:date", "e:date")
        .write();
    const QString suffix = QStringLiteral(".sync-conflict-20261208-123456-ABCDEF7");
    for (const QString& name : {bookfile::Words, bookfile::Meanings, bookfile::Examples})
        ASSERT_TRUE(QFile::copy(there + u'/' + name,
                                bookFolder() + u'/' + name.chopped(4) + suffix + ".vtd"));

    dialogs.expectMessage(Answer::Yes, QStringLiteral("別の端末で変更された版があります"))
        .expectMessage(Answer::No, QStringLiteral("m:cherry2"))
        .expectMessage(Answer::Ok, QStringLiteral("別の端末の版を取り込みました"));
    editor = std::make_unique<FrmTranslatorL>();
    ASSERT_TRUE(editor->formLoad());
    EXPECT_TRUE(dialogs.done());

    // The word pane reads the merged book.
    form()->txtInput->clear();
    QTest::keyClicks(form()->txtInput, QStringLiteral("da"));
    EXPECT_EQ(form()->txtWord->text(), QStringLiteral("date"));
    editor.reset();
    EXPECT_EQ(
        bookContents(bookFolder()),
        (QStringList{"apple|m:apple|e:apple", "cherry|m:cherry2|e:cherry2", "date|m:date|e:date"}));
    EXPECT_FALSE(QFile::exists(bookFolder() + "/words" + suffix + ".vtd"));
    EXPECT_TRUE(QFile::exists(app.file("backup/英単語/conflicts/means" + suffix + ".vtd")));
}

// A book caught halfway through a sync is not opened by the editor either: it says so, naming the
// files, offers the last whole version, and does not start; nothing is reported as a failure.
TEST_F(EditorTest, AMixedBookIsNamedAndTheEditorDoesNotStartOnIt) {
    writeBook({"apple", "banana"});
    BookBackups(app.path()).create(QStringLiteral("英単語"), bookFolder(), QStringLiteral("t"));
    {
        Book book(bookFolder());
        book.open();
        book.registerWord(QStringLiteral("cherry"), QStringLiteral("m:cherry"), {});
        book.writeBack();
    }
    const QString there = app.file(QStringLiteral("there"));
    BookBuilder(there).add("date", "x").write();
    ASSERT_TRUE(QFile::remove(bookFolder() + QStringLiteral("/means.vtd")));
    ASSERT_TRUE(QFile::copy(there + QStringLiteral("/means.vtd"),
                            bookFolder() + QStringLiteral("/means.vtd")));
    const QByteArray wordsBefore = app.read(QStringLiteral("英単語/words.vtd"));

    dialogs
        .expectMessage(
            Answer::Ok,
            QStringLiteral("このブックは同期中か、ファイルがそろっていません\nmeans.vtd"))
        .expectMessage(Answer::No, QStringLiteral("読み取り専用で開きますか"));
    editor = std::make_unique<FrmTranslatorL>();
    EXPECT_FALSE(editor->formLoad());
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(terminator.calls(), 0);
    editor.reset();
    EXPECT_EQ(app.read(QStringLiteral("英単語/words.vtd")), wordsBefore);
}

} // namespace
