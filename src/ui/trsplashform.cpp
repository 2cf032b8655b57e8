#include "trsplashform.h"

#include "core/twips.h"

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
    Label1->setGeometry(twips::toPixels(240), twips::toPixels(240), twips::toPixels(4320),
                        twips::toPixels(360));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(twips::toPixels(240), twips::toPixels(780), twips::toPixels(4320),
                              twips::toPixels(300));
    ProgressBar1->hide();
    setFixedSize(twips::toPixels(4800), twips::toPixels(1320));
}
