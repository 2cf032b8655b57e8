// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainform.h"

#include "core/richtext/twips.h"
#include "formparts.h"
#include "limitedtextedit.h"
#include "menukeys.h"

#include <QAction>
#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace {

using formparts::designFont;
using formparts::named;

QAction* action(QMenu* menu, const char* name, const QString& caption,
                const QKeySequence& shortcut = {}) {
    QAction* a = formparts::action(menu, name, caption, shortcut);
    // The window handles every key itself (see FrmMain); the shortcut is here to be shown.
    if (!shortcut.isEmpty())
        a->setShortcutContext(Qt::WidgetShortcut);
    return a;
}

} // namespace

MainForm::MainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Verbanta"));
    createControls();
    createMenus();
    setLarge(true);
    menukeys::winOverTextBoxes(this);
    formparts::nameForScreenReaders(this);
}

void MainForm::createControls() {
    auto* central = named(new QWidget(this), "centralWidget");
    setCentralWidget(central);
    const QFont captionFont = designFont(QStringLiteral("ＭＳ ゴシック"), 9);
    const QFont counterFont = designFont(QStringLiteral("MS UI Gothic"), 9);

    auto label = [&](const char* name, const QString& text, const QFont& font, QRect geometry) {
        QLabel* l = named(new QLabel(text, central), name);
        l->setFont(font);
        l->setGeometry(geometry);
        return l;
    };
    Label3 = label("Label3", QStringLiteral("入力"), captionFont, {8, 6, 60, 18});
    txtInput = named(new QLineEdit(central), "txtInput");
    txtInput->setFont(designFont(QStringLiteral("ＭＳ Ｐゴシック"), 11));
    txtInput->setGeometry(8, 24, 222, 26);
    cmdScale = named(new QPushButton(QStringLiteral("<<"), central), "cmdScale");
    cmdScale->setToolTip(QStringLiteral("ｳｨﾝﾄﾞｳの大きさを変更"));
    cmdScale->setGeometry(234, 24, 38, 26);
    Label4 = label("Label4", QStringLiteral("単語"), captionFont, {8, 54, 60, 18});
    txtWord = named(new QLineEdit(central), "txtWord");
    txtWord->setGeometry(8, 72, 264, 26);
    List1 = named(new QListView(central), "List1");
    List1->setFont(designFont(QStringLiteral("Arial"), 10));
    List1->setUniformItemSizes(true);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setGeometry(8, 104, 264, 124);

    Label5 = label("Label5", QStringLiteral("意味"), captionFont, {282, 6, 60, 18});
    lblCount = label("lblCount", QString(), counterFont, {546, 6, 60, 18});
    lblCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtMean = named(new LimitedTextEdit(100, central), "txtMean");
    txtMean->setGeometry(282, 24, 324, 74);
    Label6 = label("Label6", QStringLiteral("用例"), captionFont, {282, 102, 60, 18});
    lblCount2 = label("lblCount2", QString(), counterFont, {546, 102, 60, 18});
    lblCount2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtRei = named(new LimitedTextEdit(100, central), "txtRei");
    txtRei->setGeometry(282, 120, 324, 92);

    Frame1 = named(new QFrame(central), "Frame1");
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setToolTip(QStringLiteral("Shift + Ctrl + 文字ｷｰで選択、[F2]で全て選択"));
    Frame1->setGeometry(282, 218, 324, 96);
    auto* palette = new QButtonGroup(this);
    for (int i = 0; i < 27; ++i) {
        auto* button = new QRadioButton(i == 26 ? QStringLiteral("全") : QString(), Frame1);
        button->setObjectName(QStringLiteral("Option1_%1").arg(i));
        button->setGeometry(4 + (i % 9) * 35, 4 + (i / 9) * 30, 35, 28);
        // A button's own face behind the caption, not the frame's chosen colour.
        QPalette face = button->palette();
        face.setColor(QPalette::Window, face.color(QPalette::Button));
        button->setPalette(face);
        button->setAutoFillBackground(true);
        palette->addButton(button, i);
        Option1.append(button);
    }

    auto pictureButton = [&](const char* name, QStyle::StandardPixmap icon, const QString& tip,
                             int x) {
        QPushButton* b = named(new QPushButton(central), name);
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setGeometry(x, 320, 40, 34);
        return b;
    };
    cmdDo = pictureButton("cmdDo", QStyle::SP_DialogApplyButton,
                          QStringLiteral("実行 [F5] または [Ctrl] + R"), 282);
    cmdCancel = pictureButton("cmdCancel", QStyle::SP_DialogCancelButton,
                              QStringLiteral("現在の処理をｷｬﾝｾﾙ [Esc]"), 326);
    cmdModify = pictureButton("cmdModify", QStyle::SP_FileDialogDetailedView,
                              QStringLiteral("修正 [Ctrl] + M"), 370);
    cmdDel = pictureButton("cmdDel", QStyle::SP_TrashIcon, QStringLiteral("削除 [Ctrl] + D"), 414);
    cmdGoTrans = pictureButton("cmdGoTrans", QStyle::SP_FileDialogContentsView,
                               QStringLiteral("Dualscribeを開く"), 458);
    lblMode = label("lblMode", QString(), captionFont, {506, 320, 100, 34});
    lblMode->setToolTip(QStringLiteral("現在の処理ﾓｰﾄﾞ"));
    lblMode->setAlignment(Qt::AlignCenter);
    lblMode->setAutoFillBackground(true);
    lblMode->setFrameShape(QFrame::Panel);

    auto textButton = [&](const char* name, const QString& caption, QRect geometry) {
        QPushButton* b = named(new QPushButton(caption, central), name);
        b->setGeometry(geometry);
        return b;
    };
    cmdChecked = textButton("cmdChecked", QStringLiteral("全ﾁｪｯｸ"), {282, 364, 76, 28});
    cmdUnchecked = textButton("cmdUnchecked", QStringLiteral("ﾁｪｯｸｸﾘｱ"), {362, 364, 76, 28});
    cmdChkRev = textButton("cmdChkRev", QStringLiteral("ﾁｪｯｸ反転"), {442, 364, 76, 28});
    cmdExit = textButton("cmdExit", QStringLiteral("終了"), {530, 364, 76, 28});

    Label1 = label("Label1", QStringLiteral("登録数"), captionFont, {8, 404, 50, 20});
    lblMaxRec = label("lblMaxRec", QString(), counterFont, {60, 404, 60, 20});
    lblMaxRec->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2 = label("Label2", QStringLiteral("語"), captionFont, {124, 404, 24, 20});
    lblDue = label("lblDue", QString(), counterFont, {152, 404, 120, 20});
    lblDue->hide();

    // What a screen reader calls the boxes: the captions above them, or what the list holds.
    Label3->setBuddy(txtInput);
    Label4->setBuddy(txtWord);
    Label5->setBuddy(txtMean);
    Label6->setBuddy(txtRei);
    List1->setAccessibleName(QStringLiteral("単語一覧"));
    for (int i = 0; i < 26; ++i)
        Option1[i]->setAccessibleName(paletteButtonName(i));
}

QString MainForm::paletteButtonName(int i) {
    return QStringLiteral("ﾊﾟﾚｯﾄ%1").arg(i + 1);
}

void MainForm::createMenus() {
    IdmFile = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    IdmFile->setObjectName(QStringLiteral("IdmFile"));
    IdmBookSetting = action(IdmFile, "IdmBookSetting", QStringLiteral("使用するﾌﾞｯｸ設定(&B)..."));
    IdmInport = action(IdmFile, "IdmInport", QStringLiteral("ﾃﾞｰﾀの取込み/書出し(&U)..."));
    IdmMerge = action(IdmFile, "IdmMerge", QStringLiteral("ﾌﾞｯｸの統合(&M)..."));
    IdmFile->addSeparator()->setObjectName(QStringLiteral("Separator1"));
    IdmCustomize = action(IdmFile, "IdmCustomize", QStringLiteral("ｶｽﾀﾏｲｽﾞ(&C)..."));
    IdmFile->addSeparator()->setObjectName(QStringLiteral("Separator2"));
    IdmPrint = action(IdmFile, "IdmPrint", QStringLiteral("印刷(&P)..."),
                      QKeySequence(Qt::CTRL | Qt::Key_P));
    IdmFile->addSeparator()->setObjectName(QStringLiteral("Separator6"));
    IdmGotoTransL = action(IdmFile, "IdmGotoTransL", QStringLiteral("Dualscribe を開く(&G)"));
    IdmFile->addSeparator()->setObjectName(QStringLiteral("Separator5"));
    IdmExit =
        action(IdmFile, "IdmExit", QStringLiteral("終了(&X)"), QKeySequence(Qt::CTRL | Qt::Key_Q));

    IdmEdit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    IdmEdit->setObjectName(QStringLiteral("IdmEdit"));
    IdmCopy =
        action(IdmEdit, "IdmCopy", QStringLiteral("ｺﾋﾟｰ(&C)"), QKeySequence(Qt::CTRL | Qt::Key_C));
    IdmCut =
        action(IdmEdit, "IdmCut", QStringLiteral("ｶｯﾄ(&T)"), QKeySequence(Qt::CTRL | Qt::Key_X));
    IdmPaste = action(IdmEdit, "IdmPaste", QStringLiteral("貼り付け(&P)"),
                      QKeySequence(Qt::CTRL | Qt::Key_V));
    IdmEdit->addSeparator()->setObjectName(QStringLiteral("Separator3"));
    IdmResize = action(IdmEdit, "IdmResize", QStringLiteral("ｻｲｽﾞ変更(&Z)"),
                       QKeySequence(Qt::CTRL | Qt::Key_Z));

    IdmRegistration = menuBar()->addMenu(QStringLiteral("実行(&R)"));
    IdmRegistration->setObjectName(QStringLiteral("IdmRegistration"));
    IdmModify = action(IdmRegistration, "IdmModify", QStringLiteral("修正(&M)   F3  /"),
                       QKeySequence(Qt::CTRL | Qt::Key_M));
    IdmDel = action(IdmRegistration, "IdmDel", QStringLiteral("削除(&D)   F4  /"),
                    QKeySequence(Qt::CTRL | Qt::Key_D));
    IdmCheckDel = action(IdmRegistration, "IdmCheckDel", QStringLiteral("ﾁｪｯｸ項目を全て削除(&X)"));
    IdmCancel = action(IdmRegistration, "IdmCancel", QStringLiteral("取消(&E)   Esc"));
    IdmDo = action(IdmRegistration, "IdmDo", QStringLiteral("実行(&R)   F5  / "),
                   QKeySequence(Qt::CTRL | Qt::Key_R));
    IdmRegistration->addSeparator()->setObjectName(QStringLiteral("Separator4"));
    IdmTrial = action(IdmRegistration, "IdmTrial", QStringLiteral("ﾄﾗｲ(&T)..."));
    IdmReview = action(IdmRegistration, "IdmReview", QStringLiteral("復習(&V)..."),
                       QKeySequence(Qt::Key_F6));
    IdmProgress = action(IdmRegistration, "IdmProgress", QStringLiteral("学習の記録(&K)..."),
                         QKeySequence(Qt::Key_F7));
    for (QAction* review : {IdmReview, IdmProgress}) {
        review->setVisible(false);
        review->setEnabled(false);
    }

    IdmHelp = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    IdmHelp->setObjectName(QStringLiteral("IdmHelp"));
    IdmHelpshow = action(IdmHelp, "IdmHelpshow", QStringLiteral("ﾍﾙﾌﾟを開く(&C)..."),
                         QKeySequence(Qt::Key_F1));
    IdmVersion = action(IdmHelp, "IdmVersion", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&V)..."));
}

void MainForm::setLarge(bool large) {
    if (large) {
        List1->setGeometry(8, 104, 264, 292);
        resize(twips::toPixels(9210), twips::toPixels(6915));
    } else {
        List1->setGeometry(8, 104, 264, 124);
        resize(twips::toPixels(4215), twips::toPixels(3885));
    }
}
