// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <optional>

class RichTextPane;

// The character format of a pane's selection as the formatting bar shows it, read in one pass:
// each value is empty when the selection mixes several. The same values as the pane's own
// selection readers, without walking a long selection once per value.
struct SelectionFormat {
    std::optional<QString> fontName;
    std::optional<double> fontSize;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<QColor> color;

    static SelectionFormat of(const RichTextPane& pane);
};
