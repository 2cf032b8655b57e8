// SPDX-License-Identifier: GPL-3.0-or-later
#include "mecabanalyser.h"

#include <QByteArray>
#include <QFileInfo>
#include <QList>
#include <mecab.h>
#include <mutex>

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

// IPA dictionary features: part of speech, three subdivisions, conjugation type and form,
// dictionary form, reading, pronunciation; unknown words stop after the conjugation form.
Morpheme::Kind kindOf(const QList<QByteArray>& f) {
    const QByteArray& pos = f.value(0);
    const QByteArray& sub = f.value(1);
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

std::vector<Morpheme> MecabAnalyser::analyse(QStringView text) const {
    std::vector<Morpheme> out;
    if (text.isEmpty())
        return out;
    // The UTF-8 the analyser reads, and where each of its bytes starts in the UTF-16 text.
    QByteArray utf8;
    utf8.reserve(text.size() * 3);
    std::vector<int> unitAt;
    unitAt.reserve(size_t(text.size()) * 3 + 1);
    for (qsizetype i = 0; i < text.size();) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QByteArray bytes = text.mid(i, pair ? 2 : 1).toUtf8();
        utf8 += bytes;
        unitAt.insert(unitAt.end(), size_t(bytes.size()), int(i));
        i += pair ? 2 : 1;
    }
    unitAt.push_back(int(text.size()));

    mecab_lattice_t* lattice = mecab_model_new_lattice(m_model);
    if (!lattice)
        return out;
    mecab_lattice_set_sentence2(lattice, utf8.constData(), size_t(utf8.size()));
    if (mecab_parse_lattice(m_tagger, lattice)) {
        for (const mecab_node_t* n = mecab_lattice_get_bos_node(lattice); n; n = n->next) {
            if (n->stat == MECAB_BOS_NODE || n->stat == MECAB_EOS_NODE || n->length == 0)
                continue;
            const qsizetype begin = n->surface - utf8.constData();
            if (begin < 0 || begin + n->length > utf8.size())
                continue;
            const QList<QByteArray> f = QByteArray(n->feature).split(',');
            Morpheme m;
            m.start = unitAt[size_t(begin)];
            m.end = unitAt[size_t(begin + n->length)];
            m.kind = kindOf(f);
            if (f.size() > 7 && f[6] != "*")
                m.baseForm = QString::fromUtf8(f[6]);
            if (f.size() > 7 && f[7] != "*")
                m.reading = QString::fromUtf8(f[7]);
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
