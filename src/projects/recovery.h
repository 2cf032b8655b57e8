// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>

class CommentCommands;
class FrmTranslatorL;
class QTextDocument;
class QTimer;
struct PlanInfo;
class RichTextPane;

// Copies of unsaved work, so that a crash or a killed session loses at most a few seconds of it.
// While the editor runs, every pane (original, translation, comment) with unsaved changes is
// copied as RTF into the "recovery" folder of the application folder once the user has paused
// for a few seconds (and at the latest some seconds after a change, however long the typing goes
// on) and when the editor is asked to close, together with the record of the project the work
// belongs to. Saving removes the
// copies of what was saved; leaving the editor cleanly removes them all. When the editor starts
// and finds copies, it offers to bring them back into the panes as unsaved work.
class Recovery : public QObject {
    Q_OBJECT
public:
    enum Pane { Original, Translation, Comment };
    static constexpr int PaneCount = 3;
    // How often the panes are looked at, how long a pause in the typing must last before the
    // work is copied, and how long a change may wait for a copy while the typing goes on.
    static constexpr int PollMs = 1000;
    static constexpr int QuietMs = 3000;
    static constexpr int LatestMs = 8000;

    // Starts the copies and offers those a previous session left behind.
    // Owned by parent, the window when none is given.
    Recovery(FrmTranslatorL& window, CommentCommands& comments, QObject* parent = nullptr);
    ~Recovery() override;

    // The folder of the copies in an application folder, and the file of one pane's copy.
    static QString folder(const QString& appFolder);
    static QString copyFile(const QString& appFolder, Pane pane);

    QTimer* timer() const { return m_timer; }

    // The timer's handler: copies each pane with unsaved changes that changed since its last
    // copy, and removes the copies of panes that hold no unsaved changes any more.
    void copyNow();
    // The timer's look at the panes at time nowMs (a steady clock): copies when a change has
    // been followed by a pause, or has waited long enough.
    void poll(qint64 nowMs);
    // Removes the copies of panes that hold no unsaved changes (after a save).
    void dropSavedCopies();
    // Removes every copy (a clean end).
    void removeCopies();

private:
    struct Copied {
        const QTextDocument* document = nullptr;
        int revision = -1;
    };
    // The changes not yet copied: the revision last seen, when it was seen to change, and since
    // when any change has waited.
    struct Pending {
        Copied seen;
        qint64 changedAt = -1;
        qint64 waitingSince = -1;
    };

    void offerAtStart();
    void restore();
    QString offerText(const PlanInfo* recorded) const;
    // Whether the copy of this pane is to come back: asks when its document changed on disk
    // after the copy was taken.
    bool keepCopyOver(Pane which, const QString& document);
    RichTextPane* pane(Pane which) const;
    bool unsaved(Pane which) const;
    void markUnsaved(Pane which);
    // A document of the project in use: never written over or removed, whatever its name.
    bool isUsersFile(const QString& path) const;
    void removeCopy(const QString& path) const;
    void writeProjectRecord();

    FrmTranslatorL& m_window;
    CommentCommands& m_comments;
    // Null once the window is going: its parts are gone then.
    QPointer<QObject> m_windowAlive;
    QTimer* m_timer;
    std::array<Copied, PaneCount> m_copied;
    std::array<Pending, PaneCount> m_pending;
    QByteArray m_recordWritten;
    bool m_ended = false;
};
