// SPDX-License-Identifier: GPL-3.0-or-later
#include "sentencesplit.h"

#include "core/projects/projectstate.h"
#include "frmbunkatu.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "translator/frmtranslatorl.h"
#include "ui/largeedit.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAction>
#include <QTextCursor>
#include <QTextDocument>

namespace sentencesplit {

namespace {

// The pane's plain text shows every paragraph end and line break as '\n'; it ends a sentence
// when the terminators name a line end.
bool isTerminator(QChar c, QStringView terminators) {
    if (c == u'\n')
        return terminators.contains(u'\n') || terminators.contains(u'\r');
    return terminators.contains(c);
}

void add(std::vector<Insertion>& plan, int position, const QString& text) {
    if (text.isEmpty())
        return;
    // A heading right behind the previous block's breaks goes in with them, as one insertion.
    if (!plan.empty() && plan.back().position == position)
        plan.back().text += text;
    else
        plan.push_back({position, text});
}

} // namespace

std::vector<Insertion> plan(QStringView text, int from, const SplitSettings& settings) {
    std::vector<Insertion> result;
    const int end = int(text.size());
    const int spacing = std::clamp<int>(settings.blockSpacing, 0, 2);
    const QString blockBreak(spacing + 1, u'\n');
    const QString lineBreakSpacing(spacing, u'\n');
    int pos = std::clamp(from, 0, end);
    for (int n = 1; pos < end; ++n) {
        if (settings.numbering)
            add(result, pos,
                settings.beforeNumber + QString::number(n) + settings.afterNumber + u'\n');
        // The block's first character never ends it: "..." ends at its first dot, and the next
        // block holds the other two instead of a lone dot.
        int at = pos + 1;
        while (at < end && !isTerminator(text[at], settings.terminators))
            ++at;
        if (at < end)
            ++at; // behind the terminator
        while (at < end && text[at] == u' ')
            ++at;
        if (at < end && text[at] != u'\n') {
            add(result, at, blockBreak);
        } else {
            // The sentence ends its line (or the text): the line break it has counts as the
            // first of the block break.
            if (at < end)
                ++at;
            add(result, at, lineBreakSpacing);
        }
        pos = at;
    }
    return result;
}

void split(RichTextPane& pane, const SplitSettings& settings) {
    QTextCursor start = pane.textCursor();
    const std::vector<Insertion> insertions =
        plan(pane.toPlainText(), start.selectionStart(), settings);
    if (!insertions.empty())
        largeedit::run(pane.document(), [&](QTextCursor& c) {
            int shift = 0;
            for (const Insertion& insertion : insertions) {
                c.setPosition(insertion.position + shift);
                c.insertText(insertion.text);
                shift += int(insertion.text.size());
            }
        });
    QTextCursor c = pane.textCursor();
    c.movePosition(QTextCursor::End);
    pane.setTextCursor(c);
}

} // namespace sentencesplit

SentenceSplit::SentenceSplit(FrmTranslatorL& window, QObject* parent)
    : QObject(parent), m_window(window) {
    TranslatorLForm* f = window.form();
    connect(f->mnuGoBunkatu, &QAction::triggered, this, [this] { mnuGoBunkatuClick(); });
    connect(f->mnuBunkatuSet, &QAction::triggered, this, [this] { mnuBunkatuSetClick(); });
}

void SentenceSplit::mnuGoBunkatuClick() {
    guarded(reportOnly(u"分割処理の実行時", "Error204"), [this] {
        ProjectState& p = m_window.project();
        if (!p.allowOrgEdit) {
            showMessage(QStringLiteral("<原文>の編集を許可する設定になっていません"),
                        QStringLiteral("編集許可確認"));
            return;
        }
        if (showMessage(QStringLiteral("一度分割を実行すると元に戻せません（保存しなければＯＫ）"
                                       "実行しますか？"),
                        QStringLiteral("分割の実行確認"), MessageButtons::YesNo,
                        MessageIcon::Question) != Answer::Yes)
            return;
        if (m_window.activePane() != u"Rtxt1") {
            showMessage(QStringLiteral("「文単位に分割」処理は<原文>でしか実行出来ません。"),
                        QStringLiteral("適用確認"));
            return;
        }
        sentencesplit::split(*m_window.form()->Rtxt1, p.split);
    });
}

void SentenceSplit::mnuBunkatuSetClick() {
    guarded(reportOnly(u"文単位で分割ﾀﾞｲｱﾛｸﾞ開く時", "Error203"), [this] {
        FrmBunkatu dialog(m_window.project().split, m_window.form());
        dialog.exec();
    });
}
