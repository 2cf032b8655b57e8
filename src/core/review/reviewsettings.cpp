// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/reviewsettings.h"

#include "core/files/atomicfile.h"
#include "core/review/linefields.h"
#include "core/settings/additionsettings.h"

#include <QByteArrayList>

using additionsettings::readFlag;

ReviewSettings ReviewSettings::read(const QString& folder) {
    ReviewSettings s;
    for (const QByteArray& line : additionsettings::read(folder, FileName).split('\n')) {
        QByteArrayView f[2];
        if (!linefields::split(line, f, 2))
            continue;
        if (f[0] == "enabled")
            readFlag(f[1], s.enabled);
        else if (f[0] == "meaningToWord")
            readFlag(f[1], s.meaningToWord);
        else if (f[0] == "checkAfterThreeFails")
            readFlag(f[1], s.checkAfterThreeFails);
        else if (f[0] == "newPerDay") {
            if (const auto n = linefields::integer(f[1]); n && *n >= 0 && *n <= 9999)
                s.newPerDay = int(*n);
        } else if (f[0] == "retention") {
            if (const auto n = linefields::integer(f[1]); n && *n >= 70 && *n <= 97)
                s.retentionPercent = int(*n);
        }
    }
    return s;
}

void ReviewSettings::write(const QString& folder) const {
    QByteArray out;
    out += "enabled\t" + QByteArray(enabled ? "1" : "0") + '\n';
    out += "newPerDay\t" + QByteArray::number(newPerDay) + '\n';
    out += "meaningToWord\t" + QByteArray(meaningToWord ? "1" : "0") + '\n';
    out += "checkAfterThreeFails\t" + QByteArray(checkAfterThreeFails ? "1" : "0") + '\n';
    out += "retention\t" + QByteArray::number(retentionPercent) + '\n';
    writeFileAtomically(folder + u'/' + FileName, out);
}
