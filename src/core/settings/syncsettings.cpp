// SPDX-License-Identifier: GPL-3.0-or-later
#include "syncsettings.h"

#include "core/settings/additionsettings.h"

SyncSettings SyncSettings::read(const QString& appFolder) {
    return {additionsettings::enabled(appFolder, FileName)};
}

void SyncSettings::write(const QString& appFolder) const {
    additionsettings::writeEnabled(appFolder, FileName, enabled);
}
