// SPDX-License-Identifier: GPL-3.0-or-later
// WordNet: the index files give each lemma its senses in order of use, the data files the
// definitions, the exception lists the irregular forms ("mice" -> "mouse", "went" -> "go").
#include "indexitems.h"

#include <QFile>
#include <charconv>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dictionaryindex {

namespace {

// A lemma with more senses than this in one part of speech offers only its commonest ones.
constexpr int SensesKept = 10;

std::vector<std::string_view> tokens(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\r'))
            ++pos;
        const std::size_t start = pos;
        while (pos < line.size() && line[pos] != ' ' && line[pos] != '\r')
            ++pos;
        if (pos > start)
            out.push_back(line.substr(start, pos - start));
    }
    return out;
}

bool number(std::string_view token, std::uint32_t& value) {
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    return error == std::errc() && end == token.data() + token.size();
}

std::string lemmaText(std::string_view lemma) {
    std::string s(lemma);
    for (char& c : s)
        if (c == '_')
            c = ' ';
    return normalisedKey(s.data(), s.data() + s.size());
}

QByteArray readAll(const QString& path, Collector& out) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.notes << unreadableNote(path);
        return {};
    }
    return file.readAll();
}

template <typename PerLine> void forEachLine(const QByteArray& bytes, PerLine&& perLine) {
    const std::string_view all(bytes.constData(), std::size_t(bytes.size()));
    std::size_t pos = 0;
    while (pos < all.size()) {
        std::size_t end = all.find('\n', pos);
        const bool cut = end == std::string_view::npos;
        if (cut)
            end = all.size();
        if (!perLine(all.substr(pos, end - pos), cut))
            return;
        pos = end + 1;
    }
}

// The definition of the synset whose line starts at offset: the gloss after "|" up to its first
// quoted example. Empty when the offset does not lead to that synset's line.
std::string_view definitionAt(std::string_view data, std::uint32_t offset, std::string_view id) {
    if (offset >= data.size() || data.substr(offset, id.size()) != id)
        return {};
    std::size_t end = data.find('\n', offset);
    if (end == std::string_view::npos)
        return {};
    const std::string_view line = data.substr(offset, end - offset);
    const std::size_t bar = line.find(" | ");
    if (bar == std::string_view::npos)
        return {};
    std::string_view gloss = line.substr(bar + 3);
    const std::size_t example = gloss.find("; \"");
    if (example != std::string_view::npos)
        gloss = gloss.substr(0, example);
    while (!gloss.empty() && (gloss.back() == ' ' || gloss.back() == '\r' || gloss.back() == ';'))
        gloss.remove_suffix(1);
    return gloss;
}

void readIndex(const QString& indexPath, const QString& dataPath, PartOfSpeech pos,
               Collector& out) {
    const qsizetype notesBefore = out.notes.size();
    const QByteArray index = readAll(indexPath, out);
    const QByteArray dataBytes = readAll(dataPath, out);
    if (index.isEmpty() || dataBytes.isEmpty()) {
        if (out.notes.size() == notesBefore)
            out.notes << unreadableNote(index.isEmpty() ? indexPath : dataPath);
        return;
    }
    const std::string_view data(dataBytes.constData(), std::size_t(dataBytes.size()));
    std::unordered_map<std::uint32_t, std::pair<std::uint32_t, std::uint32_t>> definitions;
    int lemmas = 0;
    int damagedIndex = 0;
    int damagedData = 0;
    forEachLine(index, [&](std::string_view line, bool cut) {
        if (out.cancelled())
            return false;
        // The licence at the top of every file is indented.
        if (line.empty() || line.front() == ' ')
            return true;
        const auto t = tokens(line);
        std::uint32_t synsets = 0, pointers = 0, tagged = 0;
        if (cut || t.size() < 6 || !number(t[2], synsets) || !number(t[3], pointers) ||
            t.size() != 4 + pointers + 2 + synsets || !number(t[5 + pointers], tagged)) {
            ++damagedIndex;
            return true;
        }
        const std::string key = lemmaText(t[0]);
        const std::uint32_t rank =
            (100000 - std::min<std::uint32_t>(tagged, 99999)) * 4 + std::uint32_t(pos);
        int kept = 0;
        for (std::uint32_t i = 0; i < synsets && kept < SensesKept; ++i) {
            const std::string_view id = t[6 + pointers + i];
            std::uint32_t offset = 0;
            if (!number(id, offset)) {
                ++damagedIndex;
                continue;
            }
            auto found = definitions.find(offset);
            if (found == definitions.end()) {
                const std::string_view definition = definitionAt(data, offset, id);
                if (definition.empty()) {
                    ++damagedData;
                    continue;
                }
                found = definitions.emplace(offset, out.intern(definition)).first;
            }
            out.add(key, Kind::Wordnet, pos, rank, i, found->second);
            ++kept;
        }
        ++lemmas;
        return true;
    });
    if (lemmas == 0)
        out.notes << unreadableNote(indexPath);
    else if (damagedIndex > 0)
        out.notes << damagedNote(indexPath, damagedIndex);
    if (damagedData > 0)
        out.notes << damagedNote(dataPath, damagedData);
}

// The base forms an exception list gives are marked with the list's part of speech: "left" is
// "leave" as a verb, and not the noun "leave". The nouns' list is read first, so where both lists
// give the same base ("quizzes" -> "quiz") the index keeps it as a noun's, with all its meanings.
void readExceptions(const QString& path, PartOfSpeech pos, Collector& out) {
    const QByteArray bytes = readAll(path, out);
    int damaged = 0;
    forEachLine(bytes, [&](std::string_view line, bool cut) {
        const auto t = tokens(line);
        if (t.empty())
            return true;
        if (cut || t.size() < 2) {
            ++damaged;
            return true;
        }
        const std::string key = lemmaText(t[0]);
        for (std::size_t i = 1; i < t.size(); ++i)
            out.add(key, Kind::BaseForm, pos, 0, std::uint32_t(i), out.intern(lemmaText(t[i])));
        return true;
    });
    if (damaged > 0)
        out.notes << damagedNote(path, damaged);
}

// index.verb and verb.exc alike.
PartOfSpeech partOf(const QString& path) {
    const QString name = path.section(u'/', -1);
    if (name.contains(QLatin1String("verb")))
        return PartOfSpeech::Verb;
    if (name.contains(QLatin1String("adj")))
        return PartOfSpeech::Adjective;
    if (name.contains(QLatin1String("adv")))
        return PartOfSpeech::Adverb;
    return PartOfSpeech::Noun;
}

} // namespace

void readWordnet(const QStringList& indexFiles, const QStringList& dataFiles,
                 const QStringList& exceptionFiles, Collector& out, int firstPercent,
                 int lastPercent) {
    const int steps = int(indexFiles.size()) + 1;
    for (qsizetype i = 0; i < indexFiles.size() && !out.cancelled(); ++i) {
        readIndex(indexFiles[i], dataFiles[i], partOf(indexFiles[i]), out);
        out.report(firstPercent + (lastPercent - firstPercent) * int(i + 1) / steps);
    }
    for (const QString& path : exceptionFiles)
        readExceptions(path, partOf(path), out);
}

} // namespace dictionaryindex
