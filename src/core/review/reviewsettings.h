// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The user's choices for reviews, kept in a file of their own in the application folder. With
// enabled false the word book shows nothing of the review.
struct ReviewSettings {
    inline static const QString FileName = QStringLiteral("ReviewSet.vtd");

    bool enabled = true;
    int newPerDay = 20;                // words never reviewed that a day's review takes in
    bool meaningToWord = false;        // ask the word for its meaning instead of the meaning
    bool checkAfterThreeFails = false; // a word answered "again" three times in a row is checked
    int retentionPercent = 90;         // the chance of recall FSRS plans each interval for

    // The settings in folder; the defaults for what is missing or unreadable, never an error.
    static ReviewSettings read(const QString& folder);
    // Rewrites the file atomically; raises RuntimeFailure when it cannot.
    void write(const QString& folder) const;
};
