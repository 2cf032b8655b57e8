// SPDX-License-Identifier: GPL-3.0-or-later
#include "memorypanelform.h"

#include "formparts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QSpinBox>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

using formparts::action;
using formparts::named;

MemoryPanelForm::MemoryPanelForm(QMainWindow& window, QMenu& menu)
    : QDockWidget(QStringLiteral("過去の訳"), &window) {
    setObjectName(QStringLiteral("dockMemory"));
    // Shown and hidden through its menu entry only, so that the entry and the settings file
    // always agree with the screen.
    setFeatures(QDockWidget::DockWidgetMovable);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    lstMemory = named(new QTreeWidget(body), "lstMemory");
    lstMemory->setColumnCount(3);
    lstMemory->setHeaderLabels(
        {QStringLiteral("一致率"), QStringLiteral("訳文"), QStringLiteral("出典")});
    lstMemory->setRootIsDecorated(false);
    lstMemory->setUniformRowHeights(true);
    lstMemory->header()->setStretchLastSection(true);
    lstMemory->installEventFilter(this);
    lstMemory->setAccessibleName(windowTitle());
    connect(lstMemory, &QTreeWidget::itemDoubleClicked, this, [this] { emit itemChosen(); });
    txtMemorySource = named(new QTextBrowser(body), "txtMemorySource");
    txtMemorySource->setAccessibleName(QStringLiteral("過去の原文"));
    txtMemorySource->setMaximumHeight(90);
    auto* thresholdRow = new QHBoxLayout;
    auto* thresholdLabel = new QLabel(QStringLiteral("最低一致率(&P):"), body);
    spnMemoryThreshold = named(new QSpinBox(body), "spnMemoryThreshold");
    spnMemoryThreshold->setRange(50, 100);
    spnMemoryThreshold->setSuffix(QStringLiteral(" %"));
    thresholdLabel->setBuddy(spnMemoryThreshold);
    thresholdRow->addWidget(thresholdLabel);
    thresholdRow->addWidget(spnMemoryThreshold);
    thresholdRow->addStretch();
    lblMemoryState = named(new QLabel(body), "lblMemoryState");
    lblMemoryState->setWordWrap(true);
    layout->addWidget(lstMemory, 2);
    layout->addWidget(txtMemorySource, 1);
    layout->addLayout(thresholdRow);
    layout->addWidget(lblMemoryState);
    setWidget(body);
    window.addDockWidget(Qt::RightDockWidgetArea, this);
    hide();

    menu.addSeparator()->setObjectName(QStringLiteral("mnuMemorySep"));
    mnuMemory = action(&menu, "mnuMemory", QStringLiteral("過去の訳(&H)"),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
    mnuMemory->setCheckable(true);
    mnuMemoryInsert = action(&menu, "mnuMemoryInsert", QStringLiteral("過去の訳を訳文に挿入(&Y)"),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    mnuMemoryMenu = formparts::submenu(&menu, "mnuMemoryMenu", QStringLiteral("翻訳メモリ(&M)"));
    mnuMemoryImport =
        action(mnuMemoryMenu, "mnuMemoryImport", QStringLiteral("TMXﾌｧｲﾙの取込み(&I)..."));
    mnuMemoryExport =
        action(mnuMemoryMenu, "mnuMemoryExport", QStringLiteral("TMXﾌｧｲﾙへの書出し(&E)..."));
    mnuMemoryRemove =
        action(mnuMemoryMenu, "mnuMemoryRemove", QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄの訳を削除(&D)..."));
    mnuMemoryCount = action(mnuMemoryMenu, "mnuMemoryCount", QStringLiteral("登録数(&C)..."));
    mnuMemoryRebuild =
        action(mnuMemoryMenu, "mnuMemoryRebuild", QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄから作り直す(&R)..."));
    formparts::nameForScreenReaders(this);
}

bool MemoryPanelForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstMemory && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit itemChosen();
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

MemoryChoiceForm::MemoryChoiceForm(const QString& title, QWidget* parent) : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(new QFormLayout);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QComboBox* MemoryChoiceForm::addChoice(const QString& caption, const QStringList& items,
                                       int current) {
    auto* form = static_cast<QFormLayout*>(layout()->itemAt(0)->layout());
    auto* box = new QComboBox(this);
    box->setObjectName(QStringLiteral("cboChoice%1").arg(form->rowCount()));
    box->addItems(items);
    box->setCurrentIndex(current);
    form->addRow(caption, box);
    return box;
}
