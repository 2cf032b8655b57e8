// The worker of the crash test: edits a book for ever with random registrations, modifications,
// deletions and compactions until it is killed. Before each edit it prints what it is about to do,
// after it "D", each line written straight to the pipe, so the test knows which edits finished.
//   bookcrashchild FOLDER SEED
#include "core/book.h"

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

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const unsigned seed = unsigned(std::strtoul(argv[2], nullptr, 10));
    std::mt19937 random(seed);
    Book book(folder);
    book.open();
    say(QStringLiteral("ready"));
    const QString tag = QString::number(seed);
    for (int n = 0;; ++n) {
        const int size = book.index().size();
        const auto pick = [&] { return int(random() % unsigned(size)); };
        const unsigned roll = random() % 100;
        // Distinct texts for every edit, so a word showing another's text cannot pass.
        const QString version = QStringLiteral("%1.%2").arg(tag).arg(n);
        if (roll < 35 || size < 100) {
            const QString word = QStringLiteral("n") + version;
            const QString meaning = QStringLiteral("意味:") + word;
            const QString example = QStringLiteral("例:") + word;
            say(QStringLiteral("B\tR\t%1\t%2\t%3").arg(word, meaning, example));
            book.registerWord(word, meaning, example);
        } else if (roll < 65) {
            const int p = pick();
            const QString old = book.index().at(p).word;
            const QString word = random() % 2 ? old : QStringLiteral("x") + version;
            const QString meaning = QStringLiteral("新:") + version;
            const QString example = QStringLiteral("新例:") + version;
            say(QStringLiteral("B\tM\t%1\t%2\t%3\t%4").arg(old, word, meaning, example));
            book.modifyWord(p, word, meaning, example);
        } else if (roll < 85) {
            const int p = pick();
            say(QStringLiteral("B\tD\t%1").arg(book.index().at(p).word));
            book.deleteWord(p);
        } else {
            say(QStringLiteral("B\tC"));
            book.writeBack();
            book.open();
        }
        say(QStringLiteral("D"));
    }
}
