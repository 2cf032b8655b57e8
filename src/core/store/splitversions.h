// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// When two machines both wrote a book while apart, a sync tool that keeps the newer of each file
// on its own can leave the book folder holding files of both versions under the book's names and
// the rest as conflict copies: a set that is neither version, refused as mixed on both machines.
// Each version's manifest (the book's own and the tool's copy of the other's) names the size, time
// and hash of its files, and the tools keep file times, so the versions can be put back together:
// the book's names get the files of the version the book's manifest describes, and each other
// version's files one conflict mark, so that it is offered for merging as any conflicting version.
namespace splitversions {

enum class Outcome {
    Untouched,   // nothing split, or nothing that pairs without doubt
    Reassembled, // files renamed: the book whole by its manifest, other versions marked alike
};

// Only renames files inside the folder (and copies one both versions share), each step atomic
// and every file always under some name, so a kill at any moment loses nothing and a second run
// finishes the work: the pairing goes by content and times, never by the names given so far.
Outcome reassemble(const QString& bookFolder);

} // namespace splitversions
