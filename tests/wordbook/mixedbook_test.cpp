// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/book.h"
#include "core/history/bookbackup.h"
#include "mainwindow_fixture.h"
#include "support/widgets.h"
#include "ui/backupviewform.h"
#include "ui/selectfolderform.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace {

QStringList rows(const QAbstractItemModel* model) {
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->index(r, 0).data().toString() + u'|' + model->index(r, 1).data().toString() +
                   u'|' + model->index(r, 2).data().toString();
    return out;
}

// A book whose word file came from another version than its records (a sync half done) is not
// opened; its newest backup that reads whole is offered, and shown read-only.
TEST_F(MainWindowTest, AMixedBookOffersItsNewestWholeBackupReadOnly) {
    writeSettings();
    writeBook({"apple"});
    BookBackups backups(app.path());
    backups.create(QStringLiteral("英単語"), bookFolder(), QStringLiteral("older"));
    writeBook({"apple", "banana"});
    backups.create(QStringLiteral("英単語"), bookFolder(), QStringLiteral("newest whole"));
    // The newest of all cannot be read: its records are gone.
    const BookBackup broken =
        backups.create(QStringLiteral("英単語"), bookFolder(), QStringLiteral("broken"));
    ASSERT_TRUE(QFile::remove(broken.folder + QStringLiteral("/means.vtd")));
    {
        Book book(bookFolder());
        book.open();
        book.registerWord(QStringLiteral("cherry"), QStringLiteral("m:cherry"), {});
        book.writeBack();
    }
    // Another machine's word file arrives before its records and manifest.
    const QString there = app.file(QStringLiteral("there"));
    BookBuilder(there).add("apple", "x").add("date", "y").add("egg", "z").write();
    ASSERT_TRUE(QFile::remove(bookFolder() + QStringLiteral("/words.vtd")));
    ASSERT_TRUE(QFile::copy(there + QStringLiteral("/words.vtd"),
                            bookFolder() + QStringLiteral("/words.vtd")));
    const QStringList bookBefore = app.entries(QStringLiteral("英単語"));
    const QStringList backupsBefore = app.entries(QStringLiteral("backup/英単語"));

    QStringList shown;
    bool editable = true;
    dialogs
        .expectMessage(Answer::Ok,
                       QStringLiteral("このブックは同期中か、ファイルがそろっていません"))
        .expectMessage(Answer::Yes, QStringLiteral("読み取り専用で開きますか"));
    whenShown("frmBackupView", [&](QWidget* w) {
        auto* f = static_cast<BackupViewForm*>(w);
        QAbstractItemModelTester tester(f->tblWords->model(),
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
        shown = rows(f->tblWords->model());
        editable = f->tblWords->editTriggers() != QAbstractItemView::NoEditTriggers;
        dialogs.expectMessage(Answer::Ok, QStringLiteral("使用するブックが見つかりません"));
        whenShown("frmSelectFolder", [this](QWidget* chooser) {
            dialogs.expectMessage(Answer::Yes);
            QTest::mouseClick(static_cast<SelectFolderForm*>(chooser)->cmdCancelFolder,
                              Qt::LeftButton);
        });
        QTest::mouseClick(f->cmdClose, Qt::LeftButton);
    });
    EXPECT_FALSE(start());
    program.reset();

    ASSERT_GE(dialogs.boxes().size(), 2);
    EXPECT_EQ(dialogs.boxes()[0].text,
              QStringLiteral(
                  "このブックは同期中か、ファイルがそろっていません\nwords.vtd, manifest.vtm"));
    EXPECT_TRUE(dialogs.boxes()[1].text.contains(QStringLiteral("2語")));
    EXPECT_EQ(shown, (QStringList{"apple|m:apple|e:apple", "banana|m:banana|e:banana"}));
    EXPECT_FALSE(editable);
    // Looking changed nothing, in the book or in its backups.
    EXPECT_EQ(app.entries(QStringLiteral("英単語")), bookBefore);
    EXPECT_EQ(app.entries(QStringLiteral("backup/英単語")), backupsBefore);
    EXPECT_EQ(app.read(QStringLiteral("英単語/words.vtd")),
              app.read(QStringLiteral("there/words.vtd")));
}

} // namespace
