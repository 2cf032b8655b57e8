// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

class FrmTranslatorL;

// The start window of the translation editor: says that the settings are being read, shows the
// font list filling, then shows the editor with the focus in its input box.
namespace frmtrsplash {

// The editor, shown; null when its start failed (the failure was reported and the program ends).
std::unique_ptr<FrmTranslatorL> openEditor();

} // namespace frmtrsplash
