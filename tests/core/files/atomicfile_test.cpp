// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file rewrites and the files around them: what the user protected or linked, and what an
// interrupted write leaves behind.
#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/projects/projectfiles.h"
#include "core/review/reviewsettings.h"
#include "core/richtext/documentfile.h"
#include "core/store/book.h"
#include "core/store/booktransfer.h"
#include "support/bookbuilder.h"
#include "support/tempappfolder.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

int failureOf(const std::function<void()>& write) {
    try {
        write();
    } catch (const RuntimeFailure& f) {
        return f.number();
    }
    return 0;
}

// A file without write permission is the user's "leave this alone", even to a user (root) the
// system would let write it: the rewrite is refused and the file keeps its bytes and mode.
TEST(AtomicFile, ReadOnlyFilesAreRefusedAndLeftAlone) {
    TempAppFolder app;
    const QString doc = app.file(QStringLiteral("訳文.rtf"));
    app.write(QStringLiteral("訳文.rtf"), "{\\rtf1 kept}");
    QFile::setPermissions(doc, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QTextDocument document;
    document.setPlainText(QStringLiteral("new"));
    QString error;
    EXPECT_FALSE(richtext::saveDocument(doc, document, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("訳文.rtf"))) << error.toStdString();
    EXPECT_EQ(app.read(QStringLiteral("訳文.rtf")), "{\\rtf1 kept}");
    EXPECT_FALSE(QFileInfo(doc).permissions() & QFile::WriteOwner);

    // The project list: neither rewritten nor, when the last project goes, removed.
    PlanInfo plan;
    plan.planName = QStringLiteral("一");
    plan.transFilePath = QStringLiteral("/t/a.rtf");
    plan.transFileName = QStringLiteral("a.rtf");
    projectfiles::savePlanList(app.path(), {plan});
    const QByteArray list = app.read(projectfiles::PlanListFile);
    QFile::setPermissions(app.file(projectfiles::PlanListFile), QFile::ReadOwner);
    EXPECT_EQ(failureOf([&] {
                  projectfiles::savePlanList(app.path(), {plan, plan});
              }),
              failure::PermissionDenied);
    EXPECT_EQ(failureOf([&] { projectfiles::savePlanList(app.path(), {}); }),
              failure::PermissionDenied);
    EXPECT_EQ(app.read(projectfiles::PlanListFile), list);
    EXPECT_EQ(app.entries().size(), 2);
}

// Saving through a symbolic link writes the real document, atomically, and keeps the link.
TEST(AtomicFile, ALinkIsWrittenThroughAndStaysALink) {
    TempAppFolder app;
    app.write(QStringLiteral("real.rtf"), "old");
    ASSERT_TRUE(
        QFile::link(app.file(QStringLiteral("real.rtf")), app.file(QStringLiteral("a.rtf"))));
    ASSERT_TRUE(QFile::link(app.file(QStringLiteral("a.rtf")), app.file(QStringLiteral("b.rtf"))));
    writeFileAtomically(app.file(QStringLiteral("b.rtf")), "new");
    EXPECT_TRUE(QFileInfo(app.file(QStringLiteral("a.rtf"))).isSymLink());
    EXPECT_TRUE(QFileInfo(app.file(QStringLiteral("b.rtf"))).isSymLink());
    EXPECT_EQ(app.read(QStringLiteral("real.rtf")), "new");
    EXPECT_EQ(app.entries().size(), 3);
}

// A kill between writing the temporary file and renaming it leaves the temporary behind. It has
// a name the program knows, so the next save of that file, or the next start, removes it; files
// of the user's that merely look similar stay.
TEST(AtomicFile, LeftoversOfInterruptedWritesAreRecognisedAndRemoved) {
    TempAppFolder app;
    app.write(QStringLiteral("long.rtf.verbanta-Ab12cd.tmp"), "half");
    app.write(QStringLiteral("trinfo.vtd.verbanta-zz9Z00.tmp"), "half");
    app.write(QStringLiteral("long.rtf.backup"), "mine");
    app.write(QStringLiteral("notes.verbanta-toolong.tmp"), "mine");
    writeFileAtomically(app.file(QStringLiteral("long.rtf")), "whole");
    EXPECT_FALSE(app.exists(QStringLiteral("long.rtf.verbanta-Ab12cd.tmp")));
    EXPECT_TRUE(app.exists(QStringLiteral("trinfo.vtd.verbanta-zz9Z00.tmp")));
    removeTemporaryLeftovers(app.path());
    EXPECT_EQ(app.entries(),
              QStringList({QStringLiteral("long.rtf"), QStringLiteral("long.rtf.backup"),
                           QStringLiteral("notes.verbanta-toolong.tmp")}));
}

// The permission bits of the file at path.
mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// A file only its owner may read stays so when the program rewrites it whole: a settings file,
// the word file written back, and a book's files replaced by a compaction or an import. (The
// mode bits are what counts: tests may run as root, whom no permission stops.)
TEST(AtomicFile, WholeFileRewritesKeepTheFilesPermissions) {
    const mode_t umaskBefore = ::umask(022); // new files would be readable by all
    TempAppFolder app;
    const auto ownerOnly = [&](const QString& name) {
        QFile::setPermissions(app.file(name), QFile::ReadOwner | QFile::WriteOwner);
    };
    app.write(ReviewSettings::FileName, "enabled\t1\n");
    ownerOnly(ReviewSettings::FileName);
    ReviewSettings settings;
    settings.newPerDay = 7;
    settings.write(app.path());
    EXPECT_EQ(ReviewSettings::read(app.path()).newPerDay, 7);
    EXPECT_EQ(modeOf(app.file(ReviewSettings::FileName)), mode_t(0600));

    const QString folder = app.file(QStringLiteral("book"));
    BookBuilder(folder).add("apple", "m", "e").add("banana", "m", "e").write();
    const QStringList bookFiles = {bookfile::Words, bookfile::Meanings, bookfile::Examples};
    for (const QString& name : bookFiles)
        ownerOnly(QStringLiteral("book/") + name);
    {
        Book book(folder);
        book.open();
        book.registerWord(QStringLiteral("cherry"), QStringLiteral("m"), QStringLiteral("e"));
        book.writeBack();
        EXPECT_EQ(modeOf(folder + u'/' + bookfile::Words), mode_t(0600)) << "written back";
        book.deleteWord(book.index().find(QStringLiteral("apple")));
        book.writeBack();
    }
    for (const QString& name : bookFiles)
        EXPECT_EQ(modeOf(folder + u'/' + name), mode_t(0600)) << "compacted " << name.toStdString();

    const QString source = app.file(QStringLiteral("source"));
    BookBuilder(source).add("damson", "m", "e").write();
    booktransfer::importBook(source, folder);
    for (const QString& name : bookFiles)
        EXPECT_EQ(modeOf(folder + u'/' + name), mode_t(0600)) << "imported " << name.toStdString();
    ::umask(umaskBefore);
}

} // namespace
