// SPDX-License-Identifier: GPL-3.0-or-later
#include "appearance.h"

#include "core/settings/settings.h"
#include "dialogservice.h"
#include "inputmethod.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>
#include <cstdlib>

namespace appearance {

QColor toColor(qint32 bgr) {
    const quint32 v = quint32(bgr);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint32 fromColor(const QColor& color) {
    return qint32(quint32(color.red()) | (quint32(color.green()) << 8) |
                  (quint32(color.blue()) << 16));
}

namespace {

// A colour given to every kind of widget alike: a window, an edit box and a button each draw it
// in a role of their own.
void setRoles(QWidget* widget, std::initializer_list<QPalette::ColorRole> roles, qint32 bgr) {
    QPalette p = widget->palette();
    for (const QPalette::ColorRole role : roles)
        p.setColor(role, toColor(bgr));
    widget->setPalette(p);
}

} // namespace

void setBackColor(QWidget* widget, qint32 bgr) {
    setRoles(widget, {QPalette::Window, QPalette::Base, QPalette::Button}, bgr);
    widget->setAutoFillBackground(true);
}

void setTextColor(QWidget* widget, qint32 bgr) {
    setRoles(widget, {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}, bgr);
}

void setWindowColor(QWidget* widget, qint32 bgr) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, toColor(bgr));
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void setFont(QWidget* widget, const QString& name, int points, bool bold, bool italic) {
    QFont f(name);
    if (points > 0)
        f.setPointSize(points);
    f.setBold(bold);
    f.setItalic(italic);
    widget->setFont(f);
}

namespace {

// Whether the widget's text shows whole at its font. A text box needs the height of a line (longer
// text scrolls); a radio or check button needs its caption inside the space beside its mark.
bool textFits(const QWidget* widget) {
    if (qobject_cast<const QLineEdit*>(widget))
        return widget->sizeHint().height() <= widget->height();
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    if (!button)
        return widget->sizeHint().width() <= widget->width() &&
               widget->sizeHint().height() <= widget->height();
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle::SubElement contents = qobject_cast<const QCheckBox*>(button)
                                            ? QStyle::SE_CheckBoxContents
                                            : QStyle::SE_RadioButtonContents;
    const QRect space = button->style()->subElementRect(contents, &option, button);
    const QFontMetrics metrics(button->font());
    return space.left() + metrics.horizontalAdvance(button->text()) <= button->width() &&
           metrics.height() <= button->height();
}

} // namespace

void setFittingFont(QWidget* widget, const QString& name, int points, bool bold, bool italic) {
    setFont(widget, name, points, bold, italic);
    constexpr int Smallest = 6;
    QFont f = widget->font();
    while (!textFits(widget) && f.pointSize() > Smallest) {
        f.setPointSize(f.pointSize() - 1);
        widget->setFont(f);
    }
}

void applyFontGroup(QWidget* widget, const FontGroup& group) {
    setFont(widget, group.name, group.size, group.bold, group.italic);
    setTextColor(widget, group.textColor);
    setBackColor(widget, group.backColor);
    QPalette p = widget->palette();
    const QColor back = toColor(group.backColor);
    if (std::abs(p.color(QPalette::Highlight).lightness() - back.lightness()) < 80) {
        p.setColor(QPalette::Highlight, toColor(group.textColor));
        p.setColor(QPalette::HighlightedText, back);
        widget->setPalette(p);
    }
    setInputMethodMode(widget, group.imeMode);
}

bool acceptChosenFont(const QString& family) {
    const QString bad = unstorableInFontName(family);
    if (bad.isEmpty())
        return true;
    showMessage(QStringLiteral("ﾌｫﾝﾄ「%1」の名前には保存できない文字が含まれています：%2\r\n"
                               "ﾌｫﾝﾄは変更しませんでした。")
                    .arg(family, bad),
                AppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
}

void setInputMethodMode(QWidget* widget, int mode) {
    inputmethod::holdMode(widget, mode);
}

} // namespace appearance
