// SPDX-License-Identifier: GPL-3.0-or-later
#include "versionform.h"

#include "formparts.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

VersionForm::VersionForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmVersion"));
    setWindowTitle(QStringLiteral("Verbantaﾊﾞｰｼﾞｮﾝ情報"));
    auto label = [this](const char* name, const QString& text, const QString& family, int points,
                        QRect geometry) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        QFont f(family);
        f.setPointSize(points);
        l->setFont(f);
        l->setGeometry(geometry);
        return l;
    };
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_FileDialogInfoView).pixmap(32, 32));
    Image1->setGeometry(16, 16, 40, 40);
    Label1 =
        label("Label1", QStringLiteral("Verbanta"), QStringLiteral("Arial"), 18, {70, 12, 260, 30});
    Label2 =
        label("Label2", QStringLiteral("Ver.1.4"), QStringLiteral("Arial"), 11, {70, 44, 260, 20});
    Label3 = label("Label3", QStringLiteral("翻訳ｴﾃﾞｨﾀの付いた単語帳です。"),
                   QStringLiteral("Times New Roman"), 10, {16, 76, 320, 18});
    // The licence the program is given under, as every copy must say.
    Label4 = label("Label4", QStringLiteral("GNU GPL 第3版以降で配布される無保証のｿﾌﾄｳｪｱです。"),
                   QStringLiteral("Times New Roman"), 10, {16, 96, 320, 18});
    Label5 = label("Label5", QStringLiteral("不具合はｴﾗｰ表示の内容をすべて添えてお知らせ下さい。"),
                   QStringLiteral("Times New Roman"), 10, {16, 116, 320, 18});
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(250, 146, 86, 28);
    Command1->setDefault(true);
    setFixedSize(352, 186);
    formparts::nameForScreenReaders(this);
}
