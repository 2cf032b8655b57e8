// SPDX-License-Identifier: GPL-3.0-or-later
#include "splashform.h"

#include "formparts.h"

#include <QLabel>
#include <QStyle>

SplashForm::SplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    auto label = [this](const char* name, const QString& text, int points, QRect geometry) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        QFont f(QStringLiteral("Arial Narrow"));
        f.setPointSize(points);
        l->setFont(f);
        l->setGeometry(geometry);
        return l;
    };
    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(48, 48));
    imgLogo->setGeometry(20, 24, 56, 56);
    lblProductName = label("lblProductName", QStringLiteral("Verbanta"), 28, {92, 16, 300, 44});
    Label1 = label("Label1", QStringLiteral("Verbanta"), 10, {92, 60, 300, 18});
    Label2 = label("Label2", QStringLiteral("A word book with its own translation utility"), 10,
                   {20, 96, 380, 18});
    lblVersion = label("lblVersion", QStringLiteral("Ver.1.4"), 10, {320, 122, 80, 18});
    lblNotice1 =
        label("lblNotice1", QStringLiteral("単語はあなたのﾌｫﾙﾀﾞの普通のﾌｧｲﾙに保存されます。"), 8,
              {20, 150, 380, 16});
    lblNotice2 = label("lblNotice2", QStringLiteral("起動中です。しばらくお待ち下さい。"), 8,
                       {20, 168, 380, 16});
    setFixedSize(420, 196);
    formparts::nameForScreenReaders(this);
}
