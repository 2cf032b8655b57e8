// SPDX-License-Identifier: GPL-3.0-or-later
#include "mecabanalyser.h"

#include <QByteArray>
#include <QFileInfo>
#include <QList>
#include <mecab.h>
#include <mutex>
#include <string>
#include <string_view>

namespace {

// The system's dictionary, then the UTF-8 IPA dictionary where Debian puts it: the system's
// choice may be a dictionary in another encoding, or its settings file may be missing.
QList<QByteArray> modelArguments(const QString& folder) {
    if (!folder.isEmpty())
        return {"-r /dev/null -d " + QFile::encodeName(folder)};
    return {"", "-r /dev/null -d /var/lib/mecab/dic/ipadic-utf8"};
}

bool isUtf8(mecab_model_t* model) {
    const mecab_dictionary_info_t* info = mecab_model_dictionary_info(model);
    if (!info || !info->charset)
        return false;
    const QByteArray charset = QByteArray(info->charset).toLower();
    return charset == "utf-8" || charset == "utf8";
}

// The first fields of a node's features, without copying them: IPA dictionary features are part
// of speech, three subdivisions, conjugation type and form, dictionary form, reading and
// pronunciation; unknown words stop after the conjugation form.
struct Features {
    std::string_view field[8];
    int count = 0;
};

Features featuresOf(const char* csv) {
    Features f;
    std::string_view rest(csv);
    while (f.count < 8) {
        const std::size_t comma = rest.find(',');
        f.field[f.count++] = rest.substr(0, comma);
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return f;
}

Morpheme::Kind kindOf(const Features& f) {
    const std::string_view pos = f.field[0];
    const std::string_view sub = f.count > 1 ? f.field[1] : std::string_view();
    if (pos == "助詞")
        return sub == "接続助詞" ? Morpheme::Kind::Conjunctive : Morpheme::Kind::Particle;
    if (pos == "助動詞")
        return Morpheme::Kind::Auxiliary;
    if ((pos == "動詞" || pos == "形容詞") && (sub == "非自立" || sub == "接尾"))
        return Morpheme::Kind::Bound;
    if (pos == "記号")
        return Morpheme::Kind::Symbol;
    return Morpheme::Kind::Content;
}

QString fieldText(const Features& f, int i) {
    if (f.count != 8 || f.field[i] == "*")
        return {};
    return QString::fromUtf8(f.field[i].data(), qsizetype(f.field[i].size()));
}

// text as UTF-8, and for each of its bytes where its character starts in text.
void encode(QStringView text, std::string& utf8, std::vector<int>& unitAt) {
    utf8.clear();
    unitAt.clear();
    utf8.reserve(size_t(text.size()) * 3);
    unitAt.reserve(size_t(text.size()) * 3 + 1);
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        qsizetype units = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            units = 2;
        } else if (text[i].isSurrogate()) {
            c = 0xFFFD;
        }
        const size_t before = utf8.size();
        if (c < 0x80) {
            utf8 += char(c);
        } else if (c < 0x800) {
            utf8 += char(0xC0 | (c >> 6));
            utf8 += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += char(0xE0 | (c >> 12));
            utf8 += char(0x80 | ((c >> 6) & 0x3F));
            utf8 += char(0x80 | (c & 0x3F));
        } else {
            utf8 += char(0xF0 | (c >> 18));
            utf8 += char(0x80 | ((c >> 12) & 0x3F));
            utf8 += char(0x80 | ((c >> 6) & 0x3F));
            utf8 += char(0x80 | (c & 0x3F));
        }
        unitAt.insert(unitAt.end(), utf8.size() - before, int(i));
        i += units;
    }
    unitAt.push_back(int(text.size()));
}

} // namespace

QString MecabAnalyser::dictionaryFolder() {
    return qEnvironmentVariable("VERBANTA_MECAB_DICDIR");
}

std::unique_ptr<MecabAnalyser> MecabAnalyser::open(const QString& folder) {
    if (!folder.isEmpty() && !QFileInfo(folder + QStringLiteral("/sys.dic")).isFile())
        return nullptr;
    for (const QByteArray& arguments : modelArguments(folder)) {
        mecab_model_t* model = mecab_model_new2(arguments.constData());
        if (!model)
            continue;
        if (!isUtf8(model)) {
            mecab_model_destroy(model);
            continue;
        }
        mecab_t* tagger = mecab_model_new_tagger(model);
        if (!tagger) {
            mecab_model_destroy(model);
            continue;
        }
        return std::unique_ptr<MecabAnalyser>(new MecabAnalyser(model, tagger));
    }
    return nullptr;
}

MecabAnalyser::MecabAnalyser(mecab_model_t* model, mecab_t* tagger)
    : m_model(model), m_tagger(tagger) {}

MecabAnalyser::~MecabAnalyser() {
    mecab_destroy(m_tagger);
    mecab_model_destroy(m_model);
}

std::vector<Morpheme> MecabAnalyser::analyse(QStringView text, bool withReadings) const {
    std::vector<Morpheme> out;
    if (text.isEmpty())
        return out;
    std::string utf8;
    std::vector<int> unitAt;
    encode(text, utf8, unitAt);
    mecab_lattice_t* lattice = mecab_model_new_lattice(m_model);
    if (!lattice)
        return out;
    mecab_lattice_set_sentence2(lattice, utf8.data(), utf8.size());
    if (mecab_parse_lattice(m_tagger, lattice)) {
        out.reserve(size_t(text.size()) / 2);
        for (const mecab_node_t* n = mecab_lattice_get_bos_node(lattice); n; n = n->next) {
            if (n->stat == MECAB_BOS_NODE || n->stat == MECAB_EOS_NODE || n->length == 0)
                continue;
            const std::ptrdiff_t begin = n->surface - utf8.data();
            if (begin < 0 || size_t(begin) + n->length > utf8.size())
                continue;
            const Features f = featuresOf(n->feature);
            const std::string_view surface(n->surface, n->length);
            Morpheme m;
            m.start = unitAt[size_t(begin)];
            m.end = unitAt[size_t(begin) + n->length];
            m.kind = kindOf(f);
            // The dictionary form only where it differs from the word as written.
            if (f.count == 8 && f.field[6] != surface)
                m.baseForm = fieldText(f, 6);
            if (withReadings)
                m.reading = fieldText(f, 7);
            out.push_back(std::move(m));
        }
    }
    mecab_lattice_destroy(lattice);
    return out;
}

namespace japaneseanalyser {

std::shared_ptr<const MorphAnalyser> shared() {
    // Opened again when the folder asked for changes (tests hide and show the dictionary).
    static std::mutex mutex;
    static QString openedFor;
    static bool opened = false;
    static std::shared_ptr<const MorphAnalyser> analyser;
    const std::lock_guard lock(mutex);
    const QString folder = MecabAnalyser::dictionaryFolder();
    if (!opened || folder != openedFor) {
        analyser = MecabAnalyser::open(folder);
        openedFor = folder;
        opened = true;
    }
    return analyser;
}

QString missingText() {
    return QStringLiteral("日本語の形態素解析 MeCab の辞書が見つからないため、日本語の原文は"
                          "文字の並びで照合しています。単語に分けて照合するには mecab-ipadic-utf8 "
                          "を入れてください（sudo apt install mecab-ipadic-utf8）。");
}

} // namespace japaneseanalyser
