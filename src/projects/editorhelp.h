// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// The translation editor's help: pages built into the program, shown in the help window the word
// book uses.
namespace editorhelp {

// Opens the help at its contents. A help that cannot be found ends the command quietly.
void open(QWidget* parent);

} // namespace editorhelp
