// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The inline scan of answerlog.h: the progress charts read every line of a large log, so the line
// is taken apart in place without building words.
#include <cstring>

namespace answerlog {

template <typename Visit> int scanTimesAndGrades(const QByteArray& bytes, Visit&& visit) {
    int damaged = 0;
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    while (p < end) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        if (!eol)
            break; // a torn last line
        qint64 time = 0;
        const char* q = p;
        bool ok = q < eol && *q >= '0' && *q <= '9';
        while (q < eol && *q >= '0' && *q <= '9')
            time = time * 10 + (*q++ - '0');
        ok = ok && q < eol && *q == '\t';
        if (ok) {
            ++q;
            while (q < eol && *q != '\t')
                ++q;
            ok = q + 2 < eol && q[2] == '\t' && q[1] >= '1' && q[1] <= '4';
        }
        if (ok)
            visit(time, Grade(q[1] - '0'));
        else
            ++damaged;
        p = eol + 1;
    }
    return damaged;
}

} // namespace answerlog
