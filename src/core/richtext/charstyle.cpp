// SPDX-License-Identifier: GPL-3.0-or-later
#include "charstyle.h"

#include <QTextCharFormat>
#include <algorithm>

namespace richtext {
namespace {

constexpr int UnderlineProperty = QTextFormat::UserProperty + 10;

QTextCharFormat::UnderlineStyle shownAs(Underline kind) {
    switch (kind) {
    case Underline::None:
        return QTextCharFormat::NoUnderline;
    case Underline::Dotted:
    case Underline::ThickDotted:
        return QTextCharFormat::DotLine;
    case Underline::Dashed:
    case Underline::LongDash:
    case Underline::ThickDashed:
    case Underline::ThickLongDash:
        return QTextCharFormat::DashUnderline;
    case Underline::DashDot:
    case Underline::ThickDashDot:
        return QTextCharFormat::DashDotLine;
    case Underline::DashDotDot:
    case Underline::ThickDashDotDot:
        return QTextCharFormat::DashDotDotLine;
    case Underline::Wave:
    case Underline::DoubleWave:
    case Underline::HeavyWave:
        return QTextCharFormat::WaveUnderline;
    case Underline::Single:
    case Underline::Words:
    case Underline::Double:
    case Underline::Thick:
        break;
    }
    return QTextCharFormat::SingleUnderline;
}

Underline fromShown(QTextCharFormat::UnderlineStyle style) {
    switch (style) {
    case QTextCharFormat::NoUnderline:
        return Underline::None;
    case QTextCharFormat::DashUnderline:
        return Underline::Dashed;
    case QTextCharFormat::DotLine:
        return Underline::Dotted;
    case QTextCharFormat::DashDotLine:
        return Underline::DashDot;
    case QTextCharFormat::DashDotDotLine:
        return Underline::DashDotDot;
    case QTextCharFormat::WaveUnderline:
    case QTextCharFormat::SpellCheckUnderline:
        return Underline::Wave;
    case QTextCharFormat::SingleUnderline:
        break;
    }
    return Underline::Single;
}

} // namespace

QString defaultFontFamily() {
    return QStringLiteral("ＭＳ Ｐゴシック");
}

double defaultFontPointSize() {
    return 11;
}

Underline underline(const QTextCharFormat& format) {
    const QTextCharFormat::UnderlineStyle shown = format.underlineStyle();
    if (format.hasProperty(UnderlineProperty)) {
        const auto kept = Underline(
            std::clamp(format.intProperty(UnderlineProperty), 0, int(Underline::ThickLongDash)));
        // A later change of the shown line (an edit that knew nothing of the kept kind) wins.
        if (shownAs(kept) == shown)
            return kept;
    }
    return fromShown(shown);
}

void setUnderline(QTextCharFormat& format, Underline kind) {
    format.setUnderlineStyle(shownAs(kind));
    format.setProperty(UnderlineProperty, int(kind));
}

} // namespace richtext
