// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/cancellingdialogs.h"

#include <QTemporaryDir>

// Gives every question one fixed answer and every other box OK, and cancels every common dialog,
// so the timed operations of the window benchmarks run straight through.
class AnsweringDialogs : public CancellingDialogs {
public:
    explicit AnsweringDialogs(Answer toQuestions) : m_toQuestions(toQuestions) {}

    Answer message(const MessageRequest& request) override;

private:
    Answer m_toQuestions;
};

// An application folder (made current through VERBANTA_HOME) whose current book "bench" is the
// generated book of n words in a folder of its own: its files hard-linked when the benchmark only
// reads them, copied when it writes.
struct BenchHome {
    QTemporaryDir dir;
    BenchHome(int n, bool copy);

    // Makes this folder the session's, with the default display settings and its current book
    // in use, as the start-up leaves it before the editor opens.
    void becomeSession() const;
};
