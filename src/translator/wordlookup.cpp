// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordlookup.h"

#include "core/glossary/foldedtext.h"
#include "core/glossary/morphanalyser.h"
#include "core/store/wordindex.h"
#include "platform/mecabanalyser.h"

#include <algorithm>

namespace wordlookup {

std::shared_ptr<const MorphAnalyser> analyserFor(const QString& key) {
    const bool japanese = std::any_of(key.begin(), key.end(), glossarychars::isUnspaced);
    return japanese ? japaneseanalyser::shared() : nullptr;
}

Found exactOrDictionaryForm(const WordIndex& index, const QString& key,
                            const MorphAnalyser* analyser) {
    if (index.isEmpty() || key.isEmpty())
        return {};
    const int exact = index.find(key);
    if (exact >= 0)
        return {exact, key};
    if (!analyser)
        return {};
    const QString form = morphology::dictionaryForm(*analyser, key);
    const int found = form.isEmpty() ? -1 : index.find(form);
    return found >= 0 ? Found{found, form} : Found{};
}

} // namespace wordlookup
