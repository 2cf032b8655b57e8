#pragma once

#include <QByteArray>
#include <QString>

// Whole-file rewrites go through here: the bytes are written to a temporary file in the same
// folder, flushed to disk and renamed over the old file, so a crash leaves the old file or the
// new one, never half of each. Raises a RuntimeFailure when the file cannot be written.
void writeFileAtomically(const QString& path, const QByteArray& bytes);
