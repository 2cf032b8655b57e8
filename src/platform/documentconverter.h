// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class QProcess;
class QTemporaryDir;
class QTimer;

// Converts word-processor documents with LibreOffice, found on the PATH at run time. Each run has
// a profile of its own in a temporary folder, so that a LibreOffice the user has open is neither
// disturbed nor in the way; the run has a time limit, can be cancelled, and leaves neither a
// process nor a temporary file behind. The process runs while the caller's event loop goes on.
class DocumentConverter : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Idle, Running, Converted, Failed, Cancelled, TimedOut, Missing };

    explicit DocumentConverter(QObject* parent = nullptr);
    ~DocumentConverter() override;

    // The LibreOffice program on the PATH; empty when it is not installed.
    static QString program();

    void setTimeLimit(int milliseconds) { m_timeLimit = milliseconds; }

    // Starts converting input, a document of the format inputSuffix names ("docx", "rtf"), with
    // LibreOffice's filter target ("rtf", "docx", "odt", "txt:Text (encoded):UTF8") to a file
    // ending in targetSuffix. finished() follows; when the run cannot even start it has already
    // been emitted when this returns.
    void start(const QByteArray& input, const QString& inputSuffix, const QString& target,
               const QString& targetSuffix);
    void cancel();
    // Waits for the end in a local event loop, for callers with no window to keep alive.
    Outcome waitForEnd();

    bool isRunning() const { return m_outcome == Outcome::Running; }
    Outcome outcome() const { return m_outcome; }
    QByteArray output() const { return m_output; }
    QString errorText() const { return m_error; } // for the user, in Japanese
    // The temporary folder of the run in progress (empty otherwise), and its process.
    QString workFolder() const;
    qint64 processId() const;

signals:
    void finished();

private:
    void processFinished();
    void end(Outcome outcome, const QString& error = {});
    void stopProcess();
    void killGroup();
    void waitForGroupToGo();

    int m_timeLimit = 120000;
    Outcome m_outcome = Outcome::Idle;
    QString m_outputPath;
    QByteArray m_output;
    QString m_error;
    std::unique_ptr<QTemporaryDir> m_work;
    QProcess* m_process = nullptr;
    qint64 m_group = 0;     // the process group of the run, named after its first process
    qint64 m_lastGroup = 0; // the group last killed, until none of it is left
    QTimer* m_timer = nullptr;
};
