// SPDX-License-Identifier: GPL-3.0-or-later
// Answers reviews of a 2,000-word book in the folder given as the argument until it is killed,
// writing the state file every few answers, so that a kill can strike anywhere in either file.
#include "core/review/reviewstore.h"
#include "core/store/wordindex.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    WordIndex index;
    std::vector<IndexEntry> words;
    for (int k = 0; k < 2000; ++k)
        words.push_back({QStringLiteral("w%1").arg(k), k + 1, false});
    index.assign(std::move(words));
    ReviewStore store(QString::fromLocal8Bit(argv[1]));
    store.load(index);
    std::puts("ready");
    std::fflush(stdout);
    const QDateTime start(QDate(2026, 1, 1), QTime(9, 0));
    for (qint64 k = 0;; ++k) {
        const IndexEntry& e = index.at(int((k * 37) % index.size()));
        store.answer(e.word, e.recordNo, Grade(1 + k % 4), start.addSecs(k * 600), 1);
        if (k % 7 == 0)
            store.flush();
    }
}
