// SPDX-License-Identifier: GPL-3.0-or-later
#include "bunkatuform.h"

#include "formparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using formparts::named;

BunkatuForm::BunkatuForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBunkatu"));
    setWindowTitle(QStringLiteral("「文単位（ﾌﾞﾛｯｸ）に分割」 設定"));
    Check1 = new QCheckBox(QStringLiteral("各ﾌﾞﾛｯｸに見出し用の連番をつける"), this);
    named(Check1, QStringLiteral("Check1"), {14, 10, 380, 22});

    Frame1 = new QGroupBox(QStringLiteral("連番の前後に付ける飾り（ 各省略可/ \"\"は不要）"), this);
    named(Frame1, QStringLiteral("Frame1"), {14, 38, 380, 62});
    Label2 = new QLabel(QStringLiteral("番号の前"), Frame1);
    named(Label2, QStringLiteral("Label2"), {10, 28, 60, 22});
    Text1 = new QLineEdit(Frame1);
    named(Text1, QStringLiteral("Text1"), {70, 26, 110, 24});
    Label3 = new QLabel(QStringLiteral("番号の後"), Frame1);
    named(Label3, QStringLiteral("Label3"), {194, 28, 60, 22});
    Text2 = new QLineEdit(Frame1);
    named(Text2, QStringLiteral("Text2"), {254, 26, 110, 24});

    Label4 =
        new QLabel(QStringLiteral("● 文の区切りを識別する文字/記号 ( 左詰め/ \"\"は不要）"), this);
    named(Label4, QStringLiteral("Label4"), {14, 112, 380, 22});
    Text3 = new QLineEdit(this);
    named(Text3, QStringLiteral("Text3"), {30, 136, 150, 24});
    Label1 = new QLabel(QStringLiteral("初期値 = \" .!?\""), this);
    named(Label1, QStringLiteral("Label1"), {194, 138, 200, 22});

    Label5 = new QLabel(QStringLiteral("● ブロック間の間隔 （行間）"), this);
    named(Label5, QStringLiteral("Label5"), {14, 172, 380, 22});
    Combo1 = new QComboBox(this);
    named(Combo1, QStringLiteral("Combo1"), {30, 196, 150, 24});
    Combo1->addItems({QStringLiteral("1行"), QStringLiteral("2行"), QStringLiteral("3行")});
    Label6 = new QLabel(QStringLiteral("初期値 = 2行"), this);
    named(Label6, QStringLiteral("Label6"), {194, 198, 200, 22});

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    named(cmdOK, QStringLiteral("cmdOK"), {184, 238, 100, 28});
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    named(cmdCancel, QStringLiteral("cmdCancel"), {294, 238, 100, 28});
    cmdOK->setDefault(true);
    setFixedSize(408, 278);
    Label4->setBuddy(Text3);
    formparts::nameForScreenReaders(this);
}
