// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordpane.h"

#include "core/history/wordhistory.h"
#include "core/store/book.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "wordlookup.h"

#include <algorithm>

namespace {

QString trimmedRight(const QString& s) {
    qsizetype end = s.size();
    while (end > 0 && s[end - 1] == u' ')
        --end;
    return s.left(end);
}

const QString InputErrorTitle = QStringLiteral("入力ｴﾗｰ");

} // namespace

WordPane::WordPane(Book& book, QObject* parent) : QObject(parent), m_book(book) {}

WordPane::~WordPane() = default;

QString WordPane::modeCaption() const {
    switch (m_mode) {
    case Mode::Register:
        return QStringLiteral("登録ﾓｰﾄﾞ");
    case Mode::Modify:
        return QStringLiteral("修正ﾓｰﾄﾞ");
    default:
        return QStringLiteral("通常ﾓｰﾄﾞ");
    }
}

QColor WordPane::modeColor() const {
    switch (m_mode) {
    case Mode::Register:
        return QColor(255, 192, 255);
    case Mode::Modify:
        return QColor(192, 192, 255);
    default:
        return QColor(192, 255, 255);
    }
}

int WordPane::spinnerMaximum() const {
    return std::max(m_book.index().upperIndex(), 0);
}

int WordPane::wordCount() const {
    return m_book.index().size();
}

void WordPane::publish() {
    emit changed();
    if (m_focus) {
        const auto [field, selectAll] = *m_focus;
        m_focus.reset();
        emit focusRequested(field, selectAll);
    }
}

// ---- Showing words -------------------------------------------------------------------------

void WordPane::showEntry(int position, bool trimmed) {
    const IndexEntry& e = m_book.index().at(position);
    m_word = e.word;
    m_shown = position;
    m_recordNo = e.recordNo;
    const QString meaning = m_book.meaning(e.recordNo);
    const QString example = m_book.example(e.recordNo);
    m_meaning = trimmed ? trimmedRight(meaning) : meaning;
    m_example = trimmed ? trimmedRight(example) : example;
    updateCounts();
}

void WordPane::updateCounts() {
    m_remainingMeaning = MeaningChars - int(trimmedRight(m_meaning).size());
    m_remainingExample = ExampleChars - int(trimmedRight(m_example).size());
}

void WordPane::setEditing(bool canModifyAndDelete) {
    m_canModify = m_canDelete = canModifyAndDelete && !m_book.index().isEmpty();
}

// The word at position becomes the current one: shown, under the spinner, in the input box.
void WordPane::selectFound(int position) {
    m_quiet = true;
    showEntry(position);
    m_position = position;
    m_spinner = position;
    m_spinnerText = QString::number(position);
    requestFocus(Field::Input, /*selectAll=*/true);
    m_quiet = false;
    setEditing(true);
}

// Writing the input box runs its change handler, as typing does; the same text changes nothing.
// Outside normal mode nothing is searched, but the scan memory is brought up to the new text,
// so the next keystroke continues from the word the box now names.
void WordPane::setInput(const QString& text) {
    if (text == m_input)
        return;
    m_input = text;
    runIncrementalSearch();
    if (m_mode != Mode::Normal && !m_book.index().isEmpty()) {
        m_search.reset();
        if (!text.isEmpty()) {
            m_search.textChanged(m_book.index(), text.left(1));
            m_search.textChanged(m_book.index(), text);
        }
    }
}

void WordPane::runIncrementalSearch() {
    setEditing(false);
    m_recalledSlot = -1;
    if (m_book.index().isEmpty() || m_mode != Mode::Normal)
        return;
    if (!m_quiet)
        m_meaning.clear();
    int found = m_search.textChanged(m_book.index(), m_input);
    if (found < 0) {
        // No word begins with the text: a conjugated Japanese word shows its dictionary form.
        const std::shared_ptr<const MorphAnalyser> analyser = wordlookup::analyserFor(m_input);
        if (analyser)
            found =
                wordlookup::exactOrDictionaryForm(m_book.index(), m_input, analyser.get()).position;
    }
    if (found >= 0)
        showEntry(found);
    else
        updateCounts();
}

// ---- Start and typing ----------------------------------------------------------------------

void WordPane::start() {
    guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error135"), [this] {
        m_mode = Mode::Normal;
        m_search.reset();
        m_input.clear();
        m_word.clear();
        m_meaning.clear();
        m_example.clear();
        m_position = 0;
        m_shown = -1;
        m_spinner = 0;
        m_spinnerText = QStringLiteral("0");
        m_stock.fill(StockSlot());
        m_selectedSlot = 0;
        m_recalledSlot = -1;
        m_canCarryOut = m_canCancel = false;
        if (!m_book.index().isEmpty()) {
            setInput(m_book.index().at(0).word);
            requestFocus(Field::Input, /*selectAll=*/true);
        }
        setEditing(true);
        updateCounts();
    });
    publish();
}

void WordPane::bookReloaded() {
    if (m_mode != Mode::Normal)
        return; // a command under way shows its own result
    m_search.reset();
    runIncrementalSearch();
    publish();
}

void WordPane::inputChanged(const QString& text) {
    guarded(terminating(u"ｲﾝｸﾘﾒﾝﾀﾙｻｰﾁ時", "Error171"), [&] {
        m_input = text;
        runIncrementalSearch();
    });
    publish();
}

void WordPane::enterPressed() {
    guarded(terminating(u"入力欄決定時", "Error173"), [this] {
        if (m_mode != Mode::Normal)
            return;
        const QString key = trimmedRight(m_input);
        if (key.isEmpty())
            return;
        if (m_book.index().isEmpty())
            setEditing(false);
        // A conjugated Japanese word is found by its dictionary form (用いて finds 用いる),
        // which the box then names, as the quick search does.
        const std::shared_ptr<const MorphAnalyser> analyser = wordlookup::analyserFor(key);
        const wordlookup::Found found =
            wordlookup::exactOrDictionaryForm(m_book.index(), key, analyser.get());
        if (found.position >= 0) {
            if (found.word != key) {
                m_quiet = true;
                setInput(found.word);
                m_quiet = false;
            }
            selectFound(found.position);
        } else {
            refreshBeforeMessage();
            const Answer answer = showMessage(
                QStringLiteral("この単語はまだ登録されていません。\r\n登録しますか？"),
                QStringLiteral("未登録情報"), MessageButtons::YesNo, MessageIcon::Question);
            if (answer == Answer::Yes) {
                enterRegisterMode(key);
            } else {
                m_mode = Mode::Register;
                doCancel();
            }
        }
        updateCounts();
    });
    publish();
}

void WordPane::meaningEdited(const QString& text) {
    guarded(reportOnly(u"意味欄処理時", "Error174"), [&] {
        m_meaning = text;
        updateCounts();
    });
    publish();
}

void WordPane::exampleEdited(const QString& text) {
    guarded(reportOnly(u"用例欄内容変化時", "Error285"), [&] {
        m_example = text;
        updateCounts();
    });
    publish();
}

// ---- Modes ---------------------------------------------------------------------------------

void WordPane::enterRegisterMode(const QString& word) {
    m_mode = Mode::Register;
    m_word = word;
    m_meaning.clear();
    m_example.clear();
    requestFocus(Field::Meaning);
    m_canCarryOut = m_canCancel = true;
    m_canModify = m_canDelete = false;
    updateCounts();
}

void WordPane::modify() {
    guarded(terminating(u"修正ﾎﾞﾀﾝｸﾘｯｸ時", "Error133"), [this] {
        if (!m_canModify || m_mode != Mode::Normal || m_book.index().isEmpty())
            return;
        m_mode = Mode::Modify;
        // The word under edit is the current one, whatever the input box last showed.
        showEntry(m_position);
        requestFocus(Field::Word, /*selectAll=*/true);
        m_canModify = m_canDelete = false;
        m_canCarryOut = m_canCancel = true;
    });
    publish();
}

void WordPane::carryOut() {
    guarded(terminating(u"実行ﾎﾞﾀﾝｸﾘｯｸ時", "Error132"), [this] {
        if (!m_canCarryOut)
            return;
        auto refused = [this] {
            const QString reason = Book::refusalFor(m_word, m_meaning, m_example);
            if (reason.isEmpty())
                return false;
            refreshBeforeMessage();
            showMessage(reason + QStringLiteral("\r\n内容を直してから、もう一度実行して下さい。"),
                        QStringLiteral("登録できません"), MessageButtons::Ok,
                        MessageIcon::Exclamation);
            return true;
        };
        if (m_mode == Mode::Register) {
            if (trimmedRight(m_meaning).isEmpty()) {
                refreshBeforeMessage();
                showMessage(QStringLiteral("単語の意味を入力して下さい"), InputErrorTitle);
                requestFocus(Field::Meaning);
                return;
            }
            if (refused())
                return;
            refreshBeforeMessage();
            if (showMessage(QStringLiteral("登録します。よろしいですね？"),
                            QStringLiteral("登録の確認"), MessageButtons::YesNo,
                            MessageIcon::Question) != Answer::Yes) {
                doCancel();
                return;
            }
            const int position = m_book.registerWord(m_word, m_meaning, m_example);
            if (m_historyEnabled)
                wordHistory().record(
                    {EditStep::Kind::Register, {}, {WordHistory::stateAt(m_book, position)}});
            finishCarryOut(position);
        } else if (m_mode == Mode::Modify) {
            refreshBeforeMessage();
            if (showMessage(QStringLiteral("変更内容を登録します。よろしいですね？"),
                            QStringLiteral("登録の確認"), MessageButtons::YesNo,
                            MessageIcon::Question) != Answer::Yes) {
                doCancel();
                return;
            }
            // Nothing is written, and the user stays in modify mode to complete the entry.
            if (m_word.isEmpty() || trimmedRight(m_meaning).isEmpty()) {
                showMessage(QStringLiteral("入力が不十分です"), InputErrorTitle);
                requestFocus(m_word.isEmpty() ? Field::Word : Field::Meaning);
                return;
            }
            if (refused() || m_position < 0 || m_position >= m_book.index().size())
                return;
            // The book re-sorts the index and rewrites the word file at once, so the new
            // spelling is where look-ups expect it and survives a crash.
            const WordState before = WordHistory::stateAt(m_book, m_position);
            const int position = m_book.modifyWord(m_position, m_word, m_meaning, m_example);
            if (m_historyEnabled)
                wordHistory().record(
                    {EditStep::Kind::Modify, {before}, {WordHistory::stateAt(m_book, position)}});
            finishCarryOut(position);
        }
    });
    publish();
}

// Back to normal mode on the word just registered or modified, wherever it now sorts.
void WordPane::finishCarryOut(int position) {
    setInput(m_book.index().at(position).word);
    m_mode = Mode::Normal;
    m_canCarryOut = m_canCancel = false;
    selectFound(position);
    updateCounts();
}

void WordPane::cancel() {
    guarded(terminating(u"ｷｬﾝｾﾙ時", "Error130"), [this] {
        if (m_canCancel)
            doCancel();
    });
    publish();
}

void WordPane::doCancel() {
    const WordIndex& index = m_book.index();
    const bool onAWord = m_position >= 0 && m_position < index.size();
    const QString saved = onAWord ? index.at(m_position).word : QString();
    if (m_mode == Mode::Register || m_mode == Mode::Modify) {
        m_word.clear();
        m_meaning.clear();
        m_example.clear();
        setInput(saved);
    }
    m_mode = Mode::Normal;
    if (onAWord) {
        selectFound(m_position);
    } else {
        setEditing(false);
        requestFocus(Field::Input);
    }
    m_canCarryOut = m_canCancel = false;
    updateCounts();
}

void WordPane::deleteWord() {
    guarded(terminating(u"削除時", "Error131"), [this] {
        WordIndex& index = m_book.index();
        if (!m_canDelete || m_mode != Mode::Normal || m_position < 0 || m_position >= index.size())
            return;
        showEntry(m_position, /*trimmed=*/false);
        refreshBeforeMessage();
        if (showMessage(QStringLiteral("現在表示されている単語を削除してもよろしいですか？"),
                        QStringLiteral("削除の確認"), MessageButtons::YesNo,
                        MessageIcon::Question) != Answer::Yes) {
            updateCounts();
            return;
        }
        m_mode = Mode::Deleting;
        const int deleted = m_position;
        const WordState before = WordHistory::stateAt(m_book, deleted);
        m_book.deleteWord(deleted);
        if (m_historyEnabled)
            wordHistory().record({EditStep::Kind::Delete, {before}, {}});
        if (index.isEmpty()) {
            m_position = 0;
            m_shown = -1;
            m_spinner = 0;
            m_spinnerText.clear();
            m_word.clear();
            m_meaning.clear();
            m_example.clear();
            setInput(QString());
            m_mode = Mode::Normal;
            setEditing(false);
            refreshBeforeMessage();
            showMessage(QStringLiteral("単語が1語もなくなりました。"),
                        QStringLiteral("ﾃﾞｰﾀ件数情報"));
            requestFocus(Field::Input);
        } else {
            const int next = std::max(deleted - 1, 0);
            setInput(index.at(next).word);
            m_mode = Mode::Normal;
            selectFound(next);
        }
        updateCounts();
    });
    publish();
}

// ---- Spinner -------------------------------------------------------------------------------

void WordPane::stepTo(int value) {
    const WordIndex& index = m_book.index();
    if (m_mode != Mode::Normal || index.isEmpty())
        return;
    const int position = std::clamp(value, 0, index.upperIndex());
    m_mode = Mode::Reselecting;
    m_position = position;
    m_spinner = position;
    m_spinnerText = QString::number(position);
    setInput(QString());
    setInput(index.at(position).word);
    showEntry(position);
    requestFocus(Field::Input, /*selectAll=*/true);
    m_mode = Mode::Normal;
    setEditing(true);
}

void WordPane::spinnerChanged(int value) {
    guarded(reportOnly(u"ｽﾋﾟﾝﾎﾞﾀﾝ処理時", "Error215"), [&] { stepTo(value); });
    publish();
}

void WordPane::stepUp() {
    guarded(reportOnly(u"ｽﾋﾟﾝﾎﾞﾀﾝ処理時", "Error215"), [this] {
        const int upper = m_book.index().upperIndex();
        const int next = m_spinner >= upper ? upper : m_spinner + 1;
        if (next != m_spinner && next >= 0)
            stepTo(next);
    });
    publish();
}

void WordPane::stepDown() {
    guarded(reportOnly(u"ｽﾋﾟﾝﾎﾞﾀﾝ処理時", "Error215"), [this] {
        const int next = m_spinner > 0 ? m_spinner - 1 : 0;
        if (next != m_spinner)
            stepTo(next);
    });
    publish();
}

// ---- Stock box -----------------------------------------------------------------------------

void WordPane::addToStock() {
    guarded(withBareContext(reportOnly(u"ｽﾄｯｸﾎﾞｯｸｽ単語追加時", "Error218")), [this] {
        const WordIndex& index = m_book.index();
        // The word the pane shows, which is the one the user sees beside the button.
        const int position = m_shown >= 0 && m_shown < index.size() ? m_shown : -1;
        if (position < 0)
            return;
        const IndexEntry& e = index.at(position);
        m_stock[size_t(m_selectedSlot)] = {position, e.word, e.recordNo};
        m_selectedSlot = (m_selectedSlot + 1) % StockSlots;
    });
    publish();
}

void WordPane::selectSlot(int slot) {
    guarded(reportOnly(u"単語ﾗﾍﾞﾙｸﾘｯｸ時", "Error271"), [&] {
        if (slot >= 0 && slot < StockSlots)
            m_selectedSlot = slot;
    });
    publish();
}

void WordPane::clearSelectedSlot() {
    guarded(withBareContext(reportOnly(u"ｽﾄｯｸﾎﾞｯｸｽ消去時", "Error219")), [this] {
        m_stock[size_t(m_selectedSlot)] = StockSlot();
        if (m_recalledSlot == m_selectedSlot)
            m_recalledSlot = -1;
    });
    publish();
}

void WordPane::clearStock() {
    guarded(withBareContext(reportOnly(u"ｽﾄｯｸﾎﾞｯｸｽ全消去時", "Error217")), [this] {
        m_stock.fill(StockSlot());
        m_selectedSlot = 0;
        m_recalledSlot = -1;
    });
    publish();
}

// Where the slot's word is now: registrations and deletions move words, so the stored position
// is only a hint. The same word with the same record wins, then the same spelling.
int WordPane::findRecalled(const StockSlot& slot) const {
    const WordIndex& index = m_book.index();
    if (slot.position >= 0 && slot.position < index.size() &&
        index.at(slot.position).word == slot.word &&
        index.at(slot.position).recordNo == slot.recordNo)
        return slot.position;
    const int first = index.find(slot.word);
    if (first < 0)
        return -1;
    for (int p = first; p < index.size() && index.at(p).word == slot.word; ++p)
        if (index.at(p).recordNo == slot.recordNo)
            return p;
    return first;
}

void WordPane::recall(int slot) {
    guarded(reportOnly(u"ｽﾄｯｸ欄処理時", "Error216"), [&] {
        if (slot < 0 || slot >= StockSlots || m_mode != Mode::Normal)
            return;
        StockSlot& stock = m_stock[size_t(slot)];
        if (stock.isEmpty())
            return;
        const int position = findRecalled(stock);
        if (position < 0) {
            // The word has gone from the book.
            stock = StockSlot();
            if (m_recalledSlot == slot)
                m_recalledSlot = -1;
            return;
        }
        stock.position = position;
        stock.recordNo = m_book.index().at(position).recordNo;
        m_mode = Mode::Reselecting;
        m_position = position;
        m_spinner = position;
        m_spinnerText = QString::number(position);
        setInput(m_book.index().at(position).word);
        showEntry(position);
        m_mode = Mode::Normal;
        setEditing(true);
        m_recalledSlot = slot;
        requestFocus(Field::ActivePane);
    });
    publish();
}

void WordPane::takeStep(bool forward) {
    guarded(reportOnly(forward ? u"やり直し時" : u"元に戻す時", forward ? "Error301" : "Error300"),
            [&] {
                if (!m_historyEnabled || m_mode != Mode::Normal)
                    return;
                const WordHistory::Result r =
                    forward ? wordHistory().redo(m_book) : wordHistory().undo(m_book);
                emit historyMessage(r.message);
                if (!r.done)
                    return;
                m_search.reset();
                const WordIndex& index = m_book.index();
                if (index.isEmpty()) {
                    m_position = 0;
                    m_shown = -1;
                    m_word.clear();
                    m_meaning.clear();
                    m_example.clear();
                    setInput(QString());
                    setEditing(false);
                    requestFocus(Field::Input);
                } else {
                    int p = index.find(r.word);
                    if (p < 0)
                        p = std::min(index.lowerBound(r.word), index.size() - 1);
                    setInput(index.at(p).word);
                    selectFound(p);
                }
                updateCounts();
            });
    publish();
}
