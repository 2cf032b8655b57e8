// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/fsrsoptimiser.h"

#include <QDateTime>
#include <QHash>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>

// A number carrying its derivatives by every parameter, so one pass over the answers gives the
// loss and its gradient exactly.
namespace fsrs::fit {

struct Dual {
    double v = 0;
    std::array<double, ParameterCount> d{};
    Dual() = default;
    Dual(double x) : v(x) {} // NOLINT(google-explicit-constructor): a constant has no derivatives
};

inline double value(const Dual& x) {
    return x.v;
}

// f(x) from its value v and its slope f'(x).
inline Dual mapped(const Dual& x, double v, double slope) {
    Dual r(v);
    for (int k = 0; k < ParameterCount; ++k)
        r.d[size_t(k)] = slope * x.d[size_t(k)];
    return r;
}

inline Dual operator+(const Dual& a, const Dual& b) {
    Dual r(a.v + b.v);
    for (int k = 0; k < ParameterCount; ++k)
        r.d[size_t(k)] = a.d[size_t(k)] + b.d[size_t(k)];
    return r;
}
inline Dual operator-(const Dual& a, const Dual& b) {
    Dual r(a.v - b.v);
    for (int k = 0; k < ParameterCount; ++k)
        r.d[size_t(k)] = a.d[size_t(k)] - b.d[size_t(k)];
    return r;
}
inline Dual operator*(const Dual& a, const Dual& b) {
    Dual r(a.v * b.v);
    for (int k = 0; k < ParameterCount; ++k)
        r.d[size_t(k)] = a.d[size_t(k)] * b.v + a.v * b.d[size_t(k)];
    return r;
}
inline Dual operator/(const Dual& a, const Dual& b) {
    Dual r(a.v / b.v);
    for (int k = 0; k < ParameterCount; ++k)
        r.d[size_t(k)] = (a.d[size_t(k)] * b.v - a.v * b.d[size_t(k)]) / (b.v * b.v);
    return r;
}
inline Dual operator+(const Dual& a, double b) {
    Dual r = a;
    r.v += b;
    return r;
}
inline Dual operator+(double a, const Dual& b) {
    return b + a;
}
inline Dual operator-(const Dual& a, double b) {
    return a + -b;
}
inline Dual operator-(double a, const Dual& b) {
    Dual r(a - b.v);
    for (int k = 0; k < ParameterCount; ++k)
        r.d[size_t(k)] = -b.d[size_t(k)];
    return r;
}
inline Dual operator*(const Dual& a, double b) {
    Dual r(a.v * b);
    for (int k = 0; k < ParameterCount; ++k)
        r.d[size_t(k)] = a.d[size_t(k)] * b;
    return r;
}
inline Dual operator*(double a, const Dual& b) {
    return b * a;
}
inline Dual operator/(const Dual& a, double b) {
    return a * (1.0 / b);
}
inline Dual operator/(double a, const Dual& b) {
    return Dual(a) / b;
}
inline Dual exp(const Dual& x) {
    const double e = std::exp(x.v);
    return mapped(x, e, e);
}
inline Dual log(const Dual& x) {
    return mapped(x, std::log(x.v), 1.0 / x.v);
}

} // namespace fsrs::fit

#include "core/review/fsrsmodel.h"

namespace fsrs {

namespace {

using fit::Dual;

constexpr double Epsilon = 1e-4;

double clampedChance(double r) {
    return std::clamp(r, Epsilon, 1 - Epsilon);
}

// Walks one word's answers, calling visit(r, recalled) for each answer on a later day than the
// one before it with the chance of recall the model gave it.
template <typename T, typename W, typename Visit>
void walk(const Histories& h, size_t word, const W& w, Visit&& visit) {
    const size_t begin = h.starts[word], end = h.starts[word + 1];
    if (begin == end)
        return;
    const int g0 = int(h.steps[begin].grade);
    T s = model::initialStability<T>(g0, w);
    T d = model::clampTo(T(model::initialDifficulty<T>(g0, w)), 1.0, 10.0);
    for (size_t k = begin + 1; k < end; ++k) {
        const Histories::Step& step = h.steps[k];
        const int g = int(step.grade);
        if (step.elapsedDays <= 0) {
            s = model::shortTermStability(s, g, w);
        } else {
            const T r = model::retrievability(double(step.elapsedDays), s, w);
            visit(r, g > 1);
            s = model::longTermStability(s, d, r, g, w);
        }
        d = model::nextDifficulty(d, g, w);
    }
}

// The first stabilities fitted on their own: for each first grade, the stability that best
// predicts the second answers of words answered once on their first day.
void fitFirstStabilities(const Histories& h, const std::vector<size_t>& words, Parameters& w) {
    std::array<std::vector<std::pair<int, bool>>, 4> seen;
    for (size_t word : words) {
        const size_t begin = h.starts[word], end = h.starts[word + 1];
        if (end - begin >= 2 && h.steps[begin + 1].elapsedDays > 0)
            seen[size_t(int(h.steps[begin].grade) - 1)].emplace_back(
                h.steps[begin + 1].elapsedDays, int(h.steps[begin + 1].grade) > 1);
    }
    for (int g = 0; g < 4; ++g) {
        if (seen[size_t(g)].size() < 20)
            continue;
        auto loss = [&](double logS) {
            double sum = 0;
            for (const auto& [days, recalled] : seen[size_t(g)]) {
                const double r = clampedChance(retrievability(days, std::exp(logS), w));
                sum -= recalled ? std::log(r) : std::log(1 - r);
            }
            return sum;
        };
        // Golden-section search over the logarithm of the stability.
        double a = std::log(lowerBounds()[size_t(g)]), b = std::log(upperBounds()[size_t(g)]);
        const double ratio = (std::sqrt(5.0) - 1) / 2;
        double c = b - ratio * (b - a), e = a + ratio * (b - a);
        double fc = loss(c), fe = loss(e);
        for (int i = 0; i < 60; ++i) {
            if (fc < fe) {
                b = e, e = c, fe = fc;
                c = b - ratio * (b - a), fc = loss(c);
            } else {
                a = c, c = e, fc = fe;
                e = a + ratio * (b - a), fe = loss(e);
            }
        }
        w[size_t(g)] = std::exp((a + b) / 2);
    }
    // A better first answer never leaves a word less stable.
    for (int g = 1; g < 4; ++g)
        w[size_t(g)] = std::max(w[size_t(g)], w[size_t(g - 1)]);
}

} // namespace

Histories historiesOf(const std::vector<LoggedAnswer>& answers) {
    QHash<QString, std::vector<std::pair<qint64, Grade>>> byWord;
    std::vector<QString> order;
    answerlog::LocalDays days;
    for (const LoggedAnswer& a : answers) {
        auto it = byWord.find(a.word);
        if (it == byWord.end()) {
            order.push_back(a.word);
            it = byWord.insert(a.word, {});
        }
        it->emplace_back(days.dayOf(a.time).toJulianDay(), a.grade);
    }
    Histories h;
    h.steps.reserve(answers.size());
    h.starts.reserve(order.size() + 1);
    for (const QString& word : order) {
        h.starts.push_back(h.steps.size());
        auto& answersOfWord = byWord[word];
        std::stable_sort(answersOfWord.begin(), answersOfWord.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        qint64 last = 0;
        bool firstAnswer = true;
        for (const auto& [day, grade] : answersOfWord) {
            h.steps.push_back({firstAnswer ? -1 : int(day - last), grade});
            last = day;
            firstAnswer = false;
        }
    }
    h.starts.push_back(h.steps.size());
    return h;
}

bool heldOut(size_t word) {
    return word % 5 == 4;
}

FitScore score(const Histories& h, const Parameters& w, const std::function<bool(size_t)>& pick) {
    constexpr int Bins = 20;
    std::array<double, Bins> predicted{}, measured{}, count{};
    FitScore result;
    double loss = 0;
    for (size_t word = 0; word < h.words(); ++word) {
        if (pick && !pick(word))
            continue;
        walk<double>(h, word, w, [&](double r, bool recalled) {
            const double p = clampedChance(r);
            loss -= recalled ? std::log(p) : std::log(1 - p);
            const int bin = std::min(Bins - 1, int(p * Bins));
            predicted[size_t(bin)] += p;
            measured[size_t(bin)] += recalled ? 1 : 0;
            count[size_t(bin)] += 1;
            ++result.answers;
        });
    }
    if (result.answers == 0)
        return result;
    result.logLoss = loss / result.answers;
    double squares = 0;
    for (int b = 0; b < Bins; ++b)
        if (count[size_t(b)] > 0) {
            const double gap = (predicted[size_t(b)] - measured[size_t(b)]) / count[size_t(b)];
            squares += gap * gap * count[size_t(b)];
        }
    result.rmse = std::sqrt(squares / result.answers);
    return result;
}

FitReport optimise(const Histories& h, const Parameters& current, const FitOptions& options) {
    FitReport report;
    std::vector<size_t> training;
    for (size_t word = 0; word < h.words(); ++word)
        if (!heldOut(word))
            training.push_back(word);
    Parameters w = defaults();
    if (options.fitFirstStabilities)
        fitFirstStabilities(h, training, w);

    // Batches of about 512 scored answers, as the reference optimiser takes them.
    constexpr int BatchAnswers = 512;
    std::mt19937 random(2023);
    const int epochs = std::max(0, options.epochs);
    std::array<double, ParameterCount> m{}, v{};
    int step = 0;
    size_t trainingSteps = 0;
    for (size_t word : training)
        trainingSteps += h.starts[word + 1] - h.starts[word];
    report.trainingAnswers = int(trainingSteps);
    const int totalSteps = std::max<int>(1, int(epochs * (trainingSteps / BatchAnswers + 1)));
    constexpr double Rate = 4e-2, Beta1 = 0.9, Beta2 = 0.999;
    for (int epoch = 0; epoch < epochs; ++epoch) {
        std::shuffle(training.begin(), training.end(), random);
        size_t next = 0;
        while (next < training.size()) {
            std::array<Dual, ParameterCount> dw;
            for (int k = 0; k < ParameterCount; ++k) {
                dw[size_t(k)] = Dual(w[size_t(k)]);
                dw[size_t(k)].d[size_t(k)] = 1;
            }
            std::array<double, ParameterCount> gradient{};
            int scored = 0;
            while (next < training.size() && scored < BatchAnswers) {
                walk<Dual>(h, training[next++], dw, [&](const Dual& r, bool recalled) {
                    const double p = clampedChance(r.v);
                    // d(-log p)/dp or d(-log(1 - p))/dp, times dp/dw.
                    const double slope = recalled ? -1 / p : 1 / (1 - p);
                    for (int k = 0; k < ParameterCount; ++k)
                        gradient[size_t(k)] += slope * r.d[size_t(k)];
                    ++scored;
                });
            }
            if (scored == 0)
                continue;
            ++step;
            // Cosine annealing of the rate over the whole fit.
            const double rate = Rate * 0.5 * (1 + std::cos(std::numbers::pi * step / totalSteps));
            for (int k = 0; k < ParameterCount; ++k) {
                const double g = gradient[size_t(k)] / scored;
                m[size_t(k)] = Beta1 * m[size_t(k)] + (1 - Beta1) * g;
                v[size_t(k)] = Beta2 * v[size_t(k)] + (1 - Beta2) * g * g;
                const double mh = m[size_t(k)] / (1 - std::pow(Beta1, step));
                const double vh = v[size_t(k)] / (1 - std::pow(Beta2, step));
                w[size_t(k)] = std::clamp(w[size_t(k)] - rate * mh / (std::sqrt(vh) + 1e-8),
                                          lowerBounds()[size_t(k)], upperBounds()[size_t(k)]);
            }
            if (options.progress && step % 16 == 0 && !options.progress(step, totalSteps)) {
                report.cancelled = true;
                report.fitted = current;
                return report;
            }
        }
    }
    report.fitted = w;
    report.before = score(h, current, heldOut);
    report.after = score(h, w, heldOut);
    report.better = report.after.answers > 0 && report.after.logLoss < report.before.logLoss;
    if (options.progress)
        options.progress(totalSteps, totalSteps);
    return report;
}

} // namespace fsrs
