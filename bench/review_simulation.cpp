// SPDX-License-Identifier: GPL-3.0-or-later
// A year of reviews by a simulated learner, scheduled by SM-2 and by FSRS, to compare how many
// reviews each asks for and how much the learner remembers.
//
// The learner's memory is not FSRS's model: each word has a difficulty drawn at random, recall
// falls exponentially, p = exp(-t / h) with a half-life-like h per word, a recall lengthens h the
// more the lower p was and the easier the word, and a lapse cuts h to a fraction. The learner
// takes 20 new words a day until 1,000 are begun, answers every due word each day, and drills a
// missed word the same day until it is answered "good", as the review window does.
//
// FSRS starts with its published defaults, is fitted to the log after 60 days and then once a
// month when a thousand answers have come in, keeping a fit only when it predicts better, as the
// program does. It runs at several desired retentions so that one can be compared with SM-2 at
// the same measured retention.
//
// Usage: review_simulation [seed]
#include "core/review/fsrs.h"
#include "core/review/fsrsoptimiser.h"
#include "core/review/fsrsparameters.h"
#include "core/review/scheduler.h"

#include <QDateTime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int Words = 1000;
constexpr int Days = 365;
constexpr int NewPerDay = 20;
constexpr int FitAfterDays = 60;
const QDate Start(2026, 1, 5);

struct LearnerWord {
    double easiness; // 0.4 .. 2.5, drawn at random
    double h = 0;    // days; recall after t days is exp(-t / h)
    int lastDay = -1;
};

struct Outcome {
    double answersPerWord = 0;
    double reviewsPerWord = 0; // answers on a later day than the answer before (no drills)
    double retention = 0;      // share of those recalled
    int fits = 0;
    int fitsKept = 0;
    double loss = 0;         // log loss of the whole year's answers under the parameters in use
    double defaultsLoss = 0; // and under the defaults
};

struct Learner {
    std::vector<LearnerWord> words;
    std::mt19937 random;
    explicit Learner(unsigned seed) : random(seed) {
        std::lognormal_distribution<double> easiness(0.0, 0.5);
        for (int k = 0; k < Words; ++k)
            words.push_back({std::clamp(easiness(random), 0.4, 2.5)});
    }
    // Whether the word is recalled today, and how its memory changes by the review.
    bool review(LearnerWord& w, int day) {
        std::uniform_real_distribution<double> u(0, 1);
        if (w.lastDay < 0) {
            w.h = 15.0 * w.easiness;
            w.lastDay = day;
            return false; // a new word is learnt from the answer shown
        }
        const int t = day - w.lastDay;
        const double p = t == 0 ? 1.0 : std::exp(-t / w.h);
        const bool recalled = u(random) < p;
        if (t > 0) {
            if (recalled)
                w.h *= 1.5 + 6.0 * w.easiness * std::pow(1 - p, 0.8);
            else
                w.h = std::max(1.0, w.h * 0.4);
        }
        w.lastDay = day;
        return recalled;
    }
    Grade grade(bool recalled, double p) {
        std::uniform_real_distribution<double> u(0, 1);
        if (!recalled)
            return Grade::Again;
        if (p < 0.5 && u(random) < 0.5)
            return Grade::Hard;
        if (p > 0.97 && u(random) < 0.3)
            return Grade::Easy;
        return Grade::Good;
    }
};

struct WordState {
    Schedule s;
    int lastGrade = 0;
    int lastDay = -1;
    bool begun = false;
};

Outcome run(bool useFsrs, double retention, unsigned seed) {
    Learner learner(seed);
    std::vector<WordState> state(Words);
    std::vector<LoggedAnswer> log;
    BookSchedule book;
    Outcome out;
    long answers = 0, reviews = 0, recalledReviews = 0;
    int begun = 0;
    for (int day = 0; day < Days; ++day) {
        const QDate today = Start.addDays(day);
        if (useFsrs && day >= FitAfterDays && book.fitDue(today, qint64(log.size()))) {
            const fsrs::FitReport fit = fsrs::optimise(fsrs::historiesOf(log), book.w);
            ++out.fits;
            if (fit.better) {
                ++out.fitsKept;
                book.w = fit.fitted;
            }
            book.fittedOn = today;
            book.answersAtFit = qint64(log.size());
        }
        std::vector<int> queue;
        for (int k = 0; k < Words; ++k)
            if (state[size_t(k)].begun && state[size_t(k)].s.due <= today)
                queue.push_back(k);
        for (int n = 0; n < NewPerDay && begun < Words; ++n)
            queue.push_back(begun++);
        const qint64 time = QDateTime(today, QTime(9, 0)).toSecsSinceEpoch();
        for (size_t q = 0; q < queue.size(); ++q) {
            const int k = queue[q];
            WordState& w = state[size_t(k)];
            LearnerWord& lw = learner.words[size_t(k)];
            const int t = lw.lastDay < 0 ? 0 : day - lw.lastDay;
            const double p = lw.lastDay < 0 || t == 0 ? 1.0 : std::exp(-t / lw.h);
            const bool fresh = lw.lastDay < 0;
            const bool recalled = learner.review(lw, day);
            const Grade g = fresh ? Grade::Good : learner.grade(recalled, p);
            ++answers;
            if (!fresh && t > 0) {
                ++reviews;
                recalledReviews += recalled ? 1 : 0;
            }
            log.push_back({time, QStringLiteral("w%1").arg(k), k + 1, g, 3});
            const int elapsed = w.lastDay < 0 ? 0 : day - w.lastDay;
            if (useFsrs)
                w.s = fsrs::answer(w.s, g, elapsed, today, book.w, retention);
            else if (!sm2::isDrill(w.s, w.lastGrade, today))
                w.s = sm2::answer(w.s, g, today);
            w.lastGrade = int(g);
            w.lastDay = day;
            w.begun = true;
            // Missed or hard: asked again before the day's review ends.
            if (g == Grade::Again || g == Grade::Hard)
                queue.push_back(k);
        }
    }
    if (useFsrs) {
        const fsrs::Histories h = fsrs::historiesOf(log);
        out.loss = fsrs::score(h, book.w).logLoss;
        out.defaultsLoss = fsrs::score(h, fsrs::defaults()).logLoss;
    }
    out.answersPerWord = double(answers) / Words;
    out.reviewsPerWord = double(reviews) / Words;
    out.retention = reviews ? double(recalledReviews) / reviews : 0;
    return out;
}

void print(const char* name, const Outcome& o) {
    std::printf("%-22s answers/word %6.1f  reviews/word %6.1f  retention %5.1f %%", name,
                o.answersPerWord, o.reviewsPerWord, o.retention * 100);
    if (o.fits)
        std::printf("  fits %d, kept %d, log loss %.3f (defaults %.3f)", o.fits, o.fitsKept, o.loss,
                    o.defaultsLoss);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    const unsigned seed = argc > 1 ? unsigned(std::strtoul(argv[1], nullptr, 10)) : 1;
    std::printf("%d words over %d days, %d new a day, seed %u\n", Words, Days, NewPerDay, seed);
    const Outcome sm2Run = run(false, 0, seed);
    print("SM-2", sm2Run);
    for (double r : {0.80, 0.85, 0.90, 0.93, 0.95}) {
        const Outcome f = run(true, r, seed);
        char name[64];
        std::snprintf(name, sizeof name, "FSRS at %.0f %%", r * 100);
        print(name, f);
        std::printf("%-22s reviews %+.1f %% against SM-2, retention %+.1f points\n", "",
                    (f.reviewsPerWord / sm2Run.reviewsPerWord - 1) * 100,
                    (f.retention - sm2Run.retention) * 100);
    }
    return 0;
}
