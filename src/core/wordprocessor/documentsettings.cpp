// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentsettings.h"

#include "core/settings/additionsettings.h"

DocumentSettings DocumentSettings::read(const QString& appFolder) {
    return {additionsettings::enabled(appFolder, FileName)};
}

void DocumentSettings::write(const QString& appFolder) const {
    additionsettings::writeEnabled(appFolder, FileName, enabled);
}
