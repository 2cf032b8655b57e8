// SPDX-License-Identifier: GPL-3.0-or-later
// EDICT read in reverse: each English gloss of an entry becomes a key that leads to the entry.
#include "indexitems.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <unicode/ucnv.h>

namespace dictionaryindex {

namespace {

// Glosses longer than this are sentences of explanation nobody types as a word.
constexpr std::size_t LongestKey = 60;
// The English glosses offered for a Japanese headword stop growing here (a meaning box holds less).
constexpr std::size_t LongestGlosses = 250;

struct ConverterDeleter {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

// EUC-JP to UTF-8, or false when the bytes are not EUC-JP.
bool decodeEucJp(UConverter* converter, std::string_view bytes, std::string& out) {
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(converter);
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    std::u16string utf16(bytes.size() * 2 + 2, u'\0');
    const int32_t length =
        ucnv_toUChars(converter, reinterpret_cast<UChar*>(utf16.data()), int32_t(utf16.size()),
                      bytes.data(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status))
        return false;
    out = QString::fromUtf16(utf16.data(), length).toUtf8().toStdString();
    return true;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// "(v5k,vi) (1) (uk) to go" -> "to go": the leading markers of part of speech, sense number,
// field and usage.
std::string_view withoutLeadingTags(std::string_view gloss) {
    gloss = trimmed(gloss);
    while (!gloss.empty() && (gloss.front() == '(' || gloss.front() == '{')) {
        const char close = gloss.front() == '(' ? ')' : '}';
        const std::size_t end = gloss.find(close);
        if (end == std::string_view::npos)
            break;
        gloss = trimmed(gloss.substr(end + 1));
    }
    return gloss;
}

// "apple (fruit)" -> "apple", "dog (Canis (lupus) familiaris)" -> "dog": the remark after a
// gloss narrows it down; the word the learner types is the gloss without it.
std::string_view withoutTrailingRemark(std::string_view gloss) {
    if (gloss.empty() || gloss.back() != ')')
        return gloss;
    int depth = 0;
    for (std::size_t i = gloss.size(); i-- > 0;) {
        if (gloss[i] == ')')
            ++depth;
        else if (gloss[i] == '(' && --depth == 0)
            return i > 0 && gloss[i - 1] == ' ' ? trimmed(gloss.substr(0, i)) : gloss;
    }
    return gloss;
}

// "食べる(P);喰べる" -> "食べる": the first spelling without its markers.
std::string_view firstSpelling(std::string_view spellings) {
    spellings = spellings.substr(0, spellings.find(';'));
    return spellings.substr(0, spellings.find('('));
}

struct Entry {
    std::string_view headword;
    std::string_view reading;
    std::string_view spellings; // every headword, ';' between them, each with its markers
    std::string_view readings;  // the same for the readings
    std::string_view glosses;   // between the first and the last slash
};

// Each spelling of "食べる(P);喰べる" without its markers, to f.
template <typename F> void forEachSpelling(std::string_view spellings, F&& f) {
    while (!spellings.empty()) {
        const std::size_t semicolon = spellings.find(';');
        const std::string_view one = firstSpelling(spellings.substr(0, semicolon));
        if (!one.empty())
            f(one);
        if (semicolon == std::string_view::npos)
            break;
        spellings.remove_prefix(semicolon + 1);
    }
}

bool split(std::string_view line, Entry& entry) {
    line = trimmed(line);
    const std::size_t slash = line.find(" /");
    if (slash == std::string_view::npos || line.back() != '/')
        return false;
    std::string_view head = line.substr(0, slash);
    // A few entries have no gloss at all ("… /"); they are entries all the same.
    entry.glosses = line.size() > slash + 2 ? line.substr(slash + 2, line.size() - slash - 3)
                                            : std::string_view();
    const std::size_t bracket = head.find(" [");
    if (bracket != std::string_view::npos) {
        if (head.back() != ']')
            return false;
        entry.readings = head.substr(bracket + 2, head.size() - bracket - 3);
        entry.reading = firstSpelling(entry.readings);
        head = head.substr(0, bracket);
    } else {
        entry.reading = {};
        entry.readings = {};
    }
    entry.spellings = head;
    entry.headword = firstSpelling(head);
    return !entry.headword.empty();
}

} // namespace

void readEdict(const QString& path, Collector& out, int firstPercent, int lastPercent) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.notes << unreadableNote(path);
        return;
    }
    const QByteArray bytes = file.readAll();
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterDeleter> converter(ucnv_open("EUC-JP", &status));
    if (U_FAILURE(status)) {
        out.notes << unreadableNote(path);
        return;
    }
    const std::string_view all(bytes.constData(), std::size_t(bytes.size()));
    int skipped = 0;
    int entries = 0;
    std::uint32_t lineNumber = 0;
    std::string headword;
    std::string reading;
    std::size_t pos = 0;
    while (pos < all.size()) {
        if (out.cancelled())
            return;
        std::size_t end = all.find('\n', pos);
        const bool lastLineCut = end == std::string_view::npos;
        if (lastLineCut)
            end = all.size();
        const std::string_view line = all.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if ((lineNumber & 0x3fff) == 0)
            out.report(firstPercent + int((lastPercent - firstPercent) * double(pos) / all.size()));
        if (trimmed(line).empty())
            continue;
        Entry entry;
        // A last line without its line end is where a copy was cut short.
        if (lastLineCut || !split(line, entry) ||
            !decodeEucJp(converter.get(), entry.headword, headword) ||
            !decodeEucJp(converter.get(), entry.reading, reading)) {
            ++skipped;
            continue;
        }
        // The file's own first line describes the file.
        if (lineNumber == 1 && entry.glosses.find("EDICT") != std::string_view::npos)
            continue;
        const bool common = entry.glosses.find("(P)") != std::string_view::npos;
        const bool usuallyKana = entry.glosses.find("(uk)") != std::string_view::npos;
        std::string text;
        if (reading.empty())
            text = headword;
        else if (usuallyKana)
            text = reading + "（" + headword + "）";
        else
            text = headword + "（" + reading + "）";
        const auto interned = out.intern(text);
        ++entries;
        std::string_view rest = entry.glosses;
        // An entry whose first sense is the word comes before one that names it among others.
        std::uint32_t glossNumber = 0;
        std::string english; // the entry's glosses, offered for its Japanese headwords
        while (!rest.empty()) {
            const std::size_t slash = rest.find('/');
            std::string_view gloss = rest.substr(0, slash);
            rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
            const std::string_view described = withoutLeadingTags(gloss);
            gloss = withoutTrailingRemark(described);
            if (gloss.empty() || gloss.starts_with("EntL"))
                continue;
            std::string utf8;
            const bool ascii = std::all_of(described.begin(), described.end(),
                                           [](char c) { return (unsigned char)c < 0x80; });
            if (!ascii && !decodeEucJp(converter.get(), described, utf8))
                continue;
            if (english.size() < LongestGlosses)
                (english.empty() ? english : english.append("; "))
                    .append(ascii ? described : std::string_view(utf8));
            if (gloss.size() > LongestKey)
                continue;
            if (!ascii)
                decodeEucJp(converter.get(), gloss, utf8);
            const std::string_view keyText = ascii ? gloss : std::string_view(utf8);
            std::string key = normalisedKey(keyText.data(), keyText.data() + keyText.size());
            // "to go" is a verb's gloss, found under "go" and marked as a verb, so that a verb's
            // inflected form ("went") can be offered its verbs rather than its nouns.
            const bool verb = key.starts_with("to ") && key.size() > 3;
            if (verb)
                key.erase(0, 3);
            const std::uint32_t rank =
                (common ? 0 : 1000) + std::min<std::uint32_t>(glossNumber++, 999);
            out.add(key, Kind::Edict, verb ? PartOfSpeech::Verb : PartOfSpeech::Noun, rank,
                    lineNumber, interned);
        }
        if (english.empty())
            continue;
        // Under each spelling and each reading: 見る is found as 見る and as みる, the
        // common entries first.
        const auto glosses = out.store(english);
        const std::uint32_t rank = common ? 0 : 1000;
        std::string japanese;
        const auto addJapanese = [&](std::string_view spelling) {
            // The first spelling and reading are decoded already.
            const std::string* decoded = spelling == entry.headword  ? &headword
                                         : spelling == entry.reading ? &reading
                                                                     : &japanese;
            if (decoded == &japanese && !decodeEucJp(converter.get(), spelling, japanese))
                return;
            out.add(normalisedKey(decoded->data(), decoded->data() + decoded->size()),
                    Kind::Japanese, PartOfSpeech::Noun, rank, lineNumber, glosses);
        };
        forEachSpelling(entry.spellings, addJapanese);
        forEachSpelling(entry.readings, addJapanese);
    }
    if (entries == 0)
        out.notes << unreadableNote(path);
    else if (skipped > 0)
        out.notes << damagedNote(path, skipped);
}

} // namespace dictionaryindex
