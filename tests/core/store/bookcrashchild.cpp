// SPDX-License-Identifier: GPL-3.0-or-later
// The worker of the crash test: edits a book for ever with random registrations, modifications,
// deletions, deletions of checked words, undo steps and compactions until it is killed. Before each
// edit it prints what it is about to do, after it "D", each line written straight to the pipe, so
// the test knows which edits finished.
//   bookcrashchild FOLDER SEED
#include "core/history/wordhistory.h"
#include "core/store/book.h"

#include <QString>
#include <cstdlib>
#include <random>
#include <unistd.h>

namespace {

void say(const QString& line) {
    const QByteArray bytes = (line + u'\n').toUtf8();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(1, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            std::_Exit(3);
        done += n;
    }
}

// An undo step as edit lines: a modification back, or words removed ("X") and added ("A").
QString undoLine(const EditStep& step) {
    const std::vector<WordState>& from = step.after;
    const std::vector<WordState>& to = step.before;
    if (from.size() == 1 && to.size() == 1)
        return QStringLiteral("B\tM\t%1\t%2\t%3\t%4")
            .arg(from[0].word, to[0].word, to[0].meaning, to[0].example);
    QString line = QStringLiteral("B\t") + (from.empty() ? u'A' : u'X');
    for (const WordState& w : from.empty() ? to : from)
        line += from.empty() ? QStringLiteral("\t%1\t%2\t%3").arg(w.word, w.meaning, w.example)
                             : u'\t' + w.word;
    return line;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const unsigned seed = unsigned(std::strtoul(argv[2], nullptr, 10));
    std::mt19937 random(seed);
    Book book(folder);
    book.open();
    // The steps the history holds, to tell what an undo will do.
    WordHistory history;
    std::vector<EditStep> steps;
    say(QStringLiteral("ready"));
    const QString tag = QString::number(seed);
    for (int n = 0;; ++n) {
        const int size = book.index().size();
        const auto pick = [&] { return int(random() % unsigned(size)); };
        const unsigned roll = random() % 100;
        // Distinct texts for every edit, so a word showing another's text cannot pass.
        const QString version = QStringLiteral("%1.%2").arg(tag).arg(n);
        if (roll < 30 || size < 100) {
            const QString word = QStringLiteral("n") + version;
            const QString meaning = QStringLiteral("意味:") + word;
            const QString example = QStringLiteral("例:") + word;
            say(QStringLiteral("B\tR\t%1\t%2\t%3").arg(word, meaning, example));
            const int p = book.registerWord(word, meaning, example);
            steps.push_back({EditStep::Kind::Register, {}, {WordHistory::stateAt(book, p)}});
        } else if (roll < 55) {
            const int p = pick();
            const QString old = book.index().at(p).word;
            const QString word = random() % 2 ? old : QStringLiteral("x") + version;
            const QString meaning = QStringLiteral("新:") + version;
            const QString example = QStringLiteral("新例:") + version;
            say(QStringLiteral("B\tM\t%1\t%2\t%3\t%4").arg(old, word, meaning, example));
            const WordState before = WordHistory::stateAt(book, p);
            const int q = book.modifyWord(p, word, meaning, example);
            steps.push_back({EditStep::Kind::Modify, {before}, {WordHistory::stateAt(book, q)}});
        } else if (roll < 70) {
            const int p = pick();
            say(QStringLiteral("B\tD\t%1").arg(book.index().at(p).word));
            const WordState before = WordHistory::stateAt(book, p);
            book.deleteWord(p);
            steps.push_back({EditStep::Kind::Delete, {before}, {}});
        } else if (roll < 75) {
            book.index().clearCheckMarks();
            for (int i = 0; i < 3; ++i)
                book.index().setCheckMark(pick(), true);
            EditStep step{EditStep::Kind::DeleteChecked, WordHistory::checkedWords(book), {}};
            QString line = QStringLiteral("B\tX");
            for (const WordState& w : step.before)
                line += u'\t' + w.word;
            say(line);
            book.deleteChecked();
            steps.push_back(std::move(step));
        } else if (roll < 90 && !steps.empty()) {
            say(undoLine(steps.back()));
            history.undo(book);
            steps.pop_back();
        } else {
            say(QStringLiteral("B\tC"));
            book.writeBack();
            book.open();
        }
        if (roll < 75 || size < 100) {
            history.record(steps.back());
            if (steps.size() > WordHistory::Limit)
                steps.erase(steps.begin());
        }
        say(QStringLiteral("D"));
    }
}
