// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/booktransfer.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

// The copies a file-sync tool leaves in a book folder when two machines changed the book while
// apart, and the merge of such a version back into the book word by word.
namespace conflictcopies {

// A file name recognised as a sync tool's conflict copy of one of the book's three files.
struct CopyName {
    QString bookFile; // words.vtd, means.vtd, reis.vtd or the change journal
    // What the tool added to the name; the three files of one conflicting version share it.
    QString version;
};
// Syncthing: "words.sync-conflict-20261208-123456-ABCDEF7.vtd"; Nextcloud: "words (conflicted
// copy 2026-12-08 123456).vtd" and "words (conflict copy ...).vtd", with or without a user name;
// Dropbox: "words (Machine's conflicted copy 2026-12-08).vtd". Anything else is not a copy.
std::optional<CopyName> recognise(const QString& fileName);

// The mark of a sync tool's conflict copy of the book's manifest ("manifest.sync-conflict-….vtm"),
// nothing for any other name.
std::optional<QString> manifestCopyMark(const QString& fileName);

// One conflicting version: the names of its files in the book folder, empty when absent.
struct Version {
    QString version;
    QString words, meanings, examples;
    // The other machine's change journal, when the tool left one: with it the merge knows which
    // side changed each word.
    QString journal;
    // Copies that cannot be told apart from the ones above (two of a kind within the same few
    // seconds, or a file of the same machine that may belong here): which files form the version
    // is then unknown, and merging a guess could take words without their records.
    QStringList unsure;
    // The words file refers to records by number, so the words are only usable with the
    // meanings file of the same version; the examples file may be missing, as in a book.
    bool usable() const { return !words.isEmpty() && !meanings.isEmpty() && unsure.isEmpty(); }
    QStringList files() const;
};
// The conflicting versions in a book folder, in name order. A tool stamps each file's copy with
// the time it handled that file, so the files of one version can differ by a second or two: copies
// of the same machine whose times lie within a few seconds of each other form one version. A
// journal copy that matches no version goes with the only version there is.
std::vector<Version> find(const QString& bookFolder);

// How the merge went, for the message after it.
struct MergeReport {
    int added = 0;   // words the copy had and the book did not
    int changed = 0; // words whose meaning or example the copy's side brought
    int deleted = 0; // words one side deleted (only decided with journals or an ancestor)
    int asked = 0;   // words both sides changed
    int written = 0; // words in the merged book
};
// Which side to keep of a word both sides changed: A is the book, B the copy.
using AskBoth = std::function<BookMerge::Side(const BookMerge::Duplicate&)>;

// Merges the conflicting version into the book and then moves its files into asideFolder.
// A word the same on both sides stays. Where they differ, what each side changed since the last
// version both shared decides: the book's change journal and the copy of the other side's say
// which words each side changed and how each side left them. A word changed on one side only is
// taken from that side, a deletion included; a word changed on both is asked (askBoth), except
// that a word one side deleted and the other changed is kept, as losing nothing.
// Without both journals an ancestor (a folder holding a book both sides started from) decides the
// same way where it has the word: the side still as in the ancestor lost nothing.
// With neither, a deletion cannot be told from an addition on the other side, so words on one
// side only are kept (a deleted word coming back loses nothing, a dropped addition would) and
// words differing are asked.
// The book is replaced as a set; its journal then takes the other side's lines, and the copies
// move only after both, so a kill leaves them in place and the merge can run again. Raises
// RuntimeFailure when the version is not usable.
MergeReport merge(const QString& bookFolder, const Version& version, const QString& asideFolder,
                  const AskBoth& askBoth, const QString& ancestorFolder = {},
                  TransferHook hook = {});

} // namespace conflictcopies
