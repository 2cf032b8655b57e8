// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/glossary/morphanalyser.h"

#include <QString>
#include <memory>

struct mecab_model_t;
struct mecab_t;

// The morphological analyser on MeCab with a UTF-8 IPA dictionary, through MeCab's C API. One
// model serves every thread; each analysis works on a lattice of its own.
class MecabAnalyser : public MorphAnalyser {
public:
    // The dictionary folder: $VERBANTA_MECAB_DICDIR when set, otherwise the system's.
    static QString dictionaryFolder();
    // Null when MeCab or its UTF-8 dictionary is not installed.
    static std::unique_ptr<MecabAnalyser> open(const QString& dictionaryFolder);
    ~MecabAnalyser() override;

    std::vector<Morpheme> analyse(QStringView text, bool withReadings) const override;

private:
    MecabAnalyser(mecab_model_t* model, mecab_t* tagger);
    mecab_model_t* m_model;
    mecab_t* m_tagger;
};

namespace japaneseanalyser {
// The analyser the program shares, opened on first use (call it off the interface thread where
// the wait matters); null when it is not installed.
std::shared_ptr<const MorphAnalyser> shared();
// Which package brings it, said to the user when it is missing.
QString missingText();
} // namespace japaneseanalyser
