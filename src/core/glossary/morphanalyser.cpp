// SPDX-License-Identifier: GPL-3.0-or-later
#include "morphanalyser.h"

#include <algorithm>

namespace morphology {

QString dictionaryForm(const MorphAnalyser& analyser, QStringView text) {
    const std::vector<Morpheme> words = analyser.analyse(text, false);
    if (words.empty() || words.front().start != 0 || words.back().end != text.size())
        return {};
    // The inflection's tail is what follows the last word that carries the meaning.
    size_t head = words.size();
    while (head > 1 && words[head - 1].continuesInflection())
        --head;
    const Morpheme& last = words[head - 1];
    if (last.kind != Morpheme::Kind::Content || last.baseForm.isEmpty())
        return {};
    // The words before it make a compound with it (勉強|し -> 勉強する); a particle between them
    // means a phrase, not one word.
    for (size_t i = 0; i + 1 < head; ++i)
        if (words[i].kind != Morpheme::Kind::Content)
            return {};
    const QString form = text.left(last.start).toString() + last.baseForm;
    return form == text ? QString() : form;
}

QString toHiragana(QStringView katakana) {
    QString out = katakana.toString();
    for (QChar& c : out)
        if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6)
            c = QChar(c.unicode() - 0x60);
    return out;
}

QString readingOf(const MorphAnalyser& analyser, QStringView text) {
    QString reading;
    for (const Morpheme& m : analyser.analyse(text, true)) {
        if (m.reading.isEmpty())
            return {};
        reading += m.reading;
    }
    reading = toHiragana(reading);
    return reading == toHiragana(text) ? QString() : reading;
}

} // namespace morphology
