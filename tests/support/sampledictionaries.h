// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/testdictionaries.h"
#include "ui/meaningsuggestions.h"

#include <QListWidget>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// The sample dictionaries and an index cache of a test's own, with the program pointed at them
// and the run's memory of what it read forgotten before and after.
struct SampleDictionaries {
    QTemporaryDir dictionaries;
    QTemporaryDir cache;
    TestDictionaries dict{dictionaries.path()};
    DictionaryEnvironment environment{dictionaries.path(), cache.path()};

    SampleDictionaries() {
        MeaningSuggestions::resetRun();
        dict.writeSample();
    }
    ~SampleDictionaries() { MeaningSuggestions::resetRun(); }
    // An EDICT with enough entries that its index is still being built when a window goes, and
    // "mouse" among them.
    void writeSlowEdict() const {
        QStringList lines;
        for (int i = 0; i < 40000; ++i)
            lines << QStringLiteral("語%1 [ご] /(n) word%1/").arg(i);
        lines << QStringLiteral("鼠 [ねずみ] /(n) (uk) mouse/(P)/");
        dict.writeEdict(lines);
    }
    SampleDictionaries(const SampleDictionaries&) = delete;
    SampleDictionaries& operator=(const SampleDictionaries&) = delete;
};

// The texts of the suggestion list, top to bottom.
inline QStringList itemTexts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Waits for the first index build or open to fill the list.
inline bool waitForSuggestions(const QListWidget* list) {
    return QTest::qWaitFor([list] { return list->count() > 0; }, 60000);
}
