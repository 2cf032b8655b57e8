// SPDX-License-Identifier: GPL-3.0-or-later
#include "customform.h"

#include "formparts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

using formparts::named;

CustomForm::CustomForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCustom"));
    setWindowTitle(QStringLiteral("属性のカスタマイズ"));
    tabs = new QTabWidget(this);
    named(tabs, QStringLiteral("tabs"), {8, 8, 544, 290});
    auto* boxPage = new QWidget;
    auto* colorPage = new QWidget;
    tabs->addTab(boxPage, QStringLiteral("ボックス"));
    tabs->addTab(colorPage, QStringLiteral("背景色とラベル色"));

    fraBox = new QGroupBox(QStringLiteral("ボックス属性の設定"), boxPage);
    named(fraBox, QStringLiteral("fraBox"), {8, 8, 520, 244});
    const struct {
        const char* name;
        int x;
        int width;
        const char16_t* text;
    } headings[] = {{"lblHeadSample", 96, 190, u"ﾌｫﾝﾄ設定状況"},
                    {"lblHeadFont", 294, 60, u"ﾌｫﾝﾄ"},
                    {"lblHeadColor", 362, 60, u"背景色"},
                    {"lblHeadIme", 430, 80, u"IMEﾓｰﾄﾞ"}};
    for (const auto& h : headings)
        named(new QLabel(QString::fromUtf16(h.text), fraBox), QLatin1String(h.name),
              {h.x, 20, h.width, 20});

    const QStringList modes{
        QStringLiteral("なし"),     QStringLiteral("オン"),     QStringLiteral("オフ"),
        QStringLiteral("使用不可"), QStringLiteral("ひらがな"), QStringLiteral("カタカナ"),
        QStringLiteral("ｶﾀｶﾅ"),     QStringLiteral("全角英数"), QStringLiteral("半角英数")};
    const struct {
        const char16_t* caption;
        const char* sample;
        const char* font;
        const char* color;
        const char* combo;
        QLabel** sampleOut;
        QPushButton** fontOut;
        QPushButton** colorOut;
        QComboBox** comboOut;
    } rows[] = {
        {u"[単語]欄", "lblT1", "cmdText1", "cmdT1Color", "cboT1", &lblT1, &cmdText1, &cmdT1Color,
         &cboT1},
        {u"[意味]/\n[用例]欄", "lblT2", "cmdText2", "cmdT2Color", "cboT2", &lblT2, &cmdText2,
         &cmdT2Color, &cboT2},
        {u"[入力]欄", "lblT3", "cmdText3", "cmdT3Color", "cboT3", &lblT3, &cmdText3, &cmdT3Color,
         &cboT3},
        {u"リスト欄", "lblL1", "cmdList1", "cmdL1Color", "cboL1", &lblL1, &cmdList1, &cmdL1Color,
         &cboL1},
    };
    const QString sampleTexts[] = {QStringLiteral("Word 単語"), QStringLiteral("意味と用例"),
                                   QStringLiteral("入力 input"), QStringLiteral("List リスト")};
    int y = 46;
    int i = 0;
    for (const auto& r : rows) {
        named(new QLabel(QString::fromUtf16(r.caption), fraBox),
              QStringLiteral("lblRow%1").arg(i + 1), {10, y, 80, 40});
        *r.sampleOut = new QLabel(sampleTexts[i], fraBox);
        named(*r.sampleOut, QLatin1String(r.sample), {96, y, 190, 40});
        (*r.sampleOut)->setAutoFillBackground(true);
        (*r.sampleOut)->setFrameShape(QFrame::Panel);
        *r.fontOut = new QPushButton(QStringLiteral("変更"), fraBox);
        named(*r.fontOut, QLatin1String(r.font), {294, y + 6, 60, 28});
        *r.colorOut = new QPushButton(QStringLiteral("変更"), fraBox);
        named(*r.colorOut, QLatin1String(r.color), {362, y + 6, 60, 28});
        *r.comboOut = new QComboBox(fraBox);
        named(*r.comboOut, QLatin1String(r.combo), {430, y + 8, 84, 24});
        (*r.comboOut)->addItems(modes);
        y += 48;
        ++i;
    }

    fraColor = new QGroupBox(QStringLiteral("背景色とラベル色の設定"), colorPage);
    named(fraColor, QStringLiteral("fraColor"), {8, 8, 520, 244});
    const struct {
        const char* back;
        const char16_t* backTip;
        const char* text;
        const char16_t* textTip;
        const char* sample;
        const char16_t* sampleText;
        QPushButton** backOut;
        QPushButton** textOut;
        QLabel** sampleOut;
    } windows[] = {
        {"cmdBColor", u"ﾒｲﾝ画面の背景色を設定", "cmdFColor", u"ﾒｲﾝ画面の各ﾗﾍﾞﾙ文字色を設定",
         "lblSample", u"ﾒｲﾝ画面", &cmdBColor, &cmdFColor, &lblSample},
        {"cmdJEBColor", u"単語当てｳｨﾝﾄﾞｳの背景色設定", "cmdJEFColor",
         u"単語当てｳｨﾝﾄﾞｳのﾗﾍﾞﾙ文字色設定", "lblSampleJE", u"単語当て", &cmdJEBColor, &cmdJEFColor,
         &lblSampleJE},
        {"cmdEJBColor", u"意味当てｳｨﾝﾄﾞｳの背景色設定", "cmdEJFColor",
         u"意味当てｳｨﾝﾄﾞｳのﾗﾍﾞﾙ文字色設定", "lblSampleEJ", u"意味当て", &cmdEJBColor, &cmdEJFColor,
         &lblSampleEJ},
    };
    y = 30;
    for (const auto& w : windows) {
        *w.sampleOut = new QLabel(QString::fromUtf16(w.sampleText), fraColor);
        named(*w.sampleOut, QLatin1String(w.sample), {16, y, 200, 48});
        (*w.sampleOut)->setAutoFillBackground(true);
        (*w.sampleOut)->setAlignment(Qt::AlignCenter);
        (*w.sampleOut)->setFrameShape(QFrame::Panel);
        *w.backOut = new QPushButton(QStringLiteral("背景色"), fraColor);
        named(*w.backOut, QLatin1String(w.back), {232, y + 10, 100, 28});
        (*w.backOut)->setToolTip(QString::fromUtf16(w.backTip));
        *w.textOut = new QPushButton(QStringLiteral("文字色"), fraColor);
        named(*w.textOut, QLatin1String(w.text), {344, y + 10, 100, 28});
        (*w.textOut)->setToolTip(QString::fromUtf16(w.textTip));
        y += 64;
    }

    Command1 = new QPushButton(QStringLiteral("初期値に戻す"), this);
    named(Command1, QStringLiteral("Command1"), {8, 308, 130, 28});
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    named(cmdOK, QStringLiteral("cmdOK"), {344, 308, 100, 28});
    cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    named(cmdCancel, QStringLiteral("cmdCancel"), {452, 308, 100, 28});
    cmdOK->setDefault(true);
    setFixedSize(560, 346);
    formparts::nameForScreenReaders(this);
}
