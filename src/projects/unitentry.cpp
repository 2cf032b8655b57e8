// SPDX-License-Identifier: GPL-3.0-or-later
#include "unitentry.h"

#include <QRegularExpression>
#include <cmath>

namespace unitentry {

std::optional<int> toTwips(const QString& text) {
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]{1,9}$"));
    // The input method may give full-width digits and signs.
    const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (!wholeNumber.match(plain).hasMatch())
        return std::nullopt;
    const int units = plain.toInt();
    if (units < -MaxUnits || units > MaxUnits)
        return std::nullopt;
    return units * TwipsPerUnit;
}

QString fromTwips(int twips) {
    return QString::number(static_cast<int>(std::nearbyint(twips / double(TwipsPerUnit))));
}

QString refusal(const QString& label) {
    return (label.isEmpty() ? QString() : label + QStringLiteral("の値は")) +
           QStringLiteral("%1 から %2 までの整数で指定して下さい。").arg(-MaxUnits).arg(MaxUnits);
}

} // namespace unitentry
