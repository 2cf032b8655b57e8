// SPDX-License-Identifier: GPL-3.0-or-later
#include "trsplashform.h"

#include "core/richtext/twips.h"
#include "formparts.h"
#include "twipslayout.h"

#include <QLabel>
#include <QProgressBar>

TrSplashForm::TrSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmTrSplash"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPointSize(11);
    Label1->setFont(f);
    Label1->setAlignment(Qt::AlignCenter);
    twipslayout::place(Label1, 240, 240, 4320, 360);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    twipslayout::place(ProgressBar1, 240, 780, 4320, 300);
    ProgressBar1->hide();
    setFixedSize(twips::toPixels(4800), twips::toPixels(1320));
    formparts::nameForScreenReaders(this);
}
