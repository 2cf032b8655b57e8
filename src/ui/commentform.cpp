// SPDX-License-Identifier: GPL-3.0-or-later
#include "commentform.h"

#include "core/richtext/twips.h"
#include "formparts.h"
#include "menukeys.h"
#include "richtextpane.h"
#include "twipslayout.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

namespace {

// The design size of the inner area, in twips.
constexpr int DesignWidth = 7200;
constexpr int DesignHeight = 6000;
// Below this the pane (inner size less 100 × 850) would vanish and the search row overlap.
constexpr int MinimumWidth = 3000;
constexpr int MinimumHeight = 2000;

using formparts::action;
using formparts::named;
using formparts::submenu;
using twipslayout::place;

} // namespace

CommentForm::CommentForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmComment"));
    setWindowTitle(QStringLiteral("注釈ｳｨﾝﾄﾞｳ"));
    m_client = named(new QWidget(this), "client");
    m_client->setMinimumSize(twips::toPixels(MinimumWidth), twips::toPixels(MinimumHeight));
    setCentralWidget(m_client);
    setFont(formparts::designFont(QStringLiteral("MS UI Gothic"), 9));
    createControls();
    createMenus();
    menukeys::winOverTextBoxes(this);
    resize(twips::toPixels(DesignWidth),
           twips::toPixels(DesignHeight) + menuBar()->sizeHint().height());
    Rtxt3->setAccessibleName(QStringLiteral("注釈"));
    formparts::nameForScreenReaders(this);
}

int CommentForm::innerWidth() const {
    return twips::fromPixels(m_client->width());
}

int CommentForm::innerHeight() const {
    return twips::fromPixels(m_client->height());
}

void CommentForm::createControls() {
    Line1 = twipslayout::rules(m_client, "Line1", {0, 440}, DesignWidth);

    Text1 = named(new QLineEdit(m_client), "Text1");
    Text1->setToolTip(QStringLiteral("検索する語句を入力して[検索]ﾎﾞﾀﾝを押します"));
    place(Text1, 60, 70, 3000, 330);
    cmdFind = named(new QPushButton(QStringLiteral("検索"), m_client), "cmdFind");
    place(cmdFind, 3120, 60, 900, 350);

    Rtxt3 = named(new RichTextPane(m_client), "Rtxt3");
    place(Rtxt3, 50, 500, DesignWidth - 100, DesignHeight - 850);

    StatusBar1 = named(new QStatusBar(m_client), "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1Panel1 = named(new QLabel(StatusBar1), "StatusBar1_Panel1");
    StatusBar1Panel1->setFrameShape(QFrame::Panel);
    StatusBar1Panel1->setFrameShadow(QFrame::Sunken);
    StatusBar1->addWidget(StatusBar1Panel1, 1);
    place(StatusBar1, 0, DesignHeight - 350, DesignWidth, 350);
}

void CommentForm::createMenus() {
    mnuFile = named(menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)")), "mnuFile");
    mnuPrint = action(mnuFile, "mnuPrint", QStringLiteral("印刷(&P)"));
    mnuFile->addSeparator();
    mnuGotoTrans = action(mnuFile, "mnuGotoTrans", QStringLiteral("翻訳ｳｨﾝﾄﾞｳへ(&E)"));
    mnuClose = action(mnuFile, "mnuClose", QStringLiteral("閉じる(&X)"));

    mnuEdit = named(menuBar()->addMenu(QStringLiteral("編集(&E)")), "mnuEdit");
    mnuCut = action(mnuEdit, "mnuCut", QStringLiteral("ｶｯﾄ(&T)"));
    mnuCopy = action(mnuEdit, "mnuCopy", QStringLiteral("ｺﾋﾟｰ(&C)"));
    mnuPaste = action(mnuEdit, "mnuPaste", QStringLiteral("貼り付け(&V)"));
    mnuEdit->addSeparator();
    mnuSelectAll = action(mnuEdit, "mnuSelectAll", QStringLiteral("全て選択(&A)"));

    mnuFormat = named(menuBar()->addMenu(QStringLiteral("書式(&S)")), "mnuFormat");
    mnuFont = action(mnuFormat, "mnuFont", QStringLiteral("ﾌｫﾝﾄ設定(&F)..."));
    mnuIndent = submenu(mnuFormat, "mnuIndent", QStringLiteral("ｲﾝﾃﾞﾝﾄ(&I)"));
    mnuIndentDo = action(mnuIndent, "mnuIndentDo", QStringLiteral("適用(&D)"));
    mnuIdtRelease = action(mnuIndent, "mnuIdtRelease", QStringLiteral("解除(&K)"));
    mnuIndentSetting = action(mnuIndent, "mnuIndentSetting", QStringLiteral("値を設定(&J)..."));
    mnuAlignment = submenu(mnuFormat, "mnuAlignment", QStringLiteral("行揃え(&G)"));
    mnuLeft = action(mnuAlignment, "mnuLeft", QStringLiteral("左揃え(&L)"));
    mnuCenter = action(mnuAlignment, "mnuCenter", QStringLiteral("中央揃え(&C)"));
    mnuRight = action(mnuAlignment, "mnuRight", QStringLiteral("右揃え(&R)"));
    mnuBullet = submenu(mnuFormat, "mnuBullet", QStringLiteral("ﾌﾞﾚｯﾄ(&B)"));
    mnuBulletDo = action(mnuBullet, "mnuBulletDo", QStringLiteral("適用(&V)"));
    mnuBulletRelease = action(mnuBullet, "mnuBulletRelease", QStringLiteral("解除(&N)"));
}

void CommentForm::closeEvent(QCloseEvent* event) {
    // The window is unloaded by its behaviour, which saves the pane first.
    event->ignore();
    emit closeRequested();
}
