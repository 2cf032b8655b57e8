// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbertext.h"

#include "core/files/failure.h"

#include <QLocale>
#include <cmath>

namespace numbertext {

QString signReserving(qint64 value) {
    return value < 0 ? QString::number(value) : u' ' + QString::number(value);
}

qint16 toInt16(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || trimmed.isEmpty() || std::isnan(value) || std::isinf(value))
        throw RuntimeFailure(failure::TypeMismatch, text);
    const double rounded = std::nearbyint(value); // default rounding mode: half to even
    if (rounded < -32768.0 || rounded > 32767.0)
        throw RuntimeFailure(failure::Overflow, text);
    return static_cast<qint16>(rounded);
}

} // namespace numbertext
