// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The application folder: where the settings files and the book folders live.
// $VERBANTA_HOME when set, otherwise the per-user data folder.
namespace appfolder {

// The folder's path, without a trailing separator. Creates it when it does not exist yet.
QString path();

// The folder of a book: a subfolder of the application folder named after the book.
QString bookFolder(const QString& bookName);

} // namespace appfolder
