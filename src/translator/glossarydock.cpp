// SPDX-License-Identifier: GPL-3.0-or-later
#include "glossarydock.h"

#include "ui/glossarypanelform.h"
#include "ui/limitedtextedit.h"
#include "ui/translatorlform.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>

namespace glossarydock {
namespace {

// Room between the last control and the panel's separator.
constexpr int Margin = 8;

int panelWidth(const TranslatorLForm& form, const GlossaryPanelForm& panel) {
    const int separator =
        form.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, &form);
    return std::max(panel.sizeHint().width(), panel.minimumSizeHint().width()) + separator;
}

} // namespace

Decision decide(int windowWidth, int wordPaneWidth, int panelWidth, int screenWidth,
                bool mayWiden) {
    const int needed = wordPaneWidth + panelWidth;
    if (windowWidth >= needed)
        return {Place::Beside, windowWidth};
    if (mayWiden && needed <= screenWidth)
        return {Place::BesideWidened, needed};
    return {Place::Below, windowWidth};
}

int wordPaneWidth(const TranslatorLForm& form) {
    QList<const QWidget*> controls = std::initializer_list<const QWidget*>{
        form.txtInput, form.txtWord, form.lblMode, form.txtMean,  form.txtRei,   form.ud,
        form.cmdAdd,   form.cmdCL,   form.cmdAC,   form.cboFname, form.cboFsize, form.ImcboFcolor};
    for (const QLabel* l : form.lblStock)
        controls << l;
    int right = 0;
    for (const QWidget* w : controls)
        right = std::max(right, w->geometry().right() + 1);
    return right + Margin;
}

void makeRoom(TranslatorLForm& form, GlossaryPanelForm& panel, const QRect& screen, bool mayWiden) {
    const int frame = form.frameGeometry().width() - form.width();
    const int width = panelWidth(form, panel);
    const Decision d =
        decide(form.width(), wordPaneWidth(form), width, screen.width() - frame, mayWiden);
    if (d.place == Place::Below) {
        if (form.dockWidgetArea(&panel) != Qt::BottomDockWidgetArea)
            form.addDockWidget(Qt::BottomDockWidgetArea, &panel);
        return;
    }
    if (d.place == Place::BesideWidened) {
        form.resize(d.windowWidth, form.height());
        // Keep the widened window on the screen.
        const int overhang = form.frameGeometry().right() - screen.right();
        if (overhang > 0)
            form.move(std::max(screen.left(), form.x() - overhang), form.y());
    }
    if (form.dockWidgetArea(&panel) != Qt::RightDockWidgetArea)
        form.addDockWidget(Qt::RightDockWidgetArea, &panel);
    form.resizeDocks({&panel}, {width}, Qt::Horizontal);
}

Follower::Follower(TranslatorLForm& form, GlossaryPanelForm& panel)
    : QObject(&panel), m_form(form), m_panel(panel) {
    form.installEventFilter(this);
}

bool Follower::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_form && event->type() == QEvent::Resize && m_panel.isVisible()) {
        const QScreen* screen = m_form.screen();
        makeRoom(m_form, m_panel, screen ? screen->availableGeometry() : QRect(), false);
    }
    return false;
}

} // namespace glossarydock
