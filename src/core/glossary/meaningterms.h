// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QStringView>

// The terms of one line of a meaning, the pieces a translator puts into a translation: the line
// split where it lists synonyms (、 ， , ; ； / ／ and part-of-speech labels), each term without
// its labels ([名], 【動】) and readings or notes in brackets (（なりゆき）), blanks trimmed, each
// term once, in the line's order. Pieces without a letter or digit ("…") are no terms.
QStringList meaningTerms(QStringView line);
