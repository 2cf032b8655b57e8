// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/book.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

// A set of book files that do not belong together: some came from another version of the book
// (a sync tool copies them one at a time, a copy was cut short). Such a set is neither opened
// nor written; files() names the files that differ from what the manifest says.
class BookMixed : public BookBroken {
public:
    explicit BookMixed(QStringList files);
    const QStringList& files() const { return m_files; }

private:
    QStringList m_files;
};

// Each book folder holds a small manifest of its own beside the three files: their sizes, times
// and hashes, a generation number and the machine that wrote it. Every replacement of the files
// writes it first as "writing" by this machine and, once the files are in place, as "whole"
// describing them, so it is the commit point of the change.
//
// A set that does not match a "whole" manifest is mixed. So is one that does not match a
// "writing" manifest of another machine: that machine's change arrived only in part. A "writing"
// manifest of this machine is a change of this program a crash interrupted: the book opens as it
// always did (finishing an interrupted replacement) and the manifest is written again. A book
// without a manifest (made before there were any) opens as it always did and gets one at its
// next write.
//
// The check stays cheap: a file whose size and time are those of the manifest is taken as it is,
// and only a file whose time differs (a sync tool that set another time, a copy) is hashed. The
// word file is hashed whole; the record files only in their first and last blocks beside their
// size, since every change of a book changes its word file and a change of a record file that
// keeps its size (a deletion mark) only touches records no word of the matching word file uses.
namespace bookmanifest {

inline const QString FileName = QStringLiteral("manifest.vtm");

enum class State {
    None,           // no manifest: a book from before manifests
    Whole,          // the files are those of the manifest
    OwnInterrupted, // this machine's change a crash interrupted
    Mixed,
};

struct Check {
    State state = State::None;
    QStringList differing; // names of the files that differ, for a mixed set
};

// Compares the folder's files with its manifest once, without waiting.
Check check(const QString& folder);

// Checks the set; while it is mixed, waits (see setWait) and checks again a few times, since a
// sync in progress completes it within moments, then raises BookMixed.
Check requireWhole(const QString& folder);

// Before this program replaces or changes any of the files: the manifest now says "writing".
void beginWrite(const QString& folder);
// After the files are in place: the manifest describes them as "whole".
void endWrite(const QString& folder);
// What a whole manifest says of its version's files, read from a file of any name (the book's
// manifest or a sync tool's copy of it), so that files of any name can be told to be that
// version's. A manifest of a change in progress or one that cannot be read describes nothing.
class Description {
public:
    static std::optional<Description> read(const QString& manifestPath);
    QString host;

    // How the file at filePath compares with the version's file i (0 words, 1 meanings,
    // 2 examples): the same size and time, the same size and hash, or not the one.
    enum class Fit { No, ByTime, ByHash };
    Fit fit(int i, const QString& filePath) const;
    // Whether the version has file i at all (a book may lack its examples file).
    bool has(int i) const { return m_exists[size_t(i)]; }

private:
    std::array<bool, 3> m_exists{};
    std::array<qint64, 3> m_size{}, m_mtimeNs{};
    std::array<quint64, 3> m_hash{};
};

// The generation the manifest names, 0 without one.
quint64 generation(const QString& folder);
// The manifest's bytes (empty when there is none), and putting them back after a change that
// failed before touching any file, so such a failure leaves the folder as it was.
QByteArray saved(const QString& folder);
void putBack(const QString& folder, const QByteArray& bytes);

// The machine's name as manifests record it; tests stand in another machine.
QString thisHost();
void setHostForTests(const QString& host);

// Whether books keep a manifest and a change journal: on unless the user turned the safety for
// synchronised folders off (sync.ini). Off, nothing is checked, no journal line is written, and
// the next write removes a manifest, so one left from before never refuses a book later.
void setKept(bool kept);
bool kept();

// One wait between checks of a mixed set; the default sleeps a second, up to WaitRounds times.
// Without one (nullptr), a mixed set is reported at once.
constexpr int WaitRounds = 5;
void setWait(std::function<void()> wait);

} // namespace bookmanifest
