// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The operating system's reasons for a failed file operation, told in Japanese. The usual causes
// (no space, no permission, not found, a read-only file system, a device error) get words of
// their own; any other keeps the system's own text after a Japanese lead, so that nothing the
// user could pass on is lost.
namespace systemerror {

// The reason for a system error number (errno).
QString text(int error);

// The reason behind a text that Qt reports for a failed file operation (the errorString() of a
// QFile or QSaveFile), recognised by the system's wording inside it.
QString fromSystemText(const QString& systemText);

} // namespace systemerror
