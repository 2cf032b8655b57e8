// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a numbered project of 2,000 blocks into the translation memory in the folder given as the
// argument, again and again with every translation changed and 300 new pairs added (marked with
// its process number), until it is killed; "ready" once the first save is in, "saved" after each
// one after it.
#include "core/memory/harvest.h"
#include "core/memory/memorystore.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    MemoryStore store(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/memory.sqlite"));
    if (store.open() == MemoryStore::OpenState::Failed)
        return 2;
    for (int generation = 0;; ++generation) {
        QString original;
        QString translation;
        for (int n = 1; n <= 2000; ++n) {
            original += QStringLiteral("%1 : \nSentence number %1 of the manual.\n\n").arg(n);
            translation += QStringLiteral("%1 : \n版%2 の訳 %1。\n\n").arg(n).arg(generation);
        }
        harvest::Result r = harvest::pairs(original, translation, {});
        // New originals too, so kills also meet pairs on their way into the index.
        for (int n = 1; n <= 300; ++n)
            r.pairs.push_back({QStringLiteral("Added sentence %1 of save %2 by %3.")
                                   .arg(n)
                                   .arg(generation)
                                   .arg(QCoreApplication::applicationPid()),
                               QStringLiteral("追加 %1").arg(n),
                               {}});
        if (store.add(QStringLiteral("manual"), QStringLiteral("en"), QStringLiteral("ja"),
                      r.pairs) < 0)
            return 3;
        std::puts(generation == 0 ? "ready" : "saved");
        std::fflush(stdout);
    }
}
