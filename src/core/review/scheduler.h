// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>

// The four answers of a review, numbered as their buttons and keys are.
enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// What the scheduler knows of one word.
// The members are ordered so that no padding falls between them: a large book holds one per word.
struct Schedule {
    QDate due;             // invalid: never reviewed
    int repetitions = 0;   // correct answers in a row since the word was new or last forgotten
    int intervalDays = 0;  // days until the next review, 0 before the first
    int easeMillis = 2500; // the ease factor times 1000
    int lapses = 0;        // times forgotten after it had been learnt
    // The memory FSRS keeps of the word; 0 while SM-2 schedules it or before its first answer.
    double stability = 0;  // days until the chance of recall falls to 90 %
    double difficulty = 0; // 1 to 10
};

// The ways a book's review can be scheduled.
enum class ScheduleMethod { Sm2, Fsrs };

// The SuperMemo 2 algorithm as P. A. Wozniak published it in 1990 ("Optimization of learning",
// chapter 3.2, and the description "SuperMemo 2: Algorithm" on supermemo.com), with its published
// constants: a new word starts at E-Factor 2.5; after a correct answer the interval is 1 day,
// then 6 days, then the previous interval times the E-Factor, rounded up to whole days; every
// answer of quality q moves the E-Factor by 0.1 - (5 - q) * (0.08 + (5 - q) * 0.02), never below
// 1.3; an answer below quality 3 starts the repetitions again from the first interval and leaves
// the E-Factor as it was. The buttons map to qualities Again 1, Hard 3, Good 4, Easy 5. The new
// E-Factor is applied before the interval is worked out, and the E-Factor is kept in thousandths
// so that the same answers always give the same days.
//
// Words answered below quality 4 are asked again in the same session until they are answered
// "good" or "easy". Those drills are no repetitions: they change neither the E-Factor nor the
// interval, so the answers after a miss can never leave a word easier than it was before it.
namespace sm2 {

inline constexpr int InitialEaseMillis = 2500;
inline constexpr int MinimumEaseMillis = 1300;

int quality(Grade grade);
// The schedule after answering with grade on the day today.
Schedule answer(Schedule s, Grade grade, QDate today);
// True when an answer on the day today is the drill of a word whose last answer (lastGrade, 0 for
// none) was below "good": the word is not due yet, so the answer is no repetition.
bool isDrill(const Schedule& s, int lastGrade, QDate today);

} // namespace sm2
