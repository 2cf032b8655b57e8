#include "platform/appfolder.h"
#include "platform/singleinstance.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
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
    ASSERT_TRUE(first->acquire());
    SingleInstance second(app.path());
    EXPECT_FALSE(second.acquire());
    first.reset();
    EXPECT_TRUE(second.acquire());
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
    EXPECT_TRUE(instance.acquire());
}

} // namespace
