// SPDX-License-Identifier: GPL-3.0-or-later
#include "inportform.h"

#include "formparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using formparts::named;

InportForm::InportForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmInport"));
    setWindowTitle(QStringLiteral("外部ﾃﾞｰﾀ処理"));
    tabs = new QTabWidget(this);
    named(tabs, "SSTab1", {8, 8, 464, 262});
    auto* importPage = new QWidget;
    importPage->setObjectName(QStringLiteral("pageImport"));
    auto* exportPage = new QWidget;
    exportPage->setObjectName(QStringLiteral("pageExport"));
    tabs->addTab(importPage, QStringLiteral("ﾃﾞｰﾀ取込み"));
    tabs->addTab(exportPage, QStringLiteral("ﾃﾞｰﾀ書出し"));

    lblBooks = new QLabel(QStringLiteral("ﾃﾞｰﾀの受け側"), importPage);
    named(lblBooks, "lblBooks", {10, 12, 200, 20});
    cboBooks = new QComboBox(importPage);
    named(cboBooks, "cboBooks", {10, 34, 300, 26});
    lblSource = new QLabel(QStringLiteral("ﾃﾞｰﾀの送り側"), importPage);
    named(lblSource, "lblSource", {10, 74, 200, 20});
    lblSourceBook = new QLabel(importPage);
    named(lblSourceBook, "lblSourceBook", {10, 96, 300, 24});
    lblSourceBook->setFrameShape(QFrame::Panel);
    lblSourceBook->setFrameShadow(QFrame::Sunken);
    cmdRead = new QPushButton(QStringLiteral("選択"), importPage);
    named(cmdRead, "cmdRead", {318, 94, 60, 28});
    cmdReadCsv = new QPushButton(QStringLiteral("CSV選択"), importPage);
    named(cmdReadCsv, "cmdReadCsv", {384, 94, 68, 28});
    cmdInport = new QPushButton(QStringLiteral("ﾃﾞｰﾀ取込み"), importPage);
    named(cmdInport, "cmdInport", {10, 180, 140, 30});

    lblExSourceCaption = new QLabel(QStringLiteral("書出し元（現在のﾌﾞｯｸ）"), exportPage);
    named(lblExSourceCaption, "lblExSourceCaption", {10, 12, 200, 20});
    lblExSource = new QLabel(exportPage);
    named(lblExSource, "lblExSource", {10, 34, 300, 24});
    lblExSource->setFrameShape(QFrame::Panel);
    lblExSource->setFrameShadow(QFrame::Sunken);
    fraFormat = new QGroupBox(QStringLiteral("書出し形式の指定"), exportPage);
    named(fraFormat, "fraFormat", {10, 64, 300, 56});
    Combo1 = new QComboBox(fraFormat);
    named(Combo1, "Combo1", {10, 22, 280, 26});
    cmdRead2 = new QPushButton(QStringLiteral("書出し先ﾌﾞｯｸを選択"), exportPage);
    named(cmdRead2, "cmdRead2", {318, 84, 134, 30});
    chkWord = new QCheckBox(QStringLiteral("ﾁｪｯｸ語のみを書出し"), exportPage);
    named(chkWord, "chkWord", {10, 126, 240, 22});
    lblCRLF = new QLabel(
        QStringLiteral("「意味」「用例」ﾃﾞｰﾀ内の改行部分に挿入する文字を指定してください"),
        exportPage);
    named(lblCRLF, "lblCRLF", {10, 150, 440, 20});
    txtCRLF = new QLineEdit(exportPage);
    named(txtCRLF, "txtCRLF", {10, 172, 120, 24});
    cmdExport = new QPushButton(QStringLiteral("ﾃﾞｰﾀ書出し"), exportPage);
    named(cmdExport, "cmdExport", {312, 190, 140, 30});

    lblSourcePath = new QLabel(this);
    named(lblSourcePath, "lblSourcePath", {8, 278, 360, 22});
    cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    named(cmdClose, "cmdClose", {376, 276, 96, 28});
    setFixedSize(480, 312);
    lblBooks->setBuddy(cboBooks);
    lblCRLF->setBuddy(txtCRLF);
    formparts::nameForScreenReaders(this);
}
