// SPDX-License-Identifier: GPL-3.0-or-later
#include "quicksearch.h"

#include "core/projects/projectstate.h"
#include "core/store/book.h"
#include "core/store/wordindex.h"
#include "core/text/likepattern.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "wordlookup.h"
#include "wordpane.h"

namespace quicksearch {
namespace {

bool isTrailingBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

// The last position of the run of words that begin with the plain text prefix, -1 when none.
// In the index's order such words sort together, right from the prefix's own place.
int lastWordBeginningWith(const WordIndex& index, const QString& prefix) {
    const int first = index.lowerBound(prefix);
    if (first >= index.size() || !index.at(first).word.startsWith(prefix))
        return -1;
    int low = first + 1;
    int high = index.size();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (index.at(middle).word.startsWith(prefix))
            low = middle + 1;
        else
            high = middle;
    }
    return low - 1;
}

// The same for a prefix holding pattern characters: the first matching word from the start of
// the index, then the last word of the run of matching words that follows it.
int lastWordMatching(const WordIndex& index, const QString& prefix) {
    const LikePattern pattern(prefix + u'*', index.compareMode());
    const QString& literal = pattern.literalPrefix();
    const LikePattern start(literal + u'*', index.compareMode());
    int p = literal.isEmpty() ? 0 : index.lowerBound(literal);
    for (; p < index.size(); ++p) {
        const QString& word = index.at(p).word;
        if (!start.matches(word))
            return -1; // past every word that could match
        if (pattern.matches(word))
            break;
    }
    if (p >= index.size())
        return -1;
    while (p + 1 < index.size() && pattern.matches(index.at(p + 1).word))
        ++p;
    return p;
}

} // namespace

QString keyOf(const QString& selection) {
    qsizetype end = selection.size();
    while (end > 0 && isTrailingBlank(selection[end - 1]))
        --end;
    return selection.left(end);
}

Match find(const WordIndex& index, const QString& key, bool approximate,
           const MorphAnalyser* analyser) {
    if (index.isEmpty() || key.isEmpty())
        return {};
    const wordlookup::Found word = wordlookup::exactOrDictionaryForm(index, key, analyser);
    if (word.position >= 0)
        return {word.position, true, word.word};
    if (!approximate)
        return {};
    for (qsizetype n = key.size() - 1; n >= 2; --n) {
        const QString prefix = key.left(n);
        const bool plain =
            index.order() == WordIndex::Order::Ordinal && LikePattern::isPlain(prefix);
        const int found =
            plain ? lastWordBeginningWith(index, prefix) : lastWordMatching(index, prefix);
        if (found >= 0)
            return {found, false};
    }
    return {};
}

} // namespace quicksearch

void QuickSearch::run(WordPane& pane, const QuickSearchOptions& options, bool textPaneActive,
                      const QString& selection) {
    guarded(terminating(u"ｸｲｯｸｻｰﾁ処理時", "Error161"), [&] {
        if (textPaneActive && selection.isEmpty())
            return;
        if (pane.m_mode != WordPane::Mode::Normal)
            return; // a registration or modification is under way in the pane
        const QString key = textPaneActive ? quicksearch::keyOf(selection) : QString();
        const WordIndex& index = pane.m_book.index();
        if (index.isEmpty())
            pane.setEditing(false);
        const std::shared_ptr<const MorphAnalyser> analyser = wordlookup::analyserFor(key);
        const quicksearch::Match match =
            quicksearch::find(index, key, options.approxSearch, analyser.get());
        if (match.position >= 0 && match.exact)
            showExact(pane, options, match.position, match.word);
        else if (match.position >= 0)
            showApproximate(pane, options, match.position, key);
        else
            reportMissing(pane, options, key);
    });
    pane.publish();
}

void QuickSearch::showExact(WordPane& pane, const QuickSearchOptions& options, int position,
                            const QString& key) {
    pane.m_quiet = true;
    pane.showEntry(position);
    pane.m_position = position;
    if (options.focusWordPaneAfterSearch) {
        pane.setInput(QString());
        pane.setInput(key);
        pane.requestFocus(WordPane::Field::Input, /*selectAll=*/true);
    } else {
        pane.setInput(QString());
    }
    pane.m_quiet = false;
    pane.setEditing(true);
}

void QuickSearch::showApproximate(WordPane& pane, const QuickSearchOptions& options, int position,
                                  const QString& key) {
    pane.showEntry(position);
    pane.m_position = position;
    pane.m_quiet = true;
    pane.setInput(QString());
    if (options.focusWordPaneAfterSearch) {
        pane.setInput(key);
        pane.requestFocus(WordPane::Field::Input, /*selectAll=*/true);
    }
    pane.m_quiet = false;
}

void QuickSearch::reportMissing(WordPane& pane, const QuickSearchOptions& options,
                                const QString& key) {
    pane.refreshBeforeMessage();
    showMessage(QStringLiteral("選択された単語では見つかりませんでした"),
                QStringLiteral("未登録情報"));
    if (!options.focusWordPaneAfterSearch)
        return;
    if (options.registerWhenMissing) {
        pane.enterRegisterMode(key);
    } else {
        pane.m_quiet = true;
        pane.setInput(QString());
        pane.requestFocus(WordPane::Field::Input);
        pane.m_quiet = false;
    }
}
