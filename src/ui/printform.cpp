// SPDX-License-Identifier: GPL-3.0-or-later
#include "printform.h"

#include "formparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>

using formparts::named;

PrintForm::PrintForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("印刷"));
    // Margins and the rule width are whole numbers.
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);

    lblRight = new QLabel(QStringLiteral("右余白"), this);
    named(lblRight, "lblRight", {16, 16, 70, 22});
    Text1 = new QLineEdit(this);
    named(Text1, "Text1", {90, 14, 50, 24});
    lblRightUnit = new QLabel(QStringLiteral("ミリ"), this);
    named(lblRightUnit, "lblRightUnit", {146, 16, 40, 22});
    lblLeft = new QLabel(QStringLiteral("左余白"), this);
    named(lblLeft, "lblLeft", {200, 16, 70, 22});
    Text2 = new QLineEdit(this);
    named(Text2, "Text2", {274, 14, 50, 24});
    lblLeftUnit = new QLabel(QStringLiteral("ミリ"), this);
    named(lblLeftUnit, "lblLeftUnit", {330, 16, 40, 22});
    for (QLineEdit* box : {Text1, Text2}) {
        box->setValidator(digits);
        box->setMaxLength(3);
    }

    lblSpacing = new QLabel(QStringLiteral("単語・意味間の間隔"), this);
    named(lblSpacing, "lblSpacing", {16, 52, 150, 22});
    Combo1 = new QComboBox(this);
    named(Combo1, "Combo1", {170, 50, 100, 24});
    Combo1->addItems({QStringLiteral("狭く"), QStringLiteral("標準"), QStringLiteral("広く")});
    lblGap = new QLabel(QStringLiteral("単語間の改行幅"), this);
    named(lblGap, "lblGap", {16, 84, 150, 22});
    Combo2 = new QComboBox(this);
    named(Combo2, "Combo2", {170, 82, 100, 24});
    Combo2->addItems({QStringLiteral("なし"), QStringLiteral("１行"), QStringLiteral("２行"),
                      QStringLiteral("３行")});

    Check1 = new QCheckBox(QStringLiteral("チェックされた単語のみ印刷"), this);
    named(Check1, "Check1", {16, 118, 330, 22});
    Check2 = new QCheckBox(QStringLiteral("すべての頭文字を印刷する"), this);
    named(Check2, "Check2", {16, 144, 330, 22});
    Check3 = new QCheckBox(QStringLiteral("ヘッダーも印刷する"), this);
    named(Check3, "Check3", {16, 170, 200, 22});
    lblRule = new QLabel(QStringLiteral("ヘッダ線幅"), this);
    named(lblRule, "lblRule", {220, 172, 80, 22});
    Text4 = new QLineEdit(this);
    named(Text4, "Text4", {300, 170, 36, 24});
    Text4->setValidator(digits);
    Text4->setMaxLength(2);
    // An input method would commit full-width digits, which the boxes refuse.
    for (QLineEdit* box : {Text1, Text2, Text4}) {
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
        box->setInputMethodHints(Qt::ImhDigitsOnly);
    }
    ud_3 = new QSpinBox(this);
    named(ud_3, "ud_3", {336, 170, 18, 24});
    ud_3->setRange(0, 99);
    ud_3->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    lblRuleUnit = new QLabel(QStringLiteral("ﾋﾟｸｾﾙ"), this);
    named(lblRuleUnit, "lblRuleUnit", {360, 172, 50, 22});

    fraFont = new QGroupBox(QStringLiteral("印刷ﾌｫﾝﾄ設定"), this);
    named(fraFont, "fraFont", {16, 204, 390, 60});
    cmdFontWord = new QPushButton(QStringLiteral("単語設定"), fraFont);
    named(cmdFontWord, "cmdFontWord", {16, 22, 110, 28});
    cmdFontImi = new QPushButton(QStringLiteral("意味設定"), fraFont);
    named(cmdFontImi, "cmdFontImi", {140, 22, 110, 28});

    cmdPrint = new QPushButton(QStringLiteral("印刷"), this);
    named(cmdPrint, "cmdPrint", {16, 276, 90, 28});
    cmdPreview = new QPushButton(QStringLiteral("ﾌﾟﾚﾋﾞｭｰ"), this);
    named(cmdPreview, "cmdPreview", {112, 276, 90, 28});
    cmdPrintSetup = new QPushButton(QStringLiteral("設定"), this);
    named(cmdPrintSetup, "cmdPrintSetup", {208, 276, 90, 28});
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    named(cmdCancel, "cmdCancel", {316, 276, 90, 28});
    cmdPrint->setDefault(true);
    setFixedSize(422, 318);
    lblRight->setBuddy(Text1);
    lblLeft->setBuddy(Text2);
    lblRule->setBuddy(Text4);
    ud_3->setAccessibleName(lblRule->text());
    formparts::nameForScreenReaders(this);
}
