// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/answerlog.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/review/linefields.h"

#include <QDateTime>
#include <QFile>

namespace answerlog {

QByteArray line(const LoggedAnswer& a) {
    QByteArray out = QByteArray::number(a.time) + '\t' + QByteArray::number(a.recordNo) + '\t' +
                     QByteArray::number(int(a.grade)) + '\t' + QByteArray::number(a.seconds) + '\t';
    linefields::appendEscaped(out, a.word);
    out += '\n';
    return out;
}

qint64 append(const QString& path, const LoggedAnswer& answer) {
    return linefields::appendLines(path, line(answer));
}

Parsed parse(const QByteArray& bytes, qsizetype offset) {
    Parsed parsed;
    qsizetype start = std::clamp<qsizetype>(offset, 0, bytes.size());
    while (start < bytes.size()) {
        const qsizetype eol = bytes.indexOf('\n', start);
        if (eol < 0)
            break;
        const QByteArrayView text(bytes.constData() + start, eol - start);
        start = eol + 1;
        QByteArrayView f[5];
        if (!linefields::split(text, f, 5)) {
            ++parsed.damagedLines;
            continue;
        }
        const auto time = linefields::integer(f[0]);
        const auto recordNo = linefields::integer(f[1]);
        const auto grade = linefields::integer(f[2]);
        const auto seconds = linefields::integer(f[3]);
        const auto word = linefields::unescaped(f[4]);
        if (!time || !recordNo || !grade || *grade < 1 || *grade > 4 || !seconds || !word) {
            ++parsed.damagedLines;
            continue;
        }
        parsed.answers.push_back(
            {*time, *word, qint32(*recordNo), Grade(int(*grade)), int(*seconds)});
    }
    return parsed;
}

QDate LocalDays::dayOf(qint64 time) {
    if (m_lastFrom <= time && time < m_last.to)
        return m_last.day;
    const auto it = m_days.upper_bound(time);
    if (it != m_days.cbegin() && time < std::prev(it)->second.to) {
        m_lastFrom = std::prev(it)->first;
        m_last = std::prev(it)->second;
        return m_last.day;
    }
    const QDate day = QDateTime::fromSecsSinceEpoch(time).date();
    const qint64 from = day.startOfDay().toSecsSinceEpoch();
    const qint64 to = day.addDays(1).startOfDay().toSecsSinceEpoch();
    // A day the zone cannot bound is not kept.
    if (from <= time && time < to) {
        m_days.insert_or_assign(from, Day{to, day});
        m_lastFrom = from;
        m_last = {to, day};
    }
    return day;
}

QByteArray read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace answerlog
