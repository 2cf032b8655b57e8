// SPDX-License-Identifier: GPL-3.0-or-later
// Replaces a book and is killed outright at a chosen step of the replacement, the way a power cut
// or a kill from outside stops the program: no destructor, no clean-up runs.
//   bookkillchild import STEP SENDING RECEIVING
//   bookkillchild merge STEP A B TARGET        (both entries of a duplicate kept)
//   bookkillchild compact STEP FOLDER WORD     (WORD is deleted, then the book is compacted)
//   bookkillchild conflict STEP FOLDER ASIDE   (the folder's conflict copies merged, the book's
//                                               side kept where both changed a word)
// STEP is the number of a CompactionStep. Exits 4 when the step was never reached.
#include "core/store/book.h"
#include "core/store/booktransfer.h"
#include "core/store/conflictcopies.h"

#include <QString>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char* argv[]) {
    if (argc < 4)
        return 2;
    const QString action = QString::fromLocal8Bit(argv[1]);
    const auto stopAt = CompactionStep(std::atoi(argv[2]));
    const auto arg = [&](int i) { return QString::fromLocal8Bit(argv[i]); };
    const TransferHook hook = [stopAt](CompactionStep step) {
        if (step == stopAt)
            ::kill(::getpid(), SIGKILL);
    };
    if (action == QLatin1String("import") && argc == 5) {
        booktransfer::importBook(arg(3), arg(4), hook);
    } else if (action == QLatin1String("merge") && argc == 6) {
        BookMerge merge(arg(3), arg(4), arg(5), BookMerge::Policy::Both, hook);
        merge.run();
    } else if (action == QLatin1String("compact") && argc == 5) {
        Book book(arg(3));
        book.open();
        const int position = book.index().find(arg(4));
        if (position < 0)
            return 3;
        book.deleteWord(position);
        book.setCompactionHook(hook);
        book.writeBack();
    } else if (action == QLatin1String("conflict") && argc == 5) {
        const auto versions = conflictcopies::find(arg(3));
        if (versions.size() != 1)
            return 3;
        conflictcopies::merge(
            arg(3), versions[0], arg(4),
            [](const BookMerge::Duplicate&) { return BookMerge::Side::A; }, {}, hook);
    } else {
        return 2;
    }
    return 4;
}
