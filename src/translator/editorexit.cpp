// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorexit.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/projects/projectstate.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "core/wordprocessor/documentkind.h"
#include "frmtranslatorl.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "wordpanebinding.h"

#include <QAction>
#include <QFileInfo>

EditorExit::EditorExit(FrmTranslatorL& window) : m_window(window) {
    TranslatorLForm* f = window.form();
    QObject::connect(f->mnuSave, &QAction::triggered, &window, [this] { mnuSaveClick(); });
    QObject::connect(f->toolButton(QStringLiteral("save")), &QAction::triggered, &window,
                     [this] { mnuSaveClick(); });
    QObject::connect(f->mnuExit, &QAction::triggered, &window, [this] { mnuExitClick(); });
    QObject::connect(f->mnuEnd, &QAction::triggered, &window, [this] { mnuEndClick(); });
    // Until the selection tracking of the panes takes this over, any change of a pane's text
    // counts as unsaved work, so that leaving asks about it.
    for (RichTextPane* pane : {f->Rtxt1, f->Rtxt2})
        QObject::connect(pane, &QTextEdit::textChanged, &window, [f, pane] {
            // Text still being composed is not in the document yet.
            if (pane->isComposing())
                return;
            f->mnuSave->setEnabled(true);
            f->toolButton(QStringLiteral("save"))->setEnabled(true);
        });
}

void EditorExit::mnuSaveClick() {
    guarded(terminating(u"保存時", "Error163"), [this] {
        ProjectState& p = m_window.project();
        TranslatorLForm* f = m_window.form();
        if (!p.projectInUse() || p.untitledWork) {
            // Work that belongs to no project is given one by the new-project wizard. Cancelled
            // there, it is still unsaved, and Save stays on to say so.
            if (!m_hooks.saveUntitledWork || !m_hooks.saveUntitledWork())
                return;
        } else {
            if (!saveDocuments())
                return;
            if (p.current.useCmnt && m_hooks.saveComment && !m_hooks.saveComment())
                return;
        }
        p.untitledWork = false;
        f->mnuSave->setEnabled(false);
        f->toolButton(QStringLiteral("save"))->setEnabled(false);
        if (p.newPlanMadeCurrent) {
            p.orgModified = false;
            p.transModified = false;
            p.newPlanMadeCurrent = false;
        }
        if (m_hooks.saved)
            m_hooks.saved();
        emit m_window.projectSaved();
    });
}

bool EditorExit::saveDocuments() {
    ProjectState& p = m_window.project();
    // A document that could not be read is kept on disk until its pane is changed, and then
    // replaced only when the user says so.
    if (p.useOrgFile && p.saveOrgToo && (p.orgModified || !p.orgFileNotRead)) {
        if (!saveProjectDocument(Document::Original))
            return false;
        p.orgModified = false;
    }
    if ((p.transModified || !p.transFileNotRead) && !saveProjectDocument(Document::Translation))
        return false;
    p.transModified = false;
    return true;
}

RichTextPane* EditorExit::paneOf(Document which) const {
    TranslatorLForm* f = m_window.form();
    return which == Document::Original ? f->Rtxt1 : f->Rtxt2;
}

QString EditorExit::pathOf(Document which) const {
    const PlanInfo& plan = m_window.project().current;
    return which == Document::Original ? plan.orgFilePath : plan.transFilePath;
}

bool& EditorExit::notReadFlag(Document which) const {
    ProjectState& p = m_window.project();
    return which == Document::Original ? p.orgFileNotRead : p.transFileNotRead;
}

bool EditorExit::saveProjectDocument(Document which) {
    // The user's word-processor document is only ever read: unchanged, there is nothing to save;
    // edited, its text goes to a new RTF file, which becomes the project's document.
    if (wordprocessor::isWordProcessorDocument(pathOf(which))) {
        const ProjectState& p = m_window.project();
        const bool edited = which == Document::Original ? p.orgModified : p.transModified;
        return !edited || saveUnderAnotherName(which);
    }
    if (notReadFlag(which))
        return saveOverUnreadDocument(which);
    if (isReadOnlyFile(pathOf(which)))
        return saveInsteadOfReadOnly(which);
    return saveDocument(paneOf(which), pathOf(which));
}

bool EditorExit::saveOverUnreadDocument(Document which) {
    const QString path = pathOf(which);
    MessageRequest question;
    question.title = QStringLiteral("上書きの確認");
    question.text =
        QStringLiteral("次のﾌｧｲﾙは読み込めなかったため、編集中の内容はﾌｧｲﾙの一部しか"
                       "含んでいない可能性があります。\r\n") +
        path +
        QStringLiteral("\r\n上書きすると、読み込めなかった内容は失われます。\r\n\r\n"
                       "はい：このﾌｧｲﾙに上書きする\r\nいいえ：別の名前で保存する（元のﾌｧｲﾙは"
                       "そのまま残す）\r\nｷｬﾝｾﾙ：保存しない");
    question.buttons = MessageButtons::YesNoCancel;
    question.icon = MessageIcon::Exclamation;
    question.defaultAnswer = Answer::No;
    switch (dialogs().message(question)) {
    case Answer::Yes:
        if (!saveDocument(paneOf(which), path))
            return false;
        notReadFlag(which) = false;
        return true;
    case Answer::No:
        return saveUnderAnotherName(which);
    default:
        return false;
    }
}

bool EditorExit::saveInsteadOfReadOnly(Document which) {
    MessageRequest question;
    question.title = QStringLiteral("読み取り専用ﾌｧｲﾙ");
    question.text = QStringLiteral("次のﾌｧｲﾙは読み取り専用のため、上書きできません。\r\n") +
                    pathOf(which) +
                    QStringLiteral("\r\n\r\nOK：別の名前で保存する（元のﾌｧｲﾙはそのまま残す）"
                                   "\r\nｷｬﾝｾﾙ：保存しない");
    question.buttons = MessageButtons::OkCancel;
    question.icon = MessageIcon::Exclamation;
    question.defaultAnswer = Answer::Ok;
    return dialogs().message(question) == Answer::Ok && saveUnderAnotherName(which);
}

bool EditorExit::saveUnderAnotherName(Document which) {
    const QString path = pathOf(which);
    FileRequest request;
    request.title = QStringLiteral("別の名前で保存");
    request.folder = QFileInfo(path).absolutePath();
    request.fileName = QFileInfo(path).completeBaseName() + QStringLiteral("_編集.rtf");
    request.filter = QStringLiteral("RTF (*.rtf);;すべてのﾌｧｲﾙ (*)");
    request.defaultSuffix = QStringLiteral("rtf");
    const std::optional<QString> other = dialogs().saveFile(request);
    if (!other)
        return false;
    if (QFileInfo(*other).absoluteFilePath() == QFileInfo(path).absoluteFilePath())
        return saveProjectDocument(which);
    // The project must be able to name the new file before the work goes there, and a file of
    // the program's own is no place for it.
    PlanInfo moved = m_window.project().current;
    const QString name = QFileInfo(*other).fileName();
    if (which == Document::Original) {
        moved.orgFilePath = *other;
        moved.orgFileName = name;
    } else {
        moved.transFilePath = *other;
        moved.transFileName = name;
    }
    QString refusal = projectfiles::refusalFor(moved);
    if (refusal.isEmpty() && projectfiles::namesOwnFile(session().appFolder, *other))
        refusal = QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ自身のﾌｧｲﾙ「%1」には保存できません。").arg(name);
    if (!refusal.isEmpty()) {
        showMessage(refusal + QStringLiteral("\r\n") + *other, QStringLiteral("保存ｴﾗｰ"),
                    MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    if (!saveDocument(paneOf(which), *other))
        return false;
    adoptDocument(which, moved);
    return true;
}

void EditorExit::adoptDocument(Document which, const PlanInfo& moved) {
    ProjectState& p = m_window.project();
    p.current = moved;
    notReadFlag(which) = false;
    TranslatorLForm* f = m_window.form();
    if (which == Document::Original)
        f->setPanelText(2, moved.orgFilePath);
    else
        f->setPanelText(3, moved.transFileName);

    // The next start and the project list open the new file. The work is safe already, so a
    // project file that cannot be written is reported, and the editor goes on with the new file.
    const QString appFolder = session().appFolder;
    QString file = projectfiles::CurrentPlanFile;
    try {
        projectfiles::saveCurrentPlan(appFolder, moved);
        file = projectfiles::PlanListFile;
        std::optional<projectfiles::FileDamage> damage;
        PlanList plans = projectfiles::loadPlanList(appFolder, &damage);
        if (damage)
            showMessage(damage->message(), projectfiles::DamageTitle, MessageButtons::Ok,
                        MessageIcon::Exclamation);
        for (PlanInfo& entry : plans) {
            if (entry.planName != moved.planName)
                continue;
            if (which == Document::Original) {
                entry.orgFilePath = moved.orgFilePath;
                entry.orgFileName = moved.orgFileName;
            } else {
                entry.transFilePath = moved.transFilePath;
                entry.transFileName = moved.transFileName;
            }
            projectfiles::savePlanList(appFolder, plans);
            break;
        }
        p.plans = plans;
    } catch (const RuntimeFailure& failed) {
        reportUnsaved(appFolder + u'/' + file, failed.description());
    } catch (const PlanRefused& refused) {
        reportUnsaved(appFolder + u'/' + file, refused.reason());
    }
}

bool EditorExit::saveDocument(RichTextPane* pane, const QString& path) {
    QString error;
    if (pane->saveFile(path, &error))
        return true;
    reportUnsaved(path, error);
    return false;
}

void EditorExit::reportUnsaved(const QString& path, const QString& reason) {
    showMessage(QStringLiteral("ﾌｧｲﾙを保存できませんでした。\r\n") + path + QStringLiteral("\r\n") +
                    reason,
                QStringLiteral("保存ｴﾗｰ"), MessageButtons::Ok, MessageIcon::Exclamation);
}

void EditorExit::mnuExitClick() {
    guarded(terminating(u"戻る時", "Error146"), [this] { leave(Leave::Return); });
}

void EditorExit::mnuEndClick() {
    guarded(terminating(u"終了時", "Error145"), [this] { leave(Leave::End); });
}

bool EditorExit::closingByFrame() {
    if (m_leaving)
        return true;
    bool left = false;
    guarded(terminating(u"終了時", "Error145"), [&] { left = leave(Leave::End); });
    return left;
}

bool EditorExit::askAndSave(Leave how) {
    ProjectState& p = m_window.project();
    TranslatorLForm* f = m_window.form();
    const bool projectInUse = p.projectInUse();
    if (!projectInUse && !f->Rtxt2->document()->isEmpty()) {
        const QString question = how == Leave::End
                                     ? QStringLiteral("このまま保存せずに終了しますか？")
                                     : QStringLiteral("このまま保存せずに閉じてもよろしいですか？");
        if (showMessage(QStringLiteral("『翻訳部』の内容は変更されています。\r\n") + question,
                        QStringLiteral("終了時保存の確認"), MessageButtons::YesNo,
                        MessageIcon::Question) != Answer::Yes)
            return false;
    }
    if (m_window.wordPane()->mode() != WordPane::Mode::Normal) {
        showMessage(QStringLiteral("通常ﾓｰﾄﾞに戻してから再度実行して下さい。"),
                    QStringLiteral("確認"));
        return false;
    }
    if (projectInUse && f->mnuSave->isEnabled()) {
        const Answer answer =
            showMessage(QStringLiteral("閉じる前に現在の『翻訳部』の内容を保存しますか？"),
                        QStringLiteral("変更内容の保存の確認"), MessageButtons::YesNoCancel,
                        MessageIcon::Question);
        if (answer == Answer::Cancel)
            return false;
        // Work that could not be saved keeps the editor open rather than being lost with it.
        if (answer == Answer::Yes && !saveDocuments())
            return false;
    }
    return true;
}

bool EditorExit::leave(Leave how) {
    if (m_leaving)
        return false;
    if (m_hooks.leaving)
        m_hooks.leaving();
    // Notes that cannot be saved keep the editor open, as the other work does.
    if (!askAndSave(how) || (m_hooks.closeComment && !m_hooks.closeComment()))
        return false;
    // Deletions made here are compacted on the way out whichever way the editor is left, so the
    // word book never finds dead records it does not know about.
    if (Book* book = m_window.book())
        m_hooks.writeBack ? m_hooks.writeBack(*book) : book->writeBack();
    m_leaving = true;
    TranslatorLForm* f = m_window.form();
    f->hide();
    if (how == Leave::End)
        emit m_window.endRequested();
    else
        emit m_window.returnRequested();
    return true;
}
