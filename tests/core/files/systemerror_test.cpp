// SPDX-License-Identifier: GPL-3.0-or-later
// What the user reads when the system refuses a file operation: Japanese for the usual causes,
// the system's own words only behind a Japanese lead for the rest.
#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/files/systemerror.h"
#include "core/richtext/documentfile.h"
#include "support/failingdisk.h"
#include "support/readonlyfolder.h"
#include "support/tempappfolder.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// English words a user would have to read; file names and "I/O" are not.
bool hasEnglishWords(const QString& text) {
    static const QRegularExpression word(QStringLiteral("(?<![A-Za-z])[A-Za-z]{4,}(?![A-Za-z])"));
    return text.contains(word);
}

TEST(SystemError, UsualCausesAreToldInJapaneseWhicheverWayTheyAreReported) {
    const int usual[] = {ENOSPC, EDQUOT, EACCES, EPERM, ENOENT, EROFS, EIO};
    QStringList texts;
    for (int error : usual) {
        SCOPED_TRACE(std::strerror(error));
        const QString japanese = systemerror::text(error);
        EXPECT_FALSE(hasEnglishWords(japanese)) << japanese.toStdString();
        // As QFile and QSaveFile report it, bare or inside a sentence of Qt's.
        EXPECT_EQ(systemerror::fromSystemText(qt_error_string(error)), japanese);
        EXPECT_EQ(systemerror::fromSystemText(QStringLiteral("Cannot open x.rtf: ") +
                                              qt_error_string(error)),
                  japanese);
        EXPECT_EQ(systemerror::fromSystemText(QString::fromLocal8Bit(std::strerror(error))),
                  japanese);
        texts << japanese;
    }
    // Each cause says its own thing: a read-only disk is not a full one.
    texts.removeDuplicates();
    EXPECT_EQ(texts.size(), int(std::size(usual)));
}

TEST(SystemError, OtherCausesKeepTheSystemsWordsBehindAJapaneseLead) {
    const QString tooMany = systemerror::text(EMFILE);
    EXPECT_TRUE(tooMany.contains(QString::fromLocal8Bit(std::strerror(EMFILE))))
        << tooMany.toStdString();
    EXPECT_TRUE(tooMany.startsWith(QStringLiteral("システムエラー"))) << tooMany.toStdString();

    const QString odd = systemerror::fromSystemText(QStringLiteral("Stale file handle thing"));
    EXPECT_TRUE(odd.contains(QStringLiteral("Stale file handle thing")));
    EXPECT_TRUE(odd.startsWith(QStringLiteral("システムエラー")));
    // A text already in Japanese (a translated Qt text) is shown as it is.
    EXPECT_EQ(systemerror::fromSystemText(QStringLiteral("ファイルを開けません")),
              QStringLiteral("ファイルを開けません"));
    EXPECT_FALSE(systemerror::fromSystemText({}).isEmpty());
}

TEST(SystemError, FailuresOfRealFilesReachTheUserInJapanese) {
    TempAppFolder app;
    QFile missing(app.file(QStringLiteral("gone/doc.rtf")));
    ASSERT_FALSE(missing.open(QIODevice::ReadOnly));
    EXPECT_EQ(systemerror::fromSystemText(missing.errorString()), systemerror::text(ENOENT));

    // A document that cannot be read, or is not text of the code page, says why in Japanese.
    QTextDocument document;
    QString error;
    EXPECT_EQ(richtext::loadDocument(missing.fileName(), &document, &error),
              richtext::LoadOutcome::Unreadable);
    EXPECT_EQ(error, systemerror::text(ENOENT));
    app.write(QStringLiteral("bad.txt"), "abc\x81\x7f\xff");
    EXPECT_EQ(richtext::loadDocument(app.file(QStringLiteral("bad.txt")), &document, &error),
              richtext::LoadOutcome::Damaged);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(hasEnglishWords(error)) << error.toStdString();
    for (const char* rtf : {"{\\rtf1 open {\\b group", "{\\rtf1 a\\'zz}", "{\\rtf1 x\\'82}",
                            "{\\rtf1 a\\u99999999999 b}"}) {
        SCOPED_TRACE(rtf);
        EXPECT_EQ(richtext::loadDocumentBytes(rtf, &document, &error),
                  richtext::LoadOutcome::Damaged);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(hasEnglishWords(error)) << error.toStdString();
    }

    // A device error while saving names the file, without the system's English.
    FailingDisk disk(-1);
    disk.failSyncs();
    try {
        writeFileAtomically(app.file(QStringLiteral("訳文.rtf")), "x");
        ADD_FAILURE() << "the failed sync was not reported";
    } catch (const RuntimeFailure& f) {
        EXPECT_EQ(f.number(), failure::DeviceIo);
        EXPECT_TRUE(f.description().contains(QStringLiteral("訳文.rtf")));
        EXPECT_FALSE(hasEnglishWords(f.description())) << f.description().toStdString();
    }
}

TEST(SystemError, AReadOnlyDiskIsCalledSo) {
    TempAppFolder app;
    const QString folder = app.path();
    const std::optional<QByteArray> said = runOnReadOnlyFolder(folder, [&folder] {
        QByteArray out;
        QFile file(folder + QStringLiteral("/new.vtd"));
        if (!file.open(QIODevice::WriteOnly))
            out += systemerror::fromSystemText(file.errorString()).toUtf8();
        out += '\n';
        try {
            writeFileAtomically(folder + QStringLiteral("/trinfo.vtd"), "x");
        } catch (const RuntimeFailure& f) {
            out += f.description().toUtf8();
        }
        return out;
    });
    if (!said)
        GTEST_SKIP() << "this machine cannot mount a read-only file system for a test";
    const QStringList lines = QString::fromUtf8(*said).split(u'\n');
    ASSERT_EQ(lines.size(), 2) << said->toStdString();
    EXPECT_EQ(lines[0], systemerror::text(EROFS));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("trinfo.vtd"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(systemerror::text(EROFS))) << lines[1].toStdString();
}

} // namespace
