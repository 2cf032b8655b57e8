// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a numbered project of 2,000 blocks into the translation memory in the folder given as the
// argument, again and again with every translation changed, until it is killed; "ready" once the
// first save is in, "saved" after each one after it.
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
        const harvest::Result r = harvest::pairs(original, translation, {});
        if (store.add(QStringLiteral("manual"), QStringLiteral("en"), QStringLiteral("ja"),
                      r.pairs) < 0)
            return 3;
        std::puts(generation == 0 ? "ready" : "saved");
        std::fflush(stdout);
    }
}
