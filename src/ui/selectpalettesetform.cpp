// SPDX-License-Identifier: GPL-3.0-or-later
#include "selectpalettesetform.h"

#include "formparts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using formparts::named;

SelectPaletteSetForm::SelectPaletteSetForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSelectPaletteSet"));
    setWindowTitle(QStringLiteral("新規ﾌﾞｯｸの作成"));
    Frame1 = new QGroupBox(QStringLiteral("1"), this);
    named(Frame1, "Frame1", {10, 8, 460, 70});
    Label1 = new QLabel(QStringLiteral("新規作成するﾌﾞｯｸ名を入力して下さい。"), Frame1);
    named(Label1, "Label1", {10, 18, 440, 18});
    Text1 = new QLineEdit(Frame1);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(11);
    Text1->setFont(font);
    named(Text1, "Text1", {10, 38, 300, 26});
    Frame2 = new QGroupBox(QStringLiteral("2"), this);
    named(Frame2, "Frame2", {10, 84, 460, 76});
    Label2 = new QLabel(
        QStringLiteral("作成したﾌﾞｯｸで使用するｲﾆｼｬﾙﾊﾟﾚｯﾄ用言語ｾｯﾄを選択して下さい。"), Frame2);
    named(Label2, "Label2", {10, 18, 440, 18});
    Combo1 = new QComboBox(Frame2);
    named(Combo1, "Combo1", {10, 40, 300, 26});
    cmdSettei = new QPushButton(QStringLiteral(" 設定"), Frame2);
    named(cmdSettei, "cmdSettei", {320, 40, 90, 26});
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    named(cmdOK, "cmdOK", {270, 170, 96, 28});
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    named(cmdCancel, "cmdCancel", {374, 170, 96, 28});
    cmdOK->setDefault(true);
    setFixedSize(480, 210);
    formparts::nameForScreenReaders(this);
}
