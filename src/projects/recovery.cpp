// SPDX-License-Identifier: GPL-3.0-or-later
#include "recovery.h"

#include "commentcommands.h"
#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/projects/projectfiles.h"
#include "core/projects/projectstate.h"
#include "core/richtext/rtfwriter.h"
#include "core/settings/session.h"
#include "frmcomment.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "translator/documentimport.h"
#include "translator/editorexit.h"
#include "translator/frmtranslatorl.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTextDocument>
#include <QTimer>

namespace {

const char* const CopyNames[Recovery::PaneCount] = {"original.rtf", "translation.rtf",
                                                    "comment.rtf"};

QString absolute(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

Recovery::Recovery(FrmTranslatorL& window, CommentCommands& comments, QObject* parent)
    : QObject(parent ? parent : &window), m_window(window), m_comments(comments),
      m_windowAlive(&window), m_timer(new QTimer(this)) {
    EditorExit::Hooks& hooks = window.exits()->hooks();
    // Asked to close: whatever happens next (a question, a crash while the book is written back)
    // the latest work is on disk.
    hooks.leaving = [this] { copyNow(); };
    hooks.saved = [this] { dropSavedCopies(); };
    const auto cleanEnd = [this] {
        m_ended = true;
        m_timer->stop();
        removeCopies();
    };
    connect(&window, &FrmTranslatorL::endRequested, this, cleanEnd);
    connect(&window, &FrmTranslatorL::returnRequested, this, cleanEnd);
    // The session ending under the editor (log-out) is not a clean end: keep the work.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { copyNow(); });
    connect(m_timer, &QTimer::timeout, this, [this, clock = std::make_shared<QElapsedTimer>()] {
        if (!clock->isValid())
            clock->start();
        poll(clock->elapsed());
    });
    // An unexpected failure ends the program at once: the latest work is copied first. The
    // newest editor's copies are the ones taken; one that has gone takes none.
    setBeforeTermination([alive = QPointer<Recovery>(this)] {
        if (alive)
            alive->copyNow();
    });

    offerAtStart();
    m_timer->start(PollMs);
}

Recovery::~Recovery() {
    // Dropped while the window goes on (the session did not end): the copies stay for the next
    // start, and the window must not call back.
    if (m_windowAlive) {
        m_window.exits()->hooks().leaving = nullptr;
        m_window.exits()->hooks().saved = nullptr;
    }
}

QString Recovery::folder(const QString& appFolder) {
    return appFolder + QStringLiteral("/recovery");
}

QString Recovery::copyFile(const QString& appFolder, Pane pane) {
    return folder(appFolder) + u'/' + QLatin1String(CopyNames[pane]);
}

RichTextPane* Recovery::pane(Pane which) const {
    switch (which) {
    case Original:
        return m_window.form()->Rtxt1;
    case Translation:
        return m_window.form()->Rtxt2;
    case Comment:
        return m_comments.pane();
    }
    return nullptr;
}

bool Recovery::unsaved(Pane which) const {
    const ProjectState& p = m_window.project();
    switch (which) {
    case Original:
        return p.orgModified;
    case Translation:
        return p.transModified;
    case Comment:
        return m_comments.window() && m_comments.window()->isModified();
    }
    return false;
}

void Recovery::markUnsaved(Pane which) {
    ProjectState& p = m_window.project();
    TranslatorLForm* f = m_window.form();
    switch (which) {
    case Original:
        p.orgModified = true;
        break;
    case Translation:
        p.transModified = true;
        break;
    case Comment:
        m_comments.window()->setModified(true);
        return;
    }
    f->mnuSave->setEnabled(true);
    f->toolButton(QStringLiteral("save"))->setEnabled(true);
}

bool Recovery::isUsersFile(const QString& path) const {
    const PlanInfo& plan = m_window.project().current;
    const QString target = absolute(path);
    for (const QString& own : {plan.orgFilePath, plan.transFilePath, plan.cmntFilePath})
        if (!own.isEmpty() && absolute(own) == target)
            return true;
    return false;
}

void Recovery::removeCopy(const QString& path) const {
    if (!isUsersFile(path))
        QFile::remove(path);
}

// ---- Copies ---------------------------------------------------------------------------------

void Recovery::writeProjectRecord() {
    const ProjectState& p = m_window.project();
    PlanInfo plan = p.current;
    // Work that New cleared belongs to no project, whatever record is still current.
    if (p.untitledWork)
        plan.planName.clear();
    const QByteArray line = projectfiles::recordLine(plan);
    const QString appFolder = session().appFolder;
    if (line == m_recordWritten &&
        QFile::exists(folder(appFolder) + u'/' + projectfiles::CurrentPlanFile))
        return;
    projectfiles::saveCurrentPlan(folder(appFolder), plan);
    m_recordWritten = line;
}

void Recovery::poll(qint64 nowMs) {
    bool due = false;
    for (int i = 0; i < PaneCount; ++i) {
        Pending& pending = m_pending[i];
        RichTextPane* source = pane(Pane(i));
        if (!source || !unsaved(Pane(i))) {
            pending = {};
            continue;
        }
        const Copied now{source->document(), source->document()->revision()};
        if (now.document == m_copied[i].document && now.revision == m_copied[i].revision) {
            pending = {};
            continue;
        }
        if (now.document != pending.seen.document || now.revision != pending.seen.revision) {
            pending.seen = now;
            pending.changedAt = nowMs;
            if (pending.waitingSince < 0)
                pending.waitingSince = nowMs;
        }
        due =
            due || nowMs - pending.changedAt >= QuietMs || nowMs - pending.waitingSince >= LatestMs;
    }
    if (due)
        copyNow();
}

void Recovery::copyNow() {
    if (m_ended)
        return;
    m_pending = {};
    const QString appFolder = session().appFolder;
    try {
        for (int i = 0; i < PaneCount; ++i) {
            const auto which = Pane(i);
            const QString file = copyFile(appFolder, which);
            RichTextPane* source = pane(which);
            if (!source || !unsaved(which)) {
                removeCopy(file);
                m_copied[i] = {};
                continue;
            }
            const QTextDocument* document = source->document();
            const Copied now{document, document->revision()};
            if (now.document == m_copied[i].document && now.revision == m_copied[i].revision &&
                QFile::exists(file))
                continue;
            if (isUsersFile(file))
                continue;
            QDir().mkpath(folder(appFolder));
            writeProjectRecord();
            writeFileAtomically(file, richtext::writeRtf(*document));
            m_copied[i] = now;
        }
    } catch (const std::exception& e) {
        // A safety net must not interrupt the work it protects; the next round tries again.
        qWarning("Recovery copy failed: %s", e.what());
    }
    dropSavedCopies();
}

void Recovery::dropSavedCopies() {
    const QString appFolder = session().appFolder;
    bool anyLeft = false;
    for (int i = 0; i < PaneCount; ++i) {
        if (unsaved(Pane(i)) && QFile::exists(copyFile(appFolder, Pane(i)))) {
            anyLeft = true;
            continue;
        }
        removeCopy(copyFile(appFolder, Pane(i)));
        m_copied[i] = {};
    }
    if (!anyLeft)
        removeCopies();
}

void Recovery::removeCopies() {
    const QString appFolder = session().appFolder;
    const QString dir = folder(appFolder);
    for (int i = 0; i < PaneCount; ++i) {
        removeCopy(copyFile(appFolder, Pane(i)));
        m_copied[i] = {};
    }
    removeCopy(dir + u'/' + projectfiles::CurrentPlanFile);
    m_recordWritten.clear();
    // Only an empty folder goes: anything else in it is not ours to delete.
    QDir().rmdir(dir);
}

// ---- Start ----------------------------------------------------------------------------------

void Recovery::offerAtStart() {
    const QString appFolder = session().appFolder;
    bool found = false;
    for (int i = 0; i < PaneCount; ++i)
        found = found || (QFile::exists(copyFile(appFolder, Pane(i))) &&
                          !isUsersFile(copyFile(appFolder, Pane(i))));
    if (!found)
        return;
    std::optional<PlanInfo> recorded;
    try {
        recorded = projectfiles::loadCurrentPlan(folder(appFolder));
    } catch (const RuntimeFailure&) {
    }
    if (showMessage(offerText(recorded ? &*recorded : nullptr), AppTitle, MessageButtons::YesNo,
                    MessageIcon::Question) == Answer::Yes)
        restore();
    else
        removeCopies();
}

QString Recovery::offerText(const PlanInfo* recorded) const {
    const QString appFolder = session().appFolder;
    QString text = QStringLiteral("前回保存されなかった作業が残っています。復元しますか？\r\n");
    if (recorded && !recorded->planName.isEmpty())
        text += QStringLiteral("\r\nﾌﾟﾛｼﾞｪｸﾄ：") + recorded->planName;
    else
        text += QStringLiteral("\r\nﾌﾟﾛｼﾞｪｸﾄ：（ﾌﾟﾛｼﾞｪｸﾄなし）");
    static const char16_t* const labels[PaneCount] = {u"原文", u"訳文", u"注釈"};
    QDateTime newest;
    for (int i = 0; i < PaneCount; ++i) {
        const QFileInfo copy(copyFile(appFolder, Pane(i)));
        if (!copy.exists() || isUsersFile(copy.filePath()))
            continue;
        QString document;
        if (recorded && !recorded->planName.isEmpty())
            document = i == Original      ? recorded->orgFilePath
                       : i == Translation ? recorded->transFilePath
                                          : recorded->cmntFilePath;
        text += QStringLiteral("\r\n") + QString::fromUtf16(labels[i]) + u'：' +
                (document.isEmpty() ? QStringLiteral("（無題）") : document);
        const QFileInfo onDisk(document);
        if (!document.isEmpty() && onDisk.exists() && onDisk.lastModified() > copy.lastModified())
            text += QStringLiteral("（複写の後にﾌｧｲﾙが変更されています）");
        if (!newest.isValid() || copy.lastModified() > newest)
            newest = copy.lastModified();
    }
    if (newest.isValid())
        text += QStringLiteral("\r\n複写の時刻：") +
                newest.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    return text;
}

bool Recovery::keepCopyOver(Pane which, const QString& document) {
    const QFileInfo copy(copyFile(session().appFolder, which));
    const QFileInfo onDisk(document);
    if (document.isEmpty() || !onDisk.exists() || onDisk.lastModified() <= copy.lastModified())
        return true;
    return showMessage(
               QStringLiteral("次のﾌｧｲﾙは作業の複写（%1）より後に変更されています。\r\n")
                       .arg(copy.lastModified().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"))) +
                   document +
                   QStringLiteral("\r\n\r\nはい：複写した作業を戻す（保存するまでﾌｧｲﾙは"
                                  "そのまま）\r\nいいえ：ﾌｧｲﾙの内容を残し、複写を捨てる"),
               QStringLiteral("復元の確認"), MessageButtons::YesNo,
               MessageIcon::Question) == Answer::Yes;
}

void Recovery::restore() {
    const QString appFolder = session().appFolder;
    const QString dir = folder(appFolder);
    ProjectState& p = m_window.project();
    TranslatorLForm* f = m_window.form();
    std::optional<PlanInfo> recorded;
    try {
        recorded = projectfiles::loadCurrentPlan(dir);
    } catch (const RuntimeFailure&) {
        // Without its record the work still comes back, into the project now in use.
    }
    if (recorded && recorded->planName.isEmpty() && p.projectInUse()) {
        p.untitledWork = true;
    } else if (recorded && !recorded->planName.isEmpty() &&
               recorded->planName != p.current.planName) {
        // The work belongs to another project than the one the editor opened: that project
        // becomes current again, with its own documents under the copies.
        p.makeCurrent(*recorded);
        projectfiles::saveCurrentPlan(appFolder, *recorded);
        // A document that cannot be read is kept on disk unless its pane comes back changed.
        f->Rtxt1->clear();
        p.orgFileNotRead = QFile::exists(recorded->orgFilePath) &&
                           documentimport::loadDocument(f->Rtxt1, recorded->orgFilePath, nullptr) !=
                               documentimport::Read::Loaded;
        f->Rtxt2->clear();
        p.transFileNotRead =
            QFile::exists(recorded->transFilePath) && !f->Rtxt2->loadFile(recorded->transFilePath);
        f->setPanelText(1, recorded->planName);
        f->setPanelText(2, recorded->orgFilePath);
        f->setPanelText(3, recorded->transFileName);
        m_window.formResize();
        m_comments.loadForProject();
        p.orgModified = false;
        p.transModified = false;
    }
    for (int i = 0; i < PaneCount; ++i) {
        const auto which = Pane(i);
        const QString file = copyFile(appFolder, which);
        RichTextPane* target = pane(which);
        if (!QFile::exists(file) || !target || isUsersFile(file))
            continue;
        const PlanInfo& plan = p.current;
        const QString document = which == Original      ? plan.orgFilePath
                                 : which == Translation ? plan.transFilePath
                                                        : plan.cmntFilePath;
        if (!(p.untitledWork && which != Comment) && !keepCopyOver(which, document)) {
            removeCopy(file);
            continue;
        }
        QString error;
        if (!target->loadFile(file, &error))
            showMessage(QStringLiteral("ﾌｧｲﾙを読み込めませんでした。\r\n") + file +
                            QStringLiteral("\r\n") + error,
                        QStringLiteral("読み込みｴﾗｰ"), MessageButtons::Ok,
                        MessageIcon::Exclamation);
        markUnsaved(which);
        m_copied[i] = {target->document(), target->document()->revision()};
    }
    // The record is written afresh with the next copy, for the project the work now belongs to.
    m_recordWritten.clear();
}
