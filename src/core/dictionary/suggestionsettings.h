// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Whether meanings are offered from the dictionaries, kept in a settings file of its own in the
// application folder ("DictSug.vtd", one record: #TRUE# or #FALSE#). A missing or unreadable
// file means on.
namespace suggestionsettings {
QString fileName();
bool read(const QString& appFolder);
// Rewrites the file atomically; raises RuntimeFailure when it cannot.
void write(const QString& appFolder, bool on);
} // namespace suggestionsettings
