// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/review/answerlog.h"
#include "core/review/fsrs.h"

#include <functional>
#include <vector>

// Fits the FSRS parameters to a learner's own answers: the chance of recall the model gives each
// answer given the answers before it is compared with what the learner did, and the parameters are
// moved to make the log of those chances as likely as possible (as the reference optimiser does:
// stochastic gradient descent with Adam over the answers, after fitting the first stabilities on
// their own). One word in five is held out of the fit, and the old and the new parameters are
// scored on those words, so the new ones are kept only when they predict answers they never saw
// better.
namespace fsrs {

// Every word's answers in order, as whole days after the answer before.
struct Histories {
    struct Step {
        int elapsedDays; // -1 for a word's first answer
        Grade grade;
    };
    std::vector<Step> steps;
    std::vector<size_t> starts; // word k's steps are steps[starts[k] .. starts[k + 1])
    size_t words() const { return starts.empty() ? 0 : starts.size() - 1; }
};
// The histories of the log's answers, grouped by word; days are local days.
Histories historiesOf(const std::vector<LoggedAnswer>& answers);

struct FitScore {
    double logLoss = 0; // mean negative log-likelihood of the answers given the model's chances
    double rmse = 0;    // root mean square of predicted against measured recall, over 20 bins of
                        // the prediction, weighted by answers
    int answers = 0;    // answers scored (those on a later day than the answer before)
};

// Scores parameters on every word k for which pick(k) holds (all words without pick).
FitScore score(const Histories& h, const Parameters& w,
               const std::function<bool(size_t)>& pick = {});

struct FitOptions {
    int epochs = 5;
    bool fitFirstStabilities = true;
    // Called now and then with the work done and the whole; returning false stops the fit.
    std::function<bool(int done, int total)> progress;
};

struct FitReport {
    Parameters fitted{};
    FitScore before; // the current parameters on the held-out words
    FitScore after;  // the fitted ones on the same words
    bool better = false;
    bool cancelled = false;
    int trainingAnswers = 0;
};

// True for the words held out of the fit.
bool heldOut(size_t word);
// Fits from the defaults on the words not held out and scores current and fitted on the others.
FitReport optimise(const Histories& h, const Parameters& current, const FitOptions& options = {});

} // namespace fsrs
