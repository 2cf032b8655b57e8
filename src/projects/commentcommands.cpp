// SPDX-License-Identifier: GPL-3.0-or-later
#include "commentcommands.h"

#include "core/projects/projectfiles.h"
#include "core/projects/projectstate.h"
#include "core/settings/session.h"
#include "frmcomment.h"
#include "optioncommands.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "projectcommands.h"
#include "translator/editorexit.h"
#include "translator/editorspelling.h"
#include "translator/frmtranslatorl.h"
#include "ui/commentform.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAction>
#include <QFile>

CommentCommands::CommentCommands(FrmTranslatorL& window, ProjectCommands& projects,
                                 OptionCommands& options, QObject* parent)
    : QObject(parent ? parent : &window), m_window(window) {
    connectEvents();
    ProjectCommands::CommentHooks& hooks = projects.commentHooks();
    hooks.load = [this] { loadForProject(); };
    hooks.unload = [this] { return unload(); };
    hooks.save = [this] { return save(); };
    options.commentPane = [this] { return paneLoadingWindow(); };
    // The editor has just read the project in use; without ctrinfo.vtd it has already disabled
    // the show commands.
    if (QFile::exists(session().appFolder + u'/' + projectfiles::CurrentPlanFile))
        loadForProject();
}

CommentCommands::~CommentCommands() = default;

void CommentCommands::connectEvents() {
    TranslatorLForm* f = m_window.form();
    connect(f->mnuCmntLoading, &QAction::triggered, this, [this] { mnuCmntLoadingClick(); });
    connect(f->mnuComment, &QAction::triggered, this, [this] { mnuCommentClick(); });
    connect(f->popShowCmnt, &QAction::triggered, this, [this] { popShowCmntClick(); });
    // The tool-bar button "CmntOpen" runs mnuComment through the editor's tool-bar handler.
}

RichTextPane* CommentCommands::pane() const {
    return m_comment ? m_comment->pane() : nullptr;
}

bool CommentCommands::isShown() const {
    return m_comment && m_comment->form()->isVisible();
}

void CommentCommands::setShowCommandsEnabled(bool on) {
    TranslatorLForm* f = m_window.form();
    for (QAction* a : {f->mnuComment, f->popShowCmnt, f->toolButton(QStringLiteral("CmntOpen"))})
        a->setEnabled(on);
}

bool CommentCommands::load() {
    ProjectState& p = m_window.project();
    m_comment = std::make_unique<FrmComment>(p);
    m_window.spelling()->attach(m_comment->pane());
    connect(m_comment.get(), &FrmComment::hidden, this, [this] { setShowCommandsEnabled(true); });
    // Unloading deletes the window; it happens once its own menu handler has returned.
    connect(
        m_comment.get(), &FrmComment::unloadRequested, this, [this] { unload(); },
        Qt::QueuedConnection);
    if (!m_comment->formLoad())
        return false;
    p.cmntLoaded = true;
    return true;
}

bool CommentCommands::loadForProject() {
    if (!unload())
        return false;
    const ProjectState& p = m_window.project();
    if (!p.current.useCmnt) {
        setShowCommandsEnabled(false);
        return true;
    }
    const bool loaded = load();
    setShowCommandsEnabled(loaded);
    return loaded;
}

bool CommentCommands::unload() {
    if (!m_comment)
        return true;
    if (!m_comment->queryUnload())
        return false;
    m_comment->form()->hide();
    // Deleted later: the request may come from inside one of the window's own handlers.
    m_comment.release()->deleteLater();
    m_window.project().cmntLoaded = false;
    setShowCommandsEnabled(false);
    return true;
}

bool CommentCommands::save() {
    if (!m_comment || !m_window.project().current.useCmnt)
        return true;
    return m_comment->savePane();
}

RichTextPane* CommentCommands::paneLoadingWindow() {
    const ProjectState& p = m_window.project();
    if (!m_comment && p.projectInUse() && p.current.useCmnt)
        loadForProject();
    return pane();
}

void CommentCommands::show() {
    CommentForm* form = m_comment->form();
    form->show();
    form->raise();
    form->activateWindow();
    setShowCommandsEnabled(false);
}

void CommentCommands::mnuCommentClick() {
    guarded(terminating(u"注釈ｳｨﾝﾄﾞｳ表示", "Error142"), [this] {
        // Asked twice for one pop-up request, or for a window already shown: it just comes to
        // the front.
        if (m_comment)
            show();
    });
}

void CommentCommands::popShowCmntClick() {
    // The pop-up has closed by the time its item runs, so the request is served at once.
    guarded(reportOnly(u"POPUP注釈ｳｨﾝﾄﾞｳ選択時", "Error282"), [this] { mnuCommentClick(); });
}

void CommentCommands::mnuCmntLoadingClick() {
    guarded(terminating(u"注釈ｳｨﾝﾄﾞｳﾛｰﾄﾞ時", "Error141"), [this] {
        const QString appFolder = session().appFolder;
        if (!QFile::exists(appFolder + u'/' + projectfiles::CurrentPlanFile)) {
            showMessage(
                QStringLiteral("「注釈」ｳｨﾝﾄﾞｳを使用するにはまず新規保存する必要があります。"),
                QStringLiteral("保存確認"));
            return;
        }
        if (m_window.project().current.useCmnt) {
            if (m_comment) {
                showMessage(QStringLiteral("「注釈」ｳｨﾝﾄﾞｳはすでにﾛｰﾄﾞされています。"),
                            QStringLiteral("ﾛｰﾄﾞ確認"));
                return;
            }
            if (load())
                show();
            return;
        }
        if (showMessage(QStringLiteral("現在、注釈ｳｨﾝﾄﾞｳを使用する設定になっていません。"
                                       "使用する設定に変更しますか？"),
                        QStringLiteral("設定変更確認"), MessageButtons::YesNo,
                        MessageIcon::Question) != Answer::Yes)
            return;
        turnCommentsOn();
    });
}

void CommentCommands::turnCommentsOn() {
    const QString appFolder = session().appFolder;
    ProjectState& p = m_window.project();
    PlanInfo plan = p.current;
    plan.cmntFilePath = projectfiles::commentFilePath(plan.transFilePath, plan.transFileName);
    plan.useCmnt = true;
    // A project file that cannot be written is reported by name; the program and the work in
    // the panes go on.
    try {
        projectfiles::saveCurrentPlan(appFolder, plan);
    } catch (const RuntimeFailure& failed) {
        EditorExit::reportUnsaved(appFolder + u'/' + projectfiles::CurrentPlanFile,
                                  failed.description());
        return;
    }
    p.current = plan;

    // The window start loads a comment file of that name when there is one, or creates it.
    if (!load() || !m_comment->savePane())
        return;

    std::optional<projectfiles::FileDamage> damage;
    p.plans = projectfiles::loadPlanList(appFolder, &damage);
    if (damage)
        showMessage(damage->message(), projectfiles::DamageTitle, MessageButtons::Ok,
                    MessageIcon::Exclamation);
    for (PlanInfo& entry : p.plans) {
        if (entry.planName != plan.planName)
            continue;
        entry.cmntFilePath = plan.cmntFilePath;
        entry.useCmnt = true;
        try {
            projectfiles::savePlanList(appFolder, p.plans);
        } catch (const RuntimeFailure& failed) {
            // The comment window is on for the project in use; the list keeps it as it was.
            EditorExit::reportUnsaved(appFolder + u'/' + projectfiles::PlanListFile,
                                      failed.description());
            show();
            return;
        }
        break;
    }
    showMessage(QStringLiteral("現在のﾌﾟﾛｼﾞｪｸﾄで「注釈」ｳｨﾝﾄﾞｳを使用する設定に変更しました。"),
                QStringLiteral("設定変更確認"));
    show();
}
