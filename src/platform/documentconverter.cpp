// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentconverter.h"

#include "core/wordprocessor/documentkind.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <unistd.h>

DocumentConverter::DocumentConverter(QObject* parent) : QObject(parent), m_timer(new QTimer(this)) {
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        end(Outcome::TimedOut, QStringLiteral("文書の変換が時間内に終わりませんでした。"));
    });
}

DocumentConverter::~DocumentConverter() {
    stopProcess();
}

QString DocumentConverter::program() {
    QString found = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    return found;
}

QString DocumentConverter::workFolder() const {
    return m_work ? m_work->path() : QString();
}

qint64 DocumentConverter::processId() const {
    return m_process ? m_process->processId() : 0;
}

void DocumentConverter::start(const QByteArray& input, const QString& inputSuffix,
                              const QString& target, const QString& targetSuffix) {
    stopProcess();
    m_output.clear();
    m_error.clear();
    const QString soffice = program();
    if (soffice.isEmpty()) {
        m_outcome = Outcome::Running;
        end(Outcome::Missing, wordprocessor::converterMissingText());
        return;
    }
    m_outcome = Outcome::Running;
    m_work = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                             QStringLiteral("/verbanta-convert-XXXXXX"));
    const QString inputPath = m_work->filePath(QStringLiteral("document.") + inputSuffix);
    QFile in(inputPath);
    if (!m_work->isValid() || !in.open(QIODevice::WriteOnly) || in.write(input) != input.size() ||
        !in.flush()) {
        end(Outcome::Failed, QStringLiteral("変換用の一時ﾌｧｲﾙを作れませんでした。"));
        return;
    }
    in.close();
    const QString outFolder = m_work->filePath(QStringLiteral("out"));
    m_outputPath = outFolder + QStringLiteral("/document.") + targetSuffix;

    m_process = new QProcess(this);
    // Its own process group: LibreOffice's launcher starts the office as a child, and a
    // cancelled or timed-out run must end both.
    m_process->setChildProcessModifier([] { ::setpgid(0, 0); });
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setWorkingDirectory(m_work->path());
    connect(m_process, &QProcess::finished, this, [this] { processFinished(); });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            end(Outcome::Failed, QStringLiteral("LibreOffice を起動できませんでした。"));
    });
    m_timer->start(m_timeLimit);
    m_group = 0;
    m_process->start(
        soffice,
        {QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nologo"),
         QStringLiteral("--nolockcheck"),
         QStringLiteral("-env:UserInstallation=") +
             QUrl::fromLocalFile(m_work->filePath(QStringLiteral("profile"))).toString(),
         QStringLiteral("--convert-to"), target, QStringLiteral("--outdir"), outFolder, inputPath});
    m_group = m_process->processId();
}

void DocumentConverter::killGroup() {
    // Never a group of 0 or less: that would be the program's own, or every process.
    if (m_group > 0)
        ::kill(-pid_t(m_group), SIGKILL);
    m_lastGroup = m_group;
    m_group = 0;
}

void DocumentConverter::waitForGroupToGo() {
    // A killed process lives on for a moment; the run is over only once none of its group does,
    // so that nothing of it still holds the temporary folder when that is removed.
    if (m_lastGroup <= 0)
        return;
    for (int waited = 0; waited < 5000 && ::kill(-pid_t(m_lastGroup), 0) == 0; waited += 5)
        QThread::msleep(5);
    m_lastGroup = 0;
}

void DocumentConverter::processFinished() {
    // The launcher has ended; the office it started may still be on its way out. The group is
    // still the run's own while any of its processes lives.
    killGroup();
    waitForGroupToGo();
    QFile out(m_outputPath);
    if (out.open(QIODevice::ReadOnly))
        m_output = out.readAll();
    // LibreOffice ends without an error when it cannot load a document; it only makes no file.
    if (m_output.isEmpty())
        end(Outcome::Failed, QStringLiteral("文書を変換できませんでした。ﾌｧｲﾙが壊れているか、"
                                            "ﾊﾟｽﾜｰﾄﾞで保護されている可能性があります。"));
    else
        end(Outcome::Converted);
}

void DocumentConverter::cancel() {
    if (isRunning())
        end(Outcome::Cancelled);
}

void DocumentConverter::end(Outcome outcome, const QString& error) {
    if (!isRunning())
        return;
    m_timer->stop();
    stopProcess();
    m_outcome = outcome;
    m_error = error;
    if (outcome != Outcome::Converted)
        m_output.clear();
    emit finished();
}

void DocumentConverter::stopProcess() {
    if (m_process) {
        m_process->disconnect(this);
        if (m_process->state() != QProcess::NotRunning) {
            killGroup();
            m_process->kill();
            m_process->waitForFinished(10000);
            waitForGroupToGo();
        }
        // It may be the process's own signal that ended the run.
        m_process->deleteLater();
        m_process = nullptr;
    }
    m_work.reset();
}

DocumentConverter::Outcome DocumentConverter::waitForEnd() {
    if (isRunning()) {
        QEventLoop loop;
        connect(this, &DocumentConverter::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return m_outcome;
}
