// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

// Window geometry, indents and tab stops are kept in twips (1/1440 inch); the screen works in
// logical pixels at 15 twips each.
namespace twips {
constexpr int PerPixel = 15;
inline int toPixels(int twips) {
    return static_cast<int>(std::lround(twips / double(PerPixel)));
}
constexpr int fromPixels(int pixels) {
    return pixels * PerPixel;
}
// QTextDocument lays out indents, margins and tab stops in logical pixels, not points. Kept
// fractional there so that any twip value reads back exactly.
constexpr double toLayout(int twips) {
    return twips / double(PerPixel);
}
inline int fromLayout(double pixels) {
    return static_cast<int>(std::lround(pixels * PerPixel));
}
// Points (1/72 inch): font sizes.
constexpr double toPoints(int twips) {
    return twips / 20.0;
}
inline int fromPoints(double points) {
    return static_cast<int>(std::lround(points * 20.0));
}
} // namespace twips
