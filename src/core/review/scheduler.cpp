// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/scheduler.h"

#include <algorithm>

namespace sm2 {

int quality(Grade grade) {
    switch (grade) {
    case Grade::Again:
        return 1;
    case Grade::Hard:
        return 3;
    case Grade::Good:
        return 4;
    case Grade::Easy:
        return 5;
    }
    return 1;
}

Schedule answer(Schedule s, Grade grade, QDate today) {
    const int q = quality(grade);
    if (q < 3) {
        if (s.repetitions > 0)
            ++s.lapses;
        s.repetitions = 0;
        s.intervalDays = 1;
    } else {
        const int miss = 5 - q;
        s.easeMillis = std::max(MinimumEaseMillis, s.easeMillis + 100 - miss * (80 + miss * 20));
        if (s.repetitions == 0)
            s.intervalDays = 1;
        else if (s.repetitions == 1)
            s.intervalDays = 6;
        else
            s.intervalDays = int((qint64(s.intervalDays) * s.easeMillis + 999) / 1000);
        ++s.repetitions;
    }
    s.due = today.addDays(s.intervalDays);
    return s;
}

bool isDrill(const Schedule& s, int lastGrade, QDate today) {
    // A word answered below "good" is due a day or more later, so an answer before that day is
    // the drill. Past midnight a word missed the evening before is due, and its answer counts.
    return lastGrade > 0 && lastGrade < int(Grade::Good) && s.due.isValid() && today < s.due;
}

} // namespace sm2
