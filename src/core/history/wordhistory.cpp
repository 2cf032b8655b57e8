// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordhistory.h"

#include "core/store/book.h"

#include <QDir>
#include <stdexcept>

namespace {

// A word a step names is no longer in the book (the book was changed outside the history).
class WordNotFound : public std::runtime_error {
public:
    explicit WordNotFound(QString word)
        : std::runtime_error("word not found"), word(std::move(word)) {}
    QString word;
};

QString trimmedRecord(const QString& text) {
    return Book::storedWord(text);
}

// The position of the word a state describes: by spelling, and among words spelled alike the
// one with the same meaning.
int locate(const Book& book, const WordState& state) {
    const WordIndex& index = book.index();
    const int found = index.find(state.word);
    if (found < 0)
        throw WordNotFound(state.word);
    const QString folded = state.word.toCaseFolded();
    for (int p = index.lowerBound(state.word);
         p < index.size() && index.at(p).word.toCaseFolded() == folded; ++p)
        if (index.at(p).word == state.word &&
            trimmedRecord(book.meaning(index.at(p).recordNo)) == state.meaning)
            return p;
    return found;
}

void setMarks(Book& book, const std::vector<WordState>& states) {
    for (const WordState& s : states)
        book.index().setCheckMark(locate(book, s), s.checked);
}

void removeWords(Book& book, const std::vector<WordState>& states) {
    if (states.size() == 1) {
        book.deleteWord(locate(book, states.front()));
        return;
    }
    // Several words go in one commit of the word file, as the deletion of checked words does.
    std::vector<int> positions;
    positions.reserve(states.size());
    for (const WordState& s : states)
        positions.push_back(locate(book, s));
    book.index().clearCheckMarks();
    for (const int p : positions)
        book.index().setCheckMark(p, true);
    book.deleteChecked();
}

void addWords(Book& book, const std::vector<WordState>& states) {
    if (states.size() == 1) {
        const WordState& s = states.front();
        book.registerWord(s.word, s.meaning, s.example);
    } else {
        std::vector<Book::NewWord> words;
        words.reserve(states.size());
        for (const WordState& s : states)
            words.push_back({s.word, s.meaning, s.example});
        book.registerWords(words);
    }
    setMarks(book, states);
}

QString focusWord(const EditStep& step, bool forward) {
    const std::vector<WordState>& to = forward ? step.after : step.before;
    const std::vector<WordState>& from = forward ? step.before : step.after;
    if (!to.empty())
        return to.front().word;
    return from.empty() ? QString() : from.front().word;
}

QString kindName(EditStep::Kind kind) {
    switch (kind) {
    case EditStep::Kind::Register:
        return QStringLiteral("登録");
    case EditStep::Kind::Modify:
        return QStringLiteral("修正");
    case EditStep::Kind::Delete:
        return QStringLiteral("削除");
    case EditStep::Kind::CheckMarks:
        return QStringLiteral("チェックマークの変更");
    case EditStep::Kind::DeleteChecked:
        return QStringLiteral("チェック項目の削除");
    }
    return {};
}

} // namespace

void WordHistory::attach(const QString& bookFolder) {
    const QString folder = QDir::cleanPath(bookFolder);
    if (folder != m_folder)
        clear();
    m_folder = folder;
}

void WordHistory::clear() {
    m_undo.clear();
    m_redo.clear();
}

void WordHistory::record(EditStep step) {
    m_undo.push_back(std::move(step));
    if (m_undo.size() > Limit)
        m_undo.pop_front();
    m_redo.clear();
}

WordHistory::Result WordHistory::undo(Book& book) {
    if (m_undo.empty())
        return {false, QStringLiteral("元に戻す操作はありません")};
    EditStep step = std::move(m_undo.back());
    m_undo.pop_back();
    try {
        apply(book, step, /*forward=*/false);
    } catch (const WordNotFound& missing) {
        // The book no longer holds what the step changed: the step cannot be taken back.
        return {false,
                QStringLiteral("「%1」が見つからないため元に戻せませんでした").arg(missing.word)};
    } catch (...) {
        m_undo.push_back(std::move(step));
        throw;
    }
    const QString text = describe(step) + QStringLiteral("を元に戻しました");
    const QString word = focusWord(step, /*forward=*/false);
    m_redo.push_back(std::move(step));
    return {true, text, word};
}

WordHistory::Result WordHistory::redo(Book& book) {
    if (m_redo.empty())
        return {false, QStringLiteral("やり直す操作はありません")};
    EditStep step = std::move(m_redo.back());
    m_redo.pop_back();
    try {
        apply(book, step, /*forward=*/true);
    } catch (const WordNotFound& missing) {
        return {false,
                QStringLiteral("「%1」が見つからないためやり直せませんでした").arg(missing.word)};
    } catch (...) {
        m_redo.push_back(std::move(step));
        throw;
    }
    const QString text = describe(step) + QStringLiteral("をやり直しました");
    const QString word = focusWord(step, /*forward=*/true);
    m_undo.push_back(std::move(step));
    return {true, text, word};
}

void WordHistory::apply(Book& book, const EditStep& step, bool forward) {
    const std::vector<WordState>& from = forward ? step.before : step.after;
    const std::vector<WordState>& to = forward ? step.after : step.before;
    if (step.kind == EditStep::Kind::CheckMarks) {
        setMarks(book, to);
        return;
    }
    if (from.size() == 1 && to.size() == 1) {
        const WordState& s = to.front();
        const int p = book.modifyWord(locate(book, from.front()), s.word, s.meaning, s.example);
        book.index().setCheckMark(p, s.checked);
        return;
    }
    if (!from.empty())
        removeWords(book, from);
    if (!to.empty())
        addWords(book, to);
}

QString WordHistory::describe(const EditStep& step) {
    const std::vector<WordState>& words = step.before.empty() ? step.after : step.before;
    const QString subject = words.size() == 1 ? QStringLiteral("「%1」の").arg(words.front().word)
                                              : QStringLiteral("%1語の").arg(words.size());
    return subject + kindName(step.kind);
}

WordState WordHistory::stateAt(const Book& book, int position) {
    const IndexEntry& e = book.index().at(position);
    return {e.word, trimmedRecord(book.meaning(e.recordNo)),
            trimmedRecord(book.example(e.recordNo)), e.checkMark};
}

std::vector<WordState> WordHistory::checkedWords(const Book& book) {
    std::vector<WordState> out;
    const WordIndex& index = book.index();
    for (int p = 0; p < index.size(); ++p)
        if (index.at(p).checkMark)
            out.push_back(stateAt(book, p));
    return out;
}

WordHistory& wordHistory() {
    static WordHistory history;
    return history;
}
