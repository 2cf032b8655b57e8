// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <gtest/gtest.h>

// Runs a program to its end and gives what it wrote to standard output; fails the test when it
// cannot be started, runs past timeoutMs or ends in failure.
inline QByteArray runTool(const QString& program, const QStringList& arguments,
                          const QString& folder, int timeoutMs) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString()
                      << " did not finish: " << process.errorString().toStdString();
        return {};
    }
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0)
        << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

// Has LibreOffice convert a file with the filter target ("docx", "pdf",
// "txt:Text (encoded):UTF8") into folder, in a profile of the test's own below folder; gives the
// path of the file made, ending in suffix. Its first start in a new profile takes a while.
inline QString officeConvert(const QString& input, const QString& target, const QString& suffix,
                             const QString& folder) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    EXPECT_FALSE(soffice.isEmpty())
        << "LibreOffice Writer (soffice) is missing; scripts/install-deps.sh installs it";
    runTool(soffice,
            {QStringLiteral("--headless"), QStringLiteral("--norestore"),
             QStringLiteral("-env:UserInstallation=") +
                 QUrl::fromLocalFile(folder + QStringLiteral("/profile")).toString(),
             QStringLiteral("--convert-to"), target, QStringLiteral("--outdir"), folder, input},
            folder, 240000);
    const QString made = folder + u'/' + QFileInfo(input).completeBaseName() + u'.' + suffix;
    EXPECT_TRUE(QFileInfo::exists(made)) << "LibreOffice made no " << made.toStdString();
    return made;
}
