// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabsform.h"

#include "formparts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TabsForm::TabsForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTabs"));
    setWindowTitle(QStringLiteral("タブの設定"));
    const QString captions[] = {QStringLiteral("１番目"), QStringLiteral("2番目"),
                                QStringLiteral("3番目"), QStringLiteral("4番目")};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(captions[i], this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        label->setGeometry(20 + i * 90, 16, 80, 20);
        Label1.append(label);
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Text1_%1").arg(i));
        box->setGeometry(20 + i * 90, 38, 70, 24);
        box->setAlignment(Qt::AlignRight);
        Text1.append(box);
    }
    Label2 = new QLabel(QStringLiteral("文書ｳｨﾝﾄﾞｳの先頭からの距離を整数で指定します。　（例）４＝"
                                       "10pointの大きさの文字で約４文字分に相当。　（ここでの設定"
                                       "はすべてのｳｨﾝﾄﾞｳで共通となります）"),
                        this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setGeometry(20, 72, 350, 64);
    cmdOKSave = new QPushButton(QStringLiteral("設定を保存"), this);
    cmdOKSave->setObjectName(QStringLiteral("cmdOKSave"));
    cmdOKSave->setGeometry(170, 146, 100, 30);
    cmdOKSave->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(278, 146, 92, 30);
    setFixedSize(390, 188);
    for (int i = 0; i < Text1.size(); ++i)
        Label1[i]->setBuddy(Text1[i]);
    formparts::nameForScreenReaders(this);
}
