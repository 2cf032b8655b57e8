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
    QString bookFile; // words.vtd, means.vtd or reis.vtd
    // What the tool added to the name; the three files of one conflicting version share it.
    QString version;
};
// Syncthing: "words.sync-conflict-20261208-123456-ABCDEF7.vtd"; Nextcloud: "words (conflicted
// copy 2026-12-08 123456).vtd" and "words (conflict copy ...).vtd", with or without a user name;
// Dropbox: "words (Machine's conflicted copy 2026-12-08).vtd". Anything else is not a copy.
std::optional<CopyName> recognise(const QString& fileName);

// One conflicting version: the names of its files in the book folder, empty when absent.
struct Version {
    QString version;
    QString words, meanings, examples;
    // The words file refers to records by number, so the words are only usable with the
    // meanings file of the same version; the examples file may be missing, as in a book.
    bool usable() const { return !words.isEmpty() && !meanings.isEmpty(); }
    QStringList files() const;
};
// The conflicting versions in a book folder, in name order.
std::vector<Version> find(const QString& bookFolder);

// How the merge went, for the message after it.
struct MergeReport {
    int added = 0;   // words the copy had and the book did not
    int changed = 0; // words whose meaning or example the copy's side brought
    int deleted = 0; // words one side deleted (only decided with an ancestor)
    int asked = 0;   // words both sides changed
    int written = 0; // words in the merged book
};
// Which side to keep of a word both sides changed: A is the book, B the copy.
using AskBoth = std::function<BookMerge::Side(const BookMerge::Duplicate&)>;

// Merges the conflicting version into the book and then moves its files into asideFolder.
// A word the same on both sides stays; a word differing is decided against the ancestor (a
// folder holding a book both sides started from) when it has the word: the side still as in the
// ancestor lost nothing, so the other side's version is taken; otherwise both sides changed it
// and askBoth decides. A word on one side only was added there, unless the ancestor has it
// unchanged from that side: then the other side deleted it and it goes. Without an ancestor
// (empty), a deletion cannot be told from an addition on the other side, so such words are kept:
// a deleted word coming back loses nothing, a dropped addition would.
// The book is replaced as a set; the copies move only after it, so a kill leaves them in place
// and the merge can run again. Raises RuntimeFailure when the version is not usable.
MergeReport merge(const QString& bookFolder, const Version& version, const QString& asideFolder,
                  const AskBoth& askBoth, const QString& ancestorFolder = {},
                  TransferHook hook = {});

} // namespace conflictcopies
