// SPDX-License-Identifier: GPL-3.0-or-later
#include "translatorlform.h"

#include "core/richtext/twips.h"
#include "formparts.h"
#include "limitedtextedit.h"
#include "menukeys.h"
#include "richtextpane.h"
#include "twipslayout.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

namespace {

// The design size of the window's inner area, in twips.
constexpr int DesignWidth = 12600;
constexpr int DesignHeight = 9000;
// The smallest inner area at which every pane keeps a positive height and width in every
// arrangement (stacked needs more than 3230 twips of height).
constexpr int MinimumWidth = 4500;
constexpr int MinimumHeight = 3600;

using formparts::action;
using formparts::designFont;
using formparts::named;
using formparts::submenu;

QKeySequence ctrl(Qt::Key key) {
    return QKeySequence(Qt::CTRL | key);
}

using twipslayout::place;

} // namespace

TranslatorLForm::TranslatorLForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmTranslatorL"));
    setWindowTitle(QStringLiteral("Dualscribe"));
    m_client = named(new QWidget(this), "client");
    m_client->setMinimumSize(twips::toPixels(MinimumWidth), twips::toPixels(MinimumHeight));
    setCentralWidget(m_client);
    setFont(designFont(QStringLiteral("MS UI Gothic"), 9));
    createToolBar();
    createWordPane();
    createFormatBar();
    createPanes();
    createMenus();
    createPopup();
    nameUncaptionedControls();
    menukeys::winOverTextBoxes(this);
    resize(twips::toPixels(DesignWidth),
           twips::toPixels(DesignHeight) + menuBar()->sizeHint().height());
    formparts::nameForScreenReaders(this);
}

void TranslatorLForm::createToolBar() {
    Toolbar1 = named(new QToolBar(m_client), "Toolbar1");
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setMovable(false);
    place(Toolbar1, 0, 0, DesignWidth, 420);
    // Icons come from the desktop's icon theme; our own drawings stand in where the theme has
    // none, so the bar reads the same without a theme.
    const struct {
        const char* key;
        const char16_t* tip;
        const char* themeIcon;
        bool separatorAfter;
    } buttons[] = {
        {"new", u"新規ﾌﾟﾛｼﾞｪｸﾄの作成", "document-new", false},
        {"open", u"ﾌﾟﾛｼﾞｪｸﾄを開く", "document-open", false},
        {"save", u"ﾌﾟﾛｼﾞｪｸﾄの保存", "document-save", false},
        {"print", u"ﾌﾟﾛｼﾞｪｸﾄの印刷", "document-print", true},
        {"cut", u"ｶｯﾄ", "edit-cut", false},
        {"copy", u"ｺﾋﾟｰ", "edit-copy", false},
        {"paste", u"貼付け", "edit-paste", true},
        {"find", u"検索", "edit-find", true},
        {"bold", u"太字", "format-text-bold", false},
        {"italic", u"斜体", "format-text-italic", false},
        {"underline", u"下線", "format-text-underline", true},
        {"Qsearch", u"ｸｲｯｸｻｰﾁ", "accessories-dictionary", true},
        {"IndentDo", u"ｲﾝﾃﾞﾝﾄを適用", "format-indent-more", false},
        {"ReIndent", u"ｲﾝﾃﾞﾝﾄを解除", "format-indent-less", true},
        {"CmntOpen", u"注釈ｳｨﾝﾄﾞｳを開く", "edit-comment", false},
        {"help", u"ﾍﾌﾟﾙを開く", "help-contents", false},
    };
    for (const auto& b : buttons) {
        const QString key = QLatin1String(b.key);
        const QIcon own(QStringLiteral(":/toolbar/") + key + QStringLiteral(".svg"));
        QAction* a =
            Toolbar1->addAction(QIcon::fromTheme(QLatin1String(b.themeIcon), own), QString());
        a->setObjectName(QStringLiteral("Toolbar1_") + key);
        a->setData(key);
        a->setToolTip(QString::fromUtf16(b.tip));
        if (key == u"bold" || key == u"italic" || key == u"underline")
            a->setCheckable(true);
        if (b.separatorAfter)
            Toolbar1->addSeparator();
    }
}

QAction* TranslatorLForm::toolButton(const QString& key) const {
    for (QAction* a : Toolbar1->actions())
        if (a->data().toString() == key)
            return a;
    return nullptr;
}

void TranslatorLForm::createWordPane() {
    Line1 = twipslayout::rules(m_client, "Line1", {0, 420, 1650, 2040}, DesignWidth);

    const QFont inputFont = designFont(QStringLiteral("ＭＳ Ｐゴシック"), 11);
    txtInput = named(new QLineEdit(m_client), "txtInput");
    txtInput->setFont(inputFont);
    place(txtInput, 100, 465, 2500, 330);
    txtWord = named(new QLineEdit(m_client), "txtWord");
    txtWord->setFont(inputFont);
    place(txtWord, 100, 835, 2500, 330);

    auto button = [this](const char* name, const QString& caption, int left, int top, int width) {
        QPushButton* b = named(new QPushButton(caption, m_client), name);
        place(b, left, top, width, 330);
        return b;
    };
    cmdModify = button("cmdModify", QStringLiteral("修正"), 100, 1220, 540);
    cmdDel = button("cmdDel", QStringLiteral("削除"), 660, 1220, 540);
    cmdDo = button("cmdDo", QStringLiteral("実行"), 1220, 1220, 540);
    cmdCancel = button("cmdCancel", QStringLiteral("キャンセル"), 1780, 1220, 820);

    auto label = [this](const char* name, const QString& text) {
        QLabel* l = named(new QLabel(text, m_client), name);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    lblMode = label("lblMode", QStringLiteral("通常ﾓｰﾄﾞ"));
    lblMode->setToolTip(QStringLiteral("現在の処理ﾓｰﾄﾞ"));
    lblMode->setAutoFillBackground(true);
    lblMode->setFrameShape(QFrame::Panel);
    place(lblMode, 2700, 465, 1200, 330);
    lblMaxRec = label("lblMaxRec", QString());
    lblMaxRec->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblMaxRec->setFrameShape(QFrame::Panel);
    lblMaxRec->setFrameShadow(QFrame::Sunken);
    place(lblMaxRec, 2700, 835, 1200, 330);
    lblCount = label("lblCount", QString());
    lblCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(lblCount, 2700, 1220, 1200, 330);

    txtMean = named(new LimitedTextEdit(100, m_client), "txtMean");
    txtMean->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    place(txtMean, 4000, 465, 3600, 540);
    txtRei = named(new LimitedTextEdit(200, m_client), "txtRei");
    txtRei->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    place(txtRei, 4000, 1035, 3600, 515);

    ud = named(new QSpinBox(m_client), "ud");
    ud->setToolTip(QStringLiteral("[Alt] + 上（下）矢印ｷｰ"));
    ud->setRange(0, 0);
    ud->setKeyboardTracking(false);
    place(ud, 7700, 465, 1200, 330);
    lblud = label("lblud", QStringLiteral("00000"));
    lblud->hide();
    place(lblud, 7700, 835, 600, 330);

    for (int i = 0; i < 8; ++i) {
        const int left = 8950 + (i / 4) * 1650;
        const int top = 465 + (i % 4) * 270;
        QLabel* f =
            named(new QLabel(QString::number(i + 1), m_client), QStringLiteral("lblF_%1").arg(i));
        f->setAlignment(Qt::AlignCenter);
        f->setAutoFillBackground(true);
        f->setFrameShape(QFrame::Box);
        place(f, left, top, 240, 255);
        lblF.append(f);
        QLabel* s = named(new QLabel(m_client), QStringLiteral("lblStock_%1").arg(i));
        s->setFrameShape(QFrame::Panel);
        s->setFrameShadow(QFrame::Sunken);
        place(s, left + 255, top, 1350, 255);
        lblStock.append(s);
    }
    cmdAdd = button("cmdAdd", QStringLiteral("追加 ->"), 7700, 835, 1200);
    cmdAdd->setToolTip(QStringLiteral("追加ﾎﾞﾀﾝ(Ctrl + \"+\")"));
    cmdCL = button("cmdCL", QStringLiteral("消去"), 7700, 1220, 580);
    cmdCL->setToolTip(QStringLiteral("消去ﾎﾞﾀﾝ(Ctrl + \"-\")"));
    cmdAC = button("cmdAC", QStringLiteral("全消去"), 8320, 1220, 580);
    cmdAC->setToolTip(QStringLiteral("全消去ﾎﾞﾀﾝ(Alt + \"-\")"));
}

void TranslatorLForm::createFormatBar() {
    cboFname = named(new QComboBox(m_client), "cboFname");
    place(cboFname, 100, 1700, 3000, 330);
    cboFsize = named(new QComboBox(m_client), "cboFsize");
    cboFsize->setEditable(true);
    place(cboFsize, 3200, 1700, 800, 330);
    ImcboFcolor = named(new QComboBox(m_client), "ImcboFcolor");
    place(ImcboFcolor, 4100, 1700, 1500, 330);
}

void TranslatorLForm::createPanes() {
    const QFont paneFont = designFont(QStringLiteral("ＭＳ Ｐゴシック"), 11);
    Label1 = named(new QLabel(QStringLiteral("<原文>"), m_client), "Label1");
    place(Label1, 180, 2075, 1500, 195);
    Label2 = named(new QLabel(QStringLiteral("<訳文>"), m_client), "Label2");
    place(Label2, 180, 4345, 1500, 195);
    Rtxt1 = named(new RichTextPane(m_client), "Rtxt1");
    Rtxt1->setFont(paneFont);
    Rtxt1->document()->setDefaultFont(paneFont);
    place(Rtxt1, 100, 2280, DesignWidth - 200, 1900);
    Rtxt2 = named(new RichTextPane(m_client), "Rtxt2");
    Rtxt2->setFont(paneFont);
    Rtxt2->document()->setDefaultFont(paneFont);
    place(Rtxt2, 100, 4655, DesignWidth - 200, 3900);

    StBar = named(new QStatusBar(m_client), "StBar");
    StBar->setSizeGripEnabled(false);
    for (int i = 1; i <= 3; ++i) {
        QLabel* panel = named(new QLabel(StBar), QStringLiteral("StBar_Panel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        StBar->addWidget(panel, i == 2 ? 2 : 1);
        StBarPanel.append(panel);
    }
    place(StBar, 0, DesignHeight - 350, DesignWidth, 350);
}

void TranslatorLForm::nameUncaptionedControls() {
    // The word pane's boxes carry no caption on the screen; a screen reader reads these names,
    // the ones the main window shows above the same boxes.
    const struct {
        QWidget* control;
        const char16_t* name;
    } names[] = {{txtInput, u"入力"}, {txtWord, u"単語"},         {txtMean, u"意味"},
                 {txtRei, u"用例"},   {ud, u"単語の位置"},        {cboFname, u"ﾌｫﾝﾄ"},
                 {cboFsize, u"ｻｲｽﾞ"}, {ImcboFcolor, u"文字の色"}, {Rtxt1, u"原文"},
                 {Rtxt2, u"訳文"}};
    for (const auto& n : names)
        n.control->setAccessibleName(QString::fromUtf16(n.name));
}

void TranslatorLForm::setPanelText(int panel, const QString& text) {
    StBarPanel[panel - 1]->setText(text);
}

QString TranslatorLForm::panelText(int panel) const {
    return StBarPanel[panel - 1]->text();
}

void TranslatorLForm::createMenus() {
    mnuFile = named(menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)")), "mnuFile");
    mnuNew =
        action(mnuFile, "mnuNew", QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄの新規作成(&N)..."), ctrl(Qt::Key_N));
    mnuOpen = action(mnuFile, "mnuOpen", QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄを開く(&O)..."), ctrl(Qt::Key_O));
    mnuGetOrgFile = action(mnuFile, "mnuGetOrgFile", QStringLiteral("原文取込み(&L)..."));
    mnuExportTrans = action(mnuFile, "mnuExportTrans", QStringLiteral("訳文を書き出し(&E)..."));
    mnuSave = action(mnuFile, "mnuSave", QStringLiteral("保存(&S)"), ctrl(Qt::Key_S));
    mnuFile->addSeparator();
    mnuPrint = action(mnuFile, "mnuPrint", QStringLiteral("印刷(&P)..."), ctrl(Qt::Key_P));
    mnuFile->addSeparator();
    mnuCmntLoading = action(mnuFile, "mnuCmntLoading", QStringLiteral("注釈ｳｨﾝﾄﾞｳのﾛｰﾄﾞ(&T)"));
    mnuFile->addSeparator();
    mnuExit = action(mnuFile, "mnuExit", QStringLiteral("Verbantaへ戻る(&W)"), ctrl(Qt::Key_W));
    mnuEnd = action(mnuFile, "mnuEnd", QStringLiteral("終了(&X)"), ctrl(Qt::Key_Q));

    mnuEdit = named(menuBar()->addMenu(QStringLiteral("編集(&E)")), "mnuEdit");
    mnuCut = action(mnuEdit, "mnuCut", QStringLiteral("ｶｯﾄ(&T)"), ctrl(Qt::Key_X));
    mnuCopy = action(mnuEdit, "mnuCopy", QStringLiteral("ｺﾋﾟｰ(&C)"), ctrl(Qt::Key_C));
    mnuPaste = action(mnuEdit, "mnuPaste", QStringLiteral("貼付け(&P)"), ctrl(Qt::Key_V));
    mnuEdit->addSeparator();
    mnuSelectAll = action(mnuEdit, "mnuSelectAll", QStringLiteral("全て選択(&A)"), ctrl(Qt::Key_A));
    mnuEdit->addSeparator();
    mnuFind = action(mnuEdit, "mnuFind", QStringLiteral("検索(&F)..."), ctrl(Qt::Key_F));
    // The edit control handles its own clipboard and select-all keys; the menu shows them.
    for (QAction* a : {mnuCut, mnuCopy, mnuPaste, mnuSelectAll})
        a->setShortcutContext(Qt::WidgetShortcut);

    mnuWordPart = named(menuBar()->addMenu(QStringLiteral("単語部(&W)")), "mnuWordPart");
    mnuModify = action(mnuWordPart, "mnuModify", QStringLiteral("修正(&M)"), ctrl(Qt::Key_M));
    mnuDel = action(mnuWordPart, "mnuDel", QStringLiteral("削除(&D)"), ctrl(Qt::Key_D));
    mnuCancel = action(mnuWordPart, "mnuCancel", QStringLiteral("取消(&E)   Esc"));
    mnuDo = action(mnuWordPart, "mnuDo", QStringLiteral("実行(&R)"), ctrl(Qt::Key_R));

    mnuTransPart = named(menuBar()->addMenu(QStringLiteral("翻訳部(&U)")), "mnuTransPart");
    mnuFontSetting =
        action(mnuTransPart, "mnuFontSetting", QStringLiteral("ﾌｫﾝﾄ設定(&F)..."), ctrl(Qt::Key_T));
    mnuTabs = action(mnuTransPart, "mnuTabs", QStringLiteral("ﾀﾌﾞ設定(&T)..."));
    mnuIndent = submenu(mnuTransPart, "mnuIndent", QStringLiteral("ｲﾝﾃﾞﾝﾄ(&I)"));
    mnuIndentDo = action(mnuIndent, "mnuIndentDo", QStringLiteral("適用(&D)"));
    mnuIndentRelease = action(mnuIndent, "mnuIndentRelease", QStringLiteral("解除(&K)"));
    mnuIndentSetting = action(mnuIndent, "mnuIndentSetting", QStringLiteral("値を設定(&J)..."));
    mnuAlignment = submenu(mnuTransPart, "mnuAlignment", QStringLiteral("行揃え(&G)"));
    mnuLeftAlignment = action(mnuAlignment, "mnuLeftAlignment", QStringLiteral("左揃え(&L)"));
    mnuCenterAlignment = action(mnuAlignment, "mnuCenterAlignment", QStringLiteral("中央揃え(&C)"));
    mnuRightAlignment = action(mnuAlignment, "mnuRightAlignment", QStringLiteral("右揃え(&R)"));
    mnuBullet = submenu(mnuTransPart, "mnuBullet", QStringLiteral("ﾌﾞﾚｯﾄ(&B)"));
    mnuBulletDo = action(mnuBullet, "mnuBulletDo", QStringLiteral("適用(&V)"));
    mnuBulletRelease = action(mnuBullet, "mnuBulletRelease", QStringLiteral("解除(&N)"));
    mnuTransPart->addSeparator();
    mnuBunkatu = submenu(mnuTransPart, "mnuBunkatu", QStringLiteral("原文を文単位に分割(&S)"));
    mnuGoBunkatu = action(mnuBunkatu, "mnuGoBunkatu", QStringLiteral("実行(&Y)"), ctrl(Qt::Key_G));
    mnuBunkatuSet = action(mnuBunkatu, "mnuBunkatuSet", QStringLiteral("設定(&M)..."));
    mnuTransPart->addSeparator();
    mnuQuickSearch =
        action(mnuTransPart, "mnuQuickSearch", QStringLiteral("ｸｲｯｸｻｰﾁ(&Q)"), ctrl(Qt::Key_B));
    mnuComment =
        action(mnuTransPart, "mnuComment", QStringLiteral("注釈ｳｨﾝﾄﾞｳ(&E)"), ctrl(Qt::Key_E));
    mnuLayout = action(mnuTransPart, "mnuLayout", QStringLiteral("ﾚｲｱｳﾄ変更(&Z)"));
    mnuTransPart->addSeparator();
    mnuOption = action(mnuTransPart, "mnuOption", QStringLiteral("翻訳部のｵﾌﾟｼｮﾝ(&O)..."));

    mnuHelp = named(menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)")), "mnuHelp");
    mnuHelpOpen = action(mnuHelp, "mnuHelpOpen", QStringLiteral("ﾍﾙﾌﾟを開く(&C)..."),
                         QKeySequence(Qt::Key_F1));
}

void TranslatorLForm::createPopup() {
    popPopup = named(new QMenu(this), "popPopup");
    popPopup->menuAction()->setVisible(false);
    popPopup->setEnabled(false);
    auto separator = [this](int n) {
        QAction* s = popPopup->addSeparator();
        s->setObjectName(QStringLiteral("popSep%1").arg(n));
        popSep.append(s);
        return s;
    };
    popCut = action(popPopup, "popCut", QStringLiteral("ｶｯﾄ"));
    popCopy = action(popPopup, "popCopy", QStringLiteral("ｺﾋﾟｰ"));
    popPaste = action(popPopup, "popPaste", QStringLiteral("貼付け"));
    separator(1);
    popSelectAll = action(popPopup, "popSelectAll", QStringLiteral("全て選択"));
    separator(2);
    popFont = action(popPopup, "popFont", QStringLiteral("ﾌｫﾝﾄ設定..."));
    separator(3);
    popQSrch = action(popPopup, "popQSrch", QStringLiteral("ｸｲｯｸｻｰﾁ"));
    separator(4);
    popShowCmnt = action(popPopup, "popShowCmnt", QStringLiteral("注釈ｳｨﾝﾄﾞｳ表示"));
    popTransOption = action(popPopup, "popTransOption", QStringLiteral("翻訳部ｵﾌﾟｼｮﾝ..."));
    // Shown only while the pop-up is opened for a selection.
    for (QAction* a : {popCut, popCopy, popFont, popSep[2], popQSrch, popSep[3]})
        a->setVisible(false);
}
