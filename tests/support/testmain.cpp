// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/bookmanifest.h"

#include <QApplication>
#include <gtest/gtest.h>

// Every test program runs with a QApplication on the offscreen platform, so widget tests need no
// display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Tests never read the dictionaries installed on the machine unless they say so.
    if (!qEnvironmentVariableIsSet("VERBANTA_DICTIONARIES"))
        qputenv("VERBANTA_DICTIONARIES", "/nonexistent/verbanta-test-dictionaries");
    // A mixed book is reported at once rather than after seconds of waiting for a sync.
    bookmanifest::setWait(nullptr);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
