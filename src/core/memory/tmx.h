// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "memorystore.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// TMX, the exchange format of translation memories: written as TMX 1.4b, read from what CAT
// tools write (OmegaT's header and xml:lang, older files' lang, inline codes inside seg). The
// reader takes no DTD entity declarations and resolves nothing from outside the file, and
// refuses files beyond a size any real memory reaches.
namespace tmx {

inline constexpr qint64 SizeLimit = 128LL * 1024 * 1024;

struct Unit {
    // The text of each tuv by its language tag as the file has it; inline codes (bpt, ept, it,
    // ph, ut) and sub-flows left out, the text inside hi kept.
    std::vector<std::pair<QString, QString>> variants;
    QDateTime changed; // changedate, else creationdate; invalid when neither is there
};

struct Document {
    std::vector<Unit> units;
    QStringList languages;  // every tuv language in the file, in order of first appearance
    QString sourceLanguage; // the header's srclang ("*all*" or empty when it names none)
    QString error;          // empty when the file was read; otherwise nothing was taken
};

// progress(done, total) with the bytes read; false from it stops the reading (error set).
Document read(const QString& path, const std::function<bool(qint64, qint64)>& progress = {});

// The pairs of the two languages (matched by their primary subtag, as the memory keys them):
// units that have both.
std::vector<MemoryPair> pairsOf(const Document& document, const QString& sourceLanguage,
                                const QString& targetLanguage);

// The entries as a TMX 1.4b document in UTF-8, each pair's origin as a property.
QByteArray write(const std::vector<MemoryEntry>& entries, const QString& sourceLanguage);

} // namespace tmx
