// SPDX-License-Identifier: GPL-3.0-or-later
#include "glossarypanelform.h"

#include "formparts.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

using formparts::action;
using formparts::named;

GlossaryPanelForm::GlossaryPanelForm(QMainWindow& window, QMenu& menu)
    : QDockWidget(QStringLiteral("文中の登録語"), &window) {
    setObjectName(QStringLiteral("dockGlossary"));
    // Shown and hidden through its menu entry only, so the entry and the settings file always
    // agree with what is on the screen.
    setFeatures(QDockWidget::DockWidgetMovable);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    lstGlossary = named(new QTreeWidget(body), "lstGlossary");
    lstGlossary->setColumnCount(2);
    lstGlossary->setHeaderLabels({QStringLiteral("登録語"), QStringLiteral("意味")});
    lstGlossary->setRootIsDecorated(false);
    lstGlossary->setItemsExpandable(false);
    lstGlossary->setUniformRowHeights(true);
    lstGlossary->header()->setStretchLastSection(true);
    lstGlossary->installEventFilter(this);
    lstGlossary->setAccessibleName(windowTitle());
    connect(lstGlossary, &QTreeWidget::itemDoubleClicked, this, [this] { emit itemChosen(); });
    lstGlossary->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstGlossary, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QTreeWidgetItem* item = lstGlossary->itemAt(at);
        if (!item)
            return;
        lstGlossary->setCurrentItem(item);
        emit termsRequested(lstGlossary->viewport()->mapToGlobal(at));
    });
    lblGlossaryState = named(new QLabel(body), "lblGlossaryState");
    chkGlossaryHighlight =
        named(new QCheckBox(QStringLiteral("原文で強調表示する"), body), "chkGlossaryHighlight");
    layout->addWidget(lstGlossary);
    layout->addWidget(lblGlossaryState);
    layout->addWidget(chkGlossaryHighlight);
    setWidget(body);
    window.addDockWidget(Qt::RightDockWidgetArea, this);
    hide();

    menu.addSeparator()->setObjectName(QStringLiteral("mnuGlossarySep"));
    mnuGlossary = action(&menu, "mnuGlossary", QStringLiteral("文中の登録語(&L)"),
                         QKeySequence(Qt::CTRL | Qt::Key_L));
    mnuGlossary->setCheckable(true);
    mnuGlossaryInsert =
        action(&menu, "mnuGlossaryInsert", QStringLiteral("登録語の意味を訳文に挿入(&J)"),
               QKeySequence(Qt::CTRL | Qt::Key_J));
    mnuGlossaryPick =
        action(&menu, "mnuGlossaryPick", QStringLiteral("登録語の意味から選んで挿入(&K)..."),
               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J));
    popGlossaryTerms = named(new QMenu(this), "popGlossaryTerms");
    formparts::nameForScreenReaders(this);
}

bool GlossaryPanelForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstGlossary && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit itemChosen();
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}
