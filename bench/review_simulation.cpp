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
// program does. It runs at several desired retentions so that it can be compared with SM-2 at
// the same measured retention, over the whole year and over the days after the first fit (the
// first 60 days run on the defaults, which fit this learner badly). Retention is measured the
// same way for both: the share of answers on a later day than the word's last answer that the
// learner recalled; the same-day drills after a miss are counted as answers, not reviews.
//
// Usage: review_simulation [full] [seed]
//   Without "full" a small run (200 words, three retentions) that ends in moments; with it 1,000
//   words and retentions from 80 to 95 %.
#include "core/review/fsrs.h"
#include "core/review/fsrsoptimiser.h"
#include "core/review/fsrsparameters.h"
#include "core/review/scheduler.h"

#include <QDateTime>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

int Words = 200;
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
    double reviewsPerWord = 0;      // answers on a later day than the answer before (no drills)
    double retention = 0;           // share of those recalled
    double laterReviewsPerWord = 0; // the same from the first fit's day on
    double laterRetention = 0;
    double laterPredicted = 0; // FSRS's mean chance of recall for those reviews
    int fits = 0;
    int fitsKept = 0;
    double loss = 0;         // log loss of the whole year's answers under the parameters in use
    double defaultsLoss = 0; // and under the defaults
    double learnerLoss = 0;  // and under the learner's own chances of recall, the least possible
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
    long answers = 0, reviews = 0, recalledReviews = 0, later = 0, recalledLater = 0;
    double predictedLater = 0, learnerLoss = 0;
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
                const double chance = std::clamp(p, 1e-4, 1 - 1e-4);
                learnerLoss -= std::log(recalled ? chance : 1 - chance);
                if (day >= FitAfterDays) {
                    ++later;
                    recalledLater += recalled ? 1 : 0;
                    if (useFsrs)
                        predictedLater += fsrs::retrievability(t, w.s.stability, book.w);
                }
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
    out.learnerLoss = reviews ? learnerLoss / double(reviews) : 0;
    out.laterReviewsPerWord = double(later) / Words;
    out.laterRetention = later ? double(recalledLater) / later : 0;
    out.laterPredicted = later ? predictedLater / later : 0;
    return out;
}

void print(const char* name, const Outcome& o) {
    std::printf("%-14s %7.1f %8.1f %8.1f %% %8.1f %8.1f %%", name, o.answersPerWord,
                o.reviewsPerWord, o.retention * 100, o.laterReviewsPerWord, o.laterRetention * 100);
    if (o.fits)
        std::printf(" %8.1f %%  %d/%d  %.3f (%.3f, %.3f)", o.laterPredicted * 100, o.fitsKept,
                    o.fits, o.loss, o.defaultsLoss, o.learnerLoss);
    std::printf("\n");
}

// FSRS's reviews per word at the measured retention wanted, read off the runs by straight lines
// between the two runs on either side of it; negative when no two runs enclose it.
double reviewsAt(std::vector<std::pair<double, double>> runs, double retention) {
    std::sort(runs.begin(), runs.end());
    for (size_t k = 1; k < runs.size(); ++k) {
        const auto [r0, n0] = runs[k - 1];
        const auto [r1, n1] = runs[k];
        if (r0 <= retention && retention <= r1 && r1 > r0)
            return n0 + (n1 - n0) * (retention - r0) / (r1 - r0);
    }
    return -1;
}

void compare(const char* span, double sm2Reviews, double sm2Retention,
             const std::vector<std::pair<double, double>>& runs) {
    const double n = reviewsAt(runs, sm2Retention);
    if (n < 0)
        std::printf("%s: no two FSRS runs enclose SM-2's retention of %.1f %%\n", span,
                    sm2Retention * 100);
    else
        std::printf("%s: at SM-2's retention of %.1f %%, FSRS %.2f reviews/word against SM-2's "
                    "%.2f (%+.1f %%)\n",
                    span, sm2Retention * 100, n, sm2Reviews, (n / sm2Reviews - 1) * 100);
}

} // namespace

int main(int argc, char** argv) {
    // Arguments other than "full" and a seed (such as the benchmark runner's options) are ignored.
    bool full = false;
    unsigned seed = 1;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "full")
            full = true;
        else if (!arg.empty() && std::isdigit(static_cast<unsigned char>(arg[0])))
            seed = unsigned(std::strtoul(argv[k], nullptr, 10));
    }
    Words = full ? 1000 : 200;
    std::printf("%d words over %d days, %d new a day, seed %u; FSRS fitted from day %d\n", Words,
                Days, NewPerDay, seed, FitAfterDays);
    std::printf("%-14s %7s %8s %10s %8s %10s %10s  %s\n", "", "answers", "reviews", "retention",
                "reviews", "retention", "predicted",
                "fits kept/made, log loss (defaults, learner's own)");
    std::printf("%-14s %7s %8s %10s %8s %10s %10s\n", "", "/word", "/word", "year", "/word",
                "day 60+", "day 60+");
    const Outcome sm2Run = run(false, 0, seed);
    print("SM-2", sm2Run);
    std::vector<double> targets;
    if (full)
        for (int r = 80; r <= 95; ++r)
            targets.push_back(r / 100.0);
    else
        targets = {0.85, 0.90, 0.95};
    std::vector<std::pair<double, double>> year, later;
    for (double r : targets) {
        const Outcome f = run(true, r, seed);
        char name[64];
        std::snprintf(name, sizeof name, "FSRS at %.0f %%", r * 100);
        print(name, f);
        year.emplace_back(f.retention, f.reviewsPerWord);
        later.emplace_back(f.laterRetention, f.laterReviewsPerWord);
    }
    compare("Whole year", sm2Run.reviewsPerWord, sm2Run.retention, year);
    compare("From day 60", sm2Run.laterReviewsPerWord, sm2Run.laterRetention, later);
    return 0;
}
