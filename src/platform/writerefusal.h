// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/files/failure.h"

#include <QString>

// A write the disk refused: a full disk, a file or folder that cannot be written, a failing
// device. The program's writes leave the old files whole when that happens, so such a failure is
// told to the user and the program keeps running, with what was typed, instead of ending.
bool isWriteRefusal(const RuntimeFailure& failure);

// Shows the box for a refused write: what could not be done, why, and that the files on disk are
// as they were, so the user can make room and carry the command out again.
void reportWriteRefusal(const QString& what, const RuntimeFailure& failure);
