// SPDX-License-Identifier: GPL-3.0-or-later
#include "selectfolderform.h"

#include "formparts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using formparts::named;

SelectFolderForm::SelectFolderForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSelectFolder"));
    setWindowTitle(QStringLiteral("使用ﾌﾞｯｸの選択"));
    Label1 = new QLabel(QStringLiteral("使用するﾌﾞｯｸを選択"), this);
    named(Label1, "Label1", {12, 10, 240, 18});
    cboFldName = new QComboBox(this);
    named(cboFldName, "cboFldName", {12, 30, 240, 26});
    Label2 = new QLabel(QStringLiteral("使用する言語ｾｯﾄ"), this);
    named(Label2, "Label2", {12, 64, 240, 18});
    Text1 = new QLineEdit(this);
    Text1->setReadOnly(true);
    named(Text1, "Text1", {12, 84, 240, 26});
    cmdOKFolder = new QPushButton(QStringLiteral("OK"), this);
    named(cmdOKFolder, "cmdOKFolder", {268, 30, 110, 28});
    cmdCancelFolder = new QPushButton(QStringLiteral("キャンセル"), this);
    named(cmdCancelFolder, "cmdCancelFolder", {268, 62, 110, 28});
    cmdAddFolder = new QPushButton(QStringLiteral("新規作成"), this);
    named(cmdAddFolder, "cmdAddFolder", {12, 124, 116, 28});
    cmdDelFolder = new QPushButton(QStringLiteral("ブック削除"), this);
    cmdDelFolder->setToolTip(QStringLiteral("選択されているﾌﾞｯｸを削除"));
    named(cmdDelFolder, "cmdDelFolder", {136, 124, 116, 28});
    cmdModLangSet = new QPushButton(QStringLiteral("言語ｾｯﾄの修正"), this);
    named(cmdModLangSet, "cmdModLangSet", {268, 124, 110, 28});
    cmdOKFolder->setDefault(true);
    setFixedSize(392, 166);
    Label1->setBuddy(cboFldName);
    Label2->setBuddy(Text1);
    formparts::nameForScreenReaders(this);
}
