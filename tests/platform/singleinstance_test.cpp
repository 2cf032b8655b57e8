// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/systemerror.h"
#include "platform/appfolder.h"
#include "platform/qttranslation.h"
#include "platform/singleinstance.h"
#include "support/readonlyfolder.h"
#include "support/tempappfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

TEST(AppFolder, ComesFromTheEnvironmentAndIsCreated) {
    TempAppFolder app;
    const QString nested = app.path() + QStringLiteral("/deeper/home");
    qputenv("VERBANTA_HOME", nested.toLocal8Bit());
    EXPECT_EQ(appfolder::path(), nested);
    EXPECT_TRUE(QDir(nested).exists());
    EXPECT_EQ(appfolder::bookFolder(QStringLiteral("英単語")), nested + QStringLiteral("/英単語"));
}

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstGoes) {
    TempAppFolder app;
    auto first = std::make_unique<SingleInstance>(app.path());
    ASSERT_EQ(first->acquire(), SingleInstance::Result::Acquired);
    SingleInstance second(app.path());
    EXPECT_EQ(second.acquire(), SingleInstance::Result::HeldByAnother);
    first.reset();
    EXPECT_EQ(second.acquire(), SingleInstance::Result::Acquired);
}

TEST(SingleInstance, LockOfADeadProcessDoesNotKeepTheProgramOut) {
    TempAppFolder app;
    // A lock file naming a process that no longer runs, as a crash leaves it.
    QFile lock(app.file(QStringLiteral("verbanta.lock")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(999999) + "\nverbanta\n" + QSysInfo::machineHostName().toUtf8() +
               "\n");
    lock.close();
    SingleInstance instance(app.path());
    EXPECT_EQ(instance.acquire(), SingleInstance::Result::Acquired);
}

// A lock that came with a synchronised folder names another machine: its process number says
// nothing here, so the lock is neither taken silently nor read as an instance running here.
TEST(SingleInstance, ALockFromAnotherMachineIsReportedWithItsNameAndTakenOverOnRequest) {
    TempAppFolder app;
    const QString otherHost = QSysInfo::machineHostName() + QStringLiteral("-laptop");
    for (const qint64 pid : {qint64(999999), QCoreApplication::applicationPid()}) {
        QFile lock(app.file(QStringLiteral("verbanta.lock")));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write(QByteArray::number(pid) + "\nverbanta\n" + otherHost.toUtf8() + "\n");
        lock.close();
        SingleInstance instance(app.path());
        EXPECT_EQ(instance.acquire(), SingleInstance::Result::HeldOnAnotherHost);
        EXPECT_EQ(instance.otherHost(), otherHost);
        ASSERT_EQ(instance.takeOver(), SingleInstance::Result::Acquired);
        // Now this machine's, as any lock this program holds.
        SingleInstance second(app.path());
        EXPECT_EQ(second.acquire(), SingleInstance::Result::HeldByAnother);
    }
}

TEST(SingleInstance, ALockThatCannotBeMadeSaysWhyInsteadOfAnotherInstance) {
    TempAppFolder app;
    // A folder where the lock file belongs.
    ASSERT_TRUE(QDir(app.path()).mkdir(QStringLiteral("verbanta.lock")));
    SingleInstance instance(app.path());
    EXPECT_EQ(instance.acquire(), SingleInstance::Result::Failed);
    EXPECT_TRUE(instance.errorString().contains(app.file(QStringLiteral("verbanta.lock"))));
    EXPECT_TRUE(instance.errorString().contains(QStringLiteral("ﾌｫﾙﾀﾞ")));

    // An empty lock file, as a crash or a full disk leaves it, belongs to no one.
    TempAppFolder other;
    other.write(QStringLiteral("verbanta.lock"), {});
    SingleInstance second(other.path());
    EXPECT_EQ(second.acquire(), SingleInstance::Result::Acquired);
}

// An application folder on a read-only disk: the user learns why in Japanese, not in the
// system's English.
TEST(SingleInstance, ALockOnAReadOnlyDiskSaysWhyInJapanese) {
    TempAppFolder app;
    const QString folder = app.path();
    const std::optional<QByteArray> said = runOnReadOnlyFolder(folder, [&folder] {
        SingleInstance instance(folder);
        if (instance.acquire() != SingleInstance::Result::Failed)
            return QByteArray("acquired");
        return instance.errorString().toUtf8();
    });
    if (!said)
        GTEST_SKIP() << "this machine cannot mount a read-only file system for a test";
    const QString text = QString::fromUtf8(*said);
    EXPECT_TRUE(text.contains(folder + QStringLiteral("/verbanta.lock"))) << said->toStdString();
    EXPECT_TRUE(text.contains(systemerror::text(EROFS))) << said->toStdString();
    EXPECT_FALSE(text.contains(qt_error_string(EROFS))) << said->toStdString();
}

TEST(QtTranslation, QtsOwnTextsAreJapanese) {
    QTranslator* japanese = installQtJapanese();
    ASSERT_NE(japanese, nullptr) << "Qt's Japanese translation is not installed";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
              QStringLiteral("キャンセル"));
    EXPECT_TRUE(QCoreApplication::translate("QPlatformTheme", "&Yes").startsWith(u'は'));
    EXPECT_NE(QCoreApplication::translate("QFontDialog", "Select Font"),
              QStringLiteral("Select Font"));
    QCoreApplication::removeTranslator(japanese);
    delete japanese;
}

} // namespace
