// SPDX-License-Identifier: GPL-3.0-or-later
#include "langsetform.h"

#include "formparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

LangSetForm::LangSetForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmLangSet"));
    setWindowTitle(QStringLiteral("言語ｾｯﾄの設定"));
    Label1 = new QLabel(QStringLiteral("現在の言語ｾｯﾄ名"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(12, 10, 140, 20);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setGeometry(156, 8, 240, 26);
    Frame1 = new QGroupBox(
        QStringLiteral("各番号の左側のﾁｪｯｸを外すとﾊﾟﾚｯﾄのﾎﾞﾀﾝを使用不可に出来ます"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(12, 42, 560, 446);
    for (int i = 0; i < 26; ++i) {
        const int x = 8 + (i / 13) * 276;
        // Rows tall enough for the default palette font (14 points); larger fonts are drawn
        // smaller.
        const int y = 22 + (i % 13) * 32;
        auto* check = new QCheckBox(Frame1);
        check->setObjectName(QStringLiteral("Check1_%1").arg(i));
        check->setGeometry(x, y + 5, 20, 20);
        auto* row = new QLabel(QStringLiteral("%1番目").arg(i + 1), Frame1);
        row->setObjectName(QStringLiteral("lblRow_%1").arg(i));
        row->setGeometry(x + 22, y, 52, 30);
        auto* start = new QLineEdit(Frame1);
        start->setObjectName(QStringLiteral("Text1_%1").arg(i));
        start->setGeometry(x + 76, y, 80, 30);
        auto* tilde = new QLabel(QStringLiteral("～"), Frame1);
        tilde->setObjectName(QStringLiteral("lblTilde_%1").arg(i));
        tilde->setGeometry(x + 160, y, 18, 30);
        auto* end = new QLineEdit(Frame1);
        end->setObjectName(QStringLiteral("Text2_%1").arg(i));
        end->setGeometry(x + 180, y, 80, 30);
        Check1.append(check);
        lblRow.append(row);
        Text1.append(start);
        lblTilde.append(tilde);
        Text2.append(end);
    }
    auto button = [this](const char* name, const QString& caption, int y) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(584, y, 150, 30);
        return b;
    };
    cmdNewSet = button("cmdNewSet", QStringLiteral("新規ｾｯﾄ作成"), 48);
    cmdSave = button("cmdSave", QStringLiteral("現在の設定を保存"), 84);
    cmdFontSet = button("cmdFontSet", QStringLiteral("ﾌｫﾝﾄ変更"), 140);
    cmdFontDefault = button("cmdFontDefault", QStringLiteral("ﾌｫﾝﾄを初期値に戻す"), 176);
    cmdExit = button("cmdExit", QStringLiteral("閉じる"), 456);
    setFixedSize(746, 500);
    Label1->setBuddy(Combo1);
    formparts::nameForScreenReaders(this);
}
