// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// Tab stops and the indent width are typed in units of 120 twips, about one character of a
// 10-point font, and kept in twips as signed 16-bit values.
namespace unitentry {

constexpr int TwipsPerUnit = 120;
// The widest entry whose width in twips still fits 16 bits.
constexpr int MaxUnits = 32767 / TwipsPerUnit;

// The width in twips of a typed whole number of units (full-width digits and blanks around it
// allowed), or nothing when the text is not a whole number in -MaxUnits..MaxUnits.
std::optional<int> toTwips(const QString& text);

// A width in twips as the dialogs show it: in whole units, rounded half to even.
QString fromTwips(int twips);

// The refusal that names the allowed range, for the box labelled label (may be empty).
QString refusal(const QString& label);

} // namespace unitentry
