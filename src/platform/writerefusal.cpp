// SPDX-License-Identifier: GPL-3.0-or-later
#include "writerefusal.h"

#include "dialogservice.h"

bool isWriteRefusal(const RuntimeFailure& failure) {
    switch (failure.number()) {
    case failure::DiskFull:
    case failure::PermissionDenied:
    case failure::DeviceIo:
    case failure::PathFileAccess:
        return true;
    default:
        return false;
    }
}

void reportWriteRefusal(const QString& what, const RuntimeFailure& failure) {
    showMessage(what + QStringLiteral("できませんでした。\r\n") + failure.description() +
                    QStringLiteral("\r\nﾌｧｲﾙは変更前のままです。ﾃﾞｨｽｸの空きを確保するなどしてから、"
                                   "もう一度実行して下さい。"),
                QStringLiteral("書き込みｴﾗｰ"), MessageButtons::Ok, MessageIcon::Exclamation);
}
