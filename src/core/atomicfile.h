// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Whole-file rewrites go through here: the bytes are written to a temporary file in the same
// folder, every write is checked, the file is flushed to disk and its size checked, and only then
// is it renamed over the old file. A crash leaves the old file or the new one, never half of each;
// a failure (a full disk above all) leaves the old file and raises a RuntimeFailure naming the
// file: "ディスクの空き容量が不足しています" or the real reason.
//
// A symbolic link is written through: its target gets the new bytes and the link stays. A file
// that is read-only (no write permission bit, or not writable by this user) is refused with
// failure 70 and left alone. Temporary files carry a name of their own (see
// removeTemporaryLeftovers); those an interrupted write of the same file left are removed first.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// Whether a rewrite of the file at path would be refused because the file is read-only.
bool isReadOnlyFile(const QString& path);

// Removes the temporary files that interrupted whole-file rewrites left in folder.
void removeTemporaryLeftovers(const QString& folder);
// Whether a file name is that of a temporary file a whole-file rewrite makes.
bool isTemporaryLeftover(const QString& fileName);
// Removes the temporary files that interrupted rewrites of the file at path left beside it (or
// beside the file its symbolic link leads to, where they are written), and no other file.
void removeLeftoversBeside(const QString& path);

// Every byte the program writes into its own files passes through a gate, so that tests can stand
// in for a disk that fills up after so many bytes or fails to sync. The real disk has no gate.
class DiskGate {
public:
    virtual ~DiskGate() = default;
    // How many of the size bytes about to be written to the file at path reach it; fewer than
    // size means the disk is full.
    virtual qint64 admit(const QString& path, qint64 size) = 0;
    // False when syncing the file at path fails as a device error.
    virtual bool syncs(const QString& path) = 0;
};
// Installs a gate (nullptr: none) and returns the one it replaces.
DiskGate* setDiskGate(DiskGate* gate);

namespace diskio {
// Raises the RuntimeFailure for a system error number on the file at path.
[[noreturn]] void fail(int error, const QString& path);
// Writes all of data at offset (or, when offset < 0, at the file's position) or raises.
void writeAll(int fd, const QString& path, const char* data, qint64 size, qint64 offset = -1);
// Flushes the file's data to the disk or raises.
void sync(int fd, const QString& path);
// Copies the file at from to a new file at to, synced; raises on any failure.
void copyFile(const QString& from, const QString& to);
// Gives the file at path the permissions of the file at model, when there is one: a file that
// is about to replace model keeps what the user allowed of it.
void keepPermissionsOf(const QString& model, const QString& path);
} // namespace diskio
