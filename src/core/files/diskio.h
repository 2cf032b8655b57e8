// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The file-system steps every writer of the program takes: each checks what the system answers
// and raises a RuntimeFailure naming the file, so that no caller can forget a check.

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
// Removes the file at path; a file that is not there is no failure.
void removeIfPresent(const QString& path);
// Renames from to to, or raises for the file at failurePath.
void rename(const QString& from, const QString& to, const QString& failurePath);
// Puts a copy of the file at source in place of the file at target, leaving source where it is:
// a hard link (a plain copy on a file system without them) is made beside target under the name
// target + ".next", given target's permissions and renamed over it. A set of files installed one
// after another from kept sources can be installed again after a crash at any step.
void installLinkOf(const QString& source, const QString& target);
} // namespace diskio

// Makes renames inside a folder durable (best effort: some file systems cannot).
void syncFolder(const QString& folder);
