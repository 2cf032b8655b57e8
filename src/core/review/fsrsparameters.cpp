// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/fsrsparameters.h"

#include "core/files/atomicfile.h"
#include "core/review/linefields.h"

#include <QFile>
#include <cmath>

namespace {

const QByteArray Header = "VerbantaFsrs\t1";

std::optional<fsrs::Parameters> parameters(QByteArrayView text) {
    const QList<QByteArray> parts = text.toByteArray().split(' ');
    if (parts.size() != fsrs::ParameterCount)
        return std::nullopt;
    fsrs::Parameters w{};
    for (int k = 0; k < fsrs::ParameterCount; ++k) {
        bool ok = false;
        const double v = parts[k].toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < fsrs::lowerBounds()[size_t(k)] ||
            v > fsrs::upperBounds()[size_t(k)])
            return std::nullopt;
        w[size_t(k)] = v;
    }
    return w;
}

} // namespace

BookSchedule BookSchedule::read(const QString& bookFolder, ReadResult* result) {
    BookSchedule s;
    auto report = [&](ReadResult r, BookSchedule value) {
        if (result)
            *result = r;
        return value;
    };
    QFile file(bookFolder + u'/' + FileName);
    if (!file.exists())
        return report(ReadResult::Absent, s);
    const BookSchedule damaged;
    if (!file.open(QIODevice::ReadOnly))
        return report(ReadResult::Damaged, damaged);
    const QList<QByteArray> lines = file.read(64 * 1024).split('\n');
    if (lines.size() < 2 || lines.front() != Header || !lines.back().isEmpty())
        return report(ReadResult::Damaged, damaged);
    bool method = false, weights = false;
    for (qsizetype k = 1; k + 1 < lines.size(); ++k) {
        QByteArrayView f[2];
        if (!linefields::split(lines[k], f, 2))
            return report(ReadResult::Damaged, damaged);
        if (f[0] == "method" && (f[1] == "fsrs" || f[1] == "sm2")) {
            s.method = f[1] == "fsrs" ? ScheduleMethod::Fsrs : ScheduleMethod::Sm2;
            method = true;
        } else if (f[0] == "w") {
            const auto w = parameters(f[1]);
            if (!w)
                return report(ReadResult::Damaged, damaged);
            s.w = *w;
            weights = true;
        } else if (f[0] == "fitted") {
            s.fittedOn = QDate::fromString(QString::fromLatin1(f[1]), Qt::ISODate);
            if (!f[1].isEmpty() && !s.fittedOn.isValid())
                return report(ReadResult::Damaged, damaged);
        } else if (f[0] == "answers") {
            const auto n = linefields::integer(f[1]);
            if (!n || *n < 0)
                return report(ReadResult::Damaged, damaged);
            s.answersAtFit = *n;
        } else {
            return report(ReadResult::Damaged, damaged);
        }
    }
    if (!method || !weights)
        return report(ReadResult::Damaged, damaged);
    return report(ReadResult::Read, s);
}

void BookSchedule::write(const QString& bookFolder) const {
    QByteArray out = Header + '\n';
    out += "method\t" + QByteArray(method == ScheduleMethod::Fsrs ? "fsrs" : "sm2") + '\n';
    out += "w\t";
    for (int k = 0; k < fsrs::ParameterCount; ++k) {
        if (k > 0)
            out += ' ';
        out += QByteArray::number(w[size_t(k)], 'g', 17);
    }
    out += '\n';
    out += "fitted\t" + fittedOn.toString(Qt::ISODate).toLatin1() + '\n';
    out += "answers\t" + QByteArray::number(answersAtFit) + '\n';
    writeFileAtomically(bookFolder + u'/' + FileName, out);
}

bool BookSchedule::fitDue(QDate today, qint64 answers) const {
    const bool monthPassed = !fittedOn.isValid() || fittedOn.addMonths(1) <= today;
    return monthPassed && answers - answersAtFit >= MinimumNewAnswers;
}
