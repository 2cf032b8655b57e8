// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/errorguard.h"

// Replaces the process terminator while it lives and counts the calls, so a test can see that a
// terminating handler ended the program without the test process ending.
class TerminatorSpy {
public:
    TerminatorSpy() {
        setTerminator([this] { ++m_calls; });
    }
    ~TerminatorSpy() {
        setTerminator([] { std::_Exit(1); });
    }
    int calls() const { return m_calls; }

private:
    int m_calls = 0;
};
