#include "translatorstandin.h"

#include <QLabel>
#include <QMenuBar>

TranslatorStandIn::TranslatorStandIn(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmTranslatorL"));
    setWindowTitle(QStringLiteral("Dualscribe"));
    QMenu* file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    mnuReturn = file->addAction(QStringLiteral("Verbantaへ戻る(&W)"));
    mnuReturn->setObjectName(QStringLiteral("mnuReturn"));
    mnuExit = file->addAction(QStringLiteral("終了(&X)"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    auto* note = new QLabel(QStringLiteral("Dualscribe"), this);
    note->setAlignment(Qt::AlignCenter);
    setCentralWidget(note);
    resize(640, 480);
    connect(mnuReturn, &QAction::triggered, this, &TranslatorStandIn::returnRequested);
    connect(mnuExit, &QAction::triggered, this, &TranslatorStandIn::exitRequested);
}
