// SPDX-License-Identifier: GPL-3.0-or-later
#include "appicon.h"

#include <QGuiApplication>
#include <QIcon>

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {48, 256})
        icon.addFile(QStringLiteral(":/icons/org.verbanta.Verbanta-%1.png").arg(size),
                     QSize(size, size));
    return icon;
}

void installApplicationIcon() {
    QGuiApplication::setWindowIcon(applicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral(VERBANTA_APP_ID));
}
