// SPDX-License-Identifier: GPL-3.0-or-later
#include "plansetform.h"

#include "core/richtext/twips.h"
#include "formparts.h"
#include "twipslayout.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using twipslayout::placed;

PlanSetForm::PlanSetForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPlanSet"));
    setWindowTitle(QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄの設定"));
    Label1 = placed(new QLabel(QStringLiteral("これから使用するﾌﾟﾛｼﾞｪｸﾄ名を選択して下さい"), this),
                    "Label1", 240, 180, 4800, 300);
    Combo1 = placed(new QComboBox(this), "Combo1", 240, 540, 4800, 360);
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    cmdOK = placed(new QPushButton(QStringLiteral("OK"), this), "cmdOK", 240, 1140, 1100, 400);
    cmdCancel =
        placed(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this), "cmdCancel", 1440, 1140, 1100, 400);
    cmdDelete = placed(new QPushButton(QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄを削除"), this), "cmdDelete", 240,
                       1680, 2300, 400);
    cmdNew = placed(new QPushButton(QStringLiteral("新規ﾌﾟﾛｼﾞｪｸﾄを作成"), this), "cmdNew", 2740,
                    1680, 2300, 400);
    for (QPushButton* b : {cmdCancel, cmdDelete, cmdNew})
        b->setAutoDefault(false);
    cmdOK->setDefault(true);
    setFixedSize(twips::toPixels(5300), twips::toPixels(2350));
    Label1->setBuddy(Combo1);
    formparts::nameForScreenReaders(this);
}
