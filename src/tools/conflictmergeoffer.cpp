// SPDX-License-Identifier: GPL-3.0-or-later
#include "conflictmergeoffer.h"

#include "backupbeforechange.h"
#include "core/files/failure.h"
#include "core/history/bookbackup.h"
#include "core/store/book.h"
#include "core/store/bookmanifest.h"
#include "core/store/booksession.h"
#include "core/store/conflictcopies.h"
#include "core/store/splitversions.h"
#include "platform/appfolder.h"
#include "platform/bookfollower.h"
#include "platform/dialogservice.h"

namespace {

const QString Lines = QStringLiteral("\r\n");

BookMerge::Side askBoth(const BookMerge::Duplicate& d) {
    const bool mine = BookFollower::askKeepMine(
        {{d.wordA, d.meaningA, d.exampleA}, false, {d.wordB, d.meaningB, d.exampleB}, true});
    return mine ? BookMerge::Side::A : BookMerge::Side::B;
}

} // namespace

// The book's change journal and the copy of the other machine's tell which side changed each
// word; without them a word on one side only is kept, whether the other side added or deleted
// it, because bringing a deleted word back loses nothing and dropping one a machine added would.
void offerConflictMerges(const QString& bookFolder, const QString& bookName) {
    if (!bookmanifest::kept())
        return; // the user turned the safety for synchronised folders off
    // Files of two versions mixed under the book's names are put back into versions first: only
    // renames, and the book is then whole as its manifest says and the other version a copy.
    try {
        splitversions::reassemble(bookFolder);
    } catch (const RuntimeFailure&) {
        // Left as it is: the open that follows reports a set that is still mixed.
    }
    for (const conflictcopies::Version& version : conflictcopies::find(bookFolder)) {
        const QString files = version.files().join(Lines);
        if (!version.usable()) {
            showMessage(QStringLiteral("別の端末で変更された版がありますが、ファイルがそろって"
                                       "いないため取り込めません。\r\n単語の一覧だけでは、"
                                       "その意味と例文が分かりません。\r\n\r\n") +
                            files,
                        AppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
            continue;
        }
        if (showMessage(QStringLiteral("別の端末で変更された版があります") + Lines + Lines + files +
                            Lines + Lines +
                            QStringLiteral("この版の単語をブックに取り込みますか？"),
                        AppTitle, MessageButtons::YesNo, MessageIcon::Question) != Answer::Yes)
            continue;
        if (!backupBeforeChange(bookFolder, QStringLiteral("別の端末の版の取り込み")))
            return;
        const QString aside =
            BookBackups(appfolder::path()).bookFolderOf(bookName) + QStringLiteral("/conflicts");
        conflictcopies::MergeReport report;
        try {
            report = conflictcopies::merge(bookFolder, version, aside, askBoth);
        } catch (const BookMissing&) {
            return; // a book that cannot be read now is reported by the open that follows
        } catch (const RuntimeFailure& failure) {
            showMessage(QStringLiteral("別の端末の版を取り込めませんでした。\r\n\r\n") +
                            failure.description(),
                        AppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
            continue;
        }
        showMessage(QStringLiteral("別の端末の版を取り込みました。") + Lines +
                        QStringLiteral("追加 %1語、変更 %2語、削除 %3語")
                            .arg(report.added)
                            .arg(report.changed)
                            .arg(report.deleted) +
                        Lines + Lines +
                        QStringLiteral("取り込んだファイルは次の場所に移しました。") + Lines +
                        aside,
                    AppTitle, MessageButtons::Ok, MessageIcon::Information);
    }
}
