// SPDX-License-Identifier: GPL-3.0-or-later
#include "trysettingform.h"

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

TrySettingForm::TrySettingForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTrySetting"));
    setWindowTitle(QStringLiteral("ﾄﾗｲﾒﾆｭｰの設定"));

    lblScopeCaption = new QLabel(QStringLiteral("出題範囲"), this);
    named(lblScopeCaption, "lblScopeCaption", {16, 16, 80, 22});
    lblScope = new QLabel(this);
    named(lblScope, "lblScope", {100, 16, 60, 22});
    lblScope->setAlignment(Qt::AlignCenter);
    lblScope->setFrameShape(QFrame::Panel);
    lblScope->setFrameShadow(QFrame::Sunken);
    lblScopeTail = new QLabel(QStringLiteral("の頭文字"), this);
    named(lblScopeTail, "lblScopeTail", {166, 16, 80, 22});

    lblStyleCaption = new QLabel(QStringLiteral("出題形式"), this);
    named(lblStyleCaption, "lblStyleCaption", {16, 52, 80, 22});
    Combo1 = new QComboBox(this);
    named(Combo1, "Combo1", {100, 50, 150, 24});

    Frame1 = new QGroupBox(this);
    named(Frame1, "Frame1", {16, 86, 330, 110});
    chkCount = new QCheckBox(QStringLiteral("出題数を指定"), Frame1);
    named(chkCount, "chkCount", {12, 10, 150, 22});
    lblCountCaption = new QLabel(QStringLiteral("出題数"), Frame1);
    named(lblCountCaption, "lblCountCaption", {12, 42, 60, 22});
    txtCount = new QLineEdit(Frame1);
    named(txtCount, "txtCount", {76, 40, 80, 24});
    // Digits only. The program writes the number with the leading space of its number style, so
    // one space may stand before them.
    txtCount->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral(" ?[0-9]*")), txtCount));
    txtCount->setMaxLength(7);
    // An input method would commit full-width digits, which the box refuses.
    txtCount->setAttribute(Qt::WA_InputMethodEnabled, false);
    txtCount->setInputMethodHints(Qt::ImhDigitsOnly);
    Ud1 = new QSpinBox(Frame1);
    named(Ud1, "Ud1", {156, 40, 18, 24});
    Ud1->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    lblCount = new QLabel(Frame1);
    named(lblCount, "lblCount", {186, 42, 120, 22});
    chkWord = new QCheckBox(QStringLiteral("ﾁｪｯｸされた単語のみを出題する"), Frame1);
    named(chkWord, "chkWord", {12, 76, 300, 22});

    cmdJtoE = new QPushButton(QStringLiteral("意味→単語"), this);
    named(cmdJtoE, "cmdJtoE", {16, 210, 104, 30});
    cmdEtoJ = new QPushButton(QStringLiteral("単語→意味"), this);
    named(cmdEtoJ, "cmdEtoJ", {130, 210, 104, 30});
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    named(cmdCancel, "cmdCancel", {256, 210, 90, 30});
    for (QPushButton* b : {cmdJtoE, cmdEtoJ, cmdCancel})
        b->setAutoDefault(false);
    setFixedSize(362, 256);
    lblStyleCaption->setBuddy(Combo1);
    lblCountCaption->setBuddy(txtCount);
    Ud1->setAccessibleName(lblCountCaption->text());
    formparts::nameForScreenReaders(this);
}
