// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelayout.h"

#include "core/richtext/twips.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "ui/twipslayout.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <cmath>

namespace panelayout {

namespace {

// The panes wrap 400 twips short of their right edge.
constexpr int MarginAllowance = 400;

bool fits(const Rect& r) {
    return r.width >= 0 && r.height >= 0;
}

void place(QWidget* widget, const Rect& r) {
    twipslayout::place(widget, int(std::lround(r.left)), int(std::lround(r.top)),
                       int(std::lround(r.width)), int(std::lround(r.height)));
}

void setMargin(RichTextPane* pane, const Rect& r) {
    pane->setRightMargin(int(std::lround(r.width)) - MarginAllowance);
}

} // namespace

int paneHeight(int windowHeight) {
    return windowHeight - TopArea - StatusBarHeight;
}

int splitLine(int windowHeight) {
    return int(std::nearbyint(paneHeight(windowHeight) / 2.0 + TopArea));
}

std::optional<Arrangement> arrange(int width, int height, bool useOrgFile, bool stacked) {
    const double W = width;
    const double P = paneHeight(height);
    const double S = splitLine(height);
    Arrangement a;
    if (!useOrgFile) {
        a.originalVisible = false;
        a.layoutCommandEnabled = false;
        a.label2Visible = false;
        a.label1Caption = QStringLiteral("<訳文>");
        a.original = {100, TopArea, W - 200, 0};
        a.translation = {100, TopArea, W - 200, P};
        if (!fits(a.translation) || a.original.width < 0)
            return std::nullopt;
        return a;
    }
    a.label1Caption = QStringLiteral("<原文>");
    if (stacked) {
        a.label2Left = 180;
        a.label2Top = S - 300;
        a.original = {100, TopArea, W - 200, P / 2 - 300};
        a.translation = {100, S - 110, W - 200, P / 2 + 300};
    } else {
        a.label2Left = W / 2 + 150;
        a.label2BesideLabel1 = true;
        a.original = {100, TopArea, W / 2 - 150, P};
        a.translation = {W / 2 + 50, TopArea, W / 2 - 150, P};
    }
    if (!fits(a.original) || !fits(a.translation))
        return std::nullopt;
    return a;
}

int windowWidth(const TranslatorLForm& form) {
    return twips::fromPixels(form.client()->width());
}

int windowHeight(const TranslatorLForm& form) {
    return twips::fromPixels(form.client()->height());
}

void apply(TranslatorLForm& form, const Arrangement& a, int width, int height) {
    form.mnuLayout->setEnabled(a.layoutCommandEnabled);
    form.Rtxt1->setVisible(a.originalVisible);
    place(form.Rtxt1, a.original);
    place(form.Rtxt2, a.translation);
    if (a.originalVisible)
        setMargin(form.Rtxt1, a.original);
    setMargin(form.Rtxt2, a.translation);
    form.Label1->setText(a.label1Caption);
    form.Label2->setVisible(a.label2Visible);
    if (a.label2Visible) {
        form.Label2->setText(QStringLiteral("<訳文>"));
        const int top = a.label2BesideLabel1 ? twips::fromPixels(form.Label1->y())
                                             : int(std::lround(a.label2Top));
        twipslayout::place(form.Label2, int(std::lround(a.label2Left)), top,
                           twips::fromPixels(form.Label2->width()),
                           twips::fromPixels(form.Label2->height()));
    }
    for (QFrame* line : form.Line1)
        line->resize(twips::toPixels(width) - line->x(), line->height());
    form.Toolbar1->resize(twips::toPixels(width), form.Toolbar1->height());
    twipslayout::place(form.StBar, 0, height - StatusBarHeight, width, StatusBarHeight);
}

} // namespace panelayout
