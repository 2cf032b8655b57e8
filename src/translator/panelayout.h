// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

class TranslatorLForm;

// Where the two rich-text panes go for a given inner window size, in twips: stacked (original
// above translation), side by side, or the translation alone when the project has no original.
namespace panelayout {

// Above the panes lie the tool bar, the word pane and the formatting bar; below them the status
// bar.
constexpr int TopArea = 2280;
constexpr int StatusBarHeight = 350;

struct Rect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    bool operator==(const Rect&) const = default;
};

struct Arrangement {
    bool originalVisible = true;
    Rect original;
    Rect translation;
    bool label2Visible = true;
    double label2Left = 0;
    double label2Top = 0; // side by side: level with Label1
    bool label2BesideLabel1 = false;
    QString label1Caption;
    bool layoutCommandEnabled = true;
};

// The height the panes share: the inner height less the top area and the status bar.
int paneHeight(int windowHeight);
// The vertical middle of the pane area, rounded to the nearest twip (halves to even).
int splitLine(int windowHeight);

// The arrangement for an inner size of width x height twips, or nothing when that size would give
// a pane a negative width or height.
std::optional<Arrangement> arrange(int width, int height, bool useOrgFile, bool stacked);

// The window's inner size in twips.
int windowWidth(const TranslatorLForm& form);
int windowHeight(const TranslatorLForm& form);

// Moves the panes, their headings, the separator lines, the tool bar and the status bar; sets
// each pane's right margin to its width less 400 twips.
void apply(TranslatorLForm& form, const Arrangement& arrangement, int width, int height);

} // namespace panelayout
