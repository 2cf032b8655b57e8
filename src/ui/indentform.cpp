// SPDX-License-Identifier: GPL-3.0-or-later
#include "indentform.h"

#include "formparts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

IndentForm::IndentForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmIndent"));
    setWindowTitle(QStringLiteral("ｲﾝﾃﾞﾝﾄ値の設定"));
    Label2 = new QLabel(QStringLiteral("ｲﾝﾃﾞﾝﾄの設定値"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(20, 18, 120, 22);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(144, 16, 70, 24);
    Text1->setAlignment(Qt::AlignRight);
    Label1 = new QLabel(QStringLiteral("文書の左側の余白を設定します。ｲﾝﾃﾞﾝﾄ値を整数で指定してくだ"
                                       "さい。実際にｲﾝﾃﾞﾝﾄの設定／解除を適用するにはﾒﾆｭｰの設定あ"
                                       "るいは解除を選んで行います。"),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setGeometry(20, 50, 300, 70);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(228, 14, 92, 30);
    Command1->setDefault(true);
    setFixedSize(340, 132);
    Label2->setBuddy(Text1);
    formparts::nameForScreenReaders(this);
}
