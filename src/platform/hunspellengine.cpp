// SPDX-License-Identifier: GPL-3.0-or-later
#include "hunspellengine.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringConverter>
#include <hunspell.hxx>

namespace {

// The names a Japanese user knows the languages by; the region follows in brackets.
QString japaneseLanguage(const QString& language) {
    static const QHash<QString, QString> names = {
        {"en", "英語"},         {"de", "ドイツ語"},     {"fr", "フランス語"},
        {"es", "スペイン語"},   {"it", "イタリア語"},   {"pt", "ポルトガル語"},
        {"nl", "オランダ語"},   {"ru", "ロシア語"},     {"sv", "スウェーデン語"},
        {"da", "デンマーク語"}, {"nb", "ノルウェー語"}, {"fi", "フィンランド語"},
        {"pl", "ポーランド語"}, {"cs", "チェコ語"},     {"hu", "ハンガリー語"},
        {"ko", "韓国語"},       {"la", "ラテン語"},     {"el", "ギリシャ語"},
        {"tr", "トルコ語"},     {"uk", "ウクライナ語"},
    };
    return names.value(language);
}

QString japaneseRegion(const QString& region) {
    static const QHash<QString, QString> names = {
        {"US", "米国"},
        {"GB", "英国"},
        {"AU", "オーストラリア"},
        {"CA", "カナダ"},
        {"NZ", "ニュージーランド"},
        {"ZA", "南アフリカ"},
        {"IN", "インド"},
        {"DE", "ドイツ"},
        {"AT", "オーストリア"},
        {"CH", "スイス"},
        {"FR", "フランス"},
        {"BE", "ベルギー"},
        {"ES", "スペイン"},
        {"MX", "メキシコ"},
        {"BR", "ブラジル"},
        {"PT", "ポルトガル"},
        {"IT", "イタリア"},
        {"NL", "オランダ"},
        {"RU", "ロシア"},
        {"SE", "スウェーデン"},
    };
    return names.value(region);
}

} // namespace

QString SpellDictionary::displayName() const {
    const QString language = japaneseLanguage(code.section(u'_', 0, 0));
    if (language.isEmpty())
        return code;
    const QString regionCode = code.section(u'_', 1);
    if (regionCode.isEmpty())
        return language;
    const QString region = japaneseRegion(regionCode);
    return language + QStringLiteral(" (") + (region.isEmpty() ? regionCode : region) + u')';
}

namespace hunspelldictionaries {

QString folder() {
    const QString own = qEnvironmentVariable("VERBANTA_HUNSPELL_DIR");
    return own.isEmpty() ? QStringLiteral("/usr/share/hunspell") : own;
}

QList<SpellDictionary> installed() {
    QList<SpellDictionary> found;
    const QDir dir(folder());
    for (const QString& dic : dir.entryList({QStringLiteral("*.dic")}, QDir::Files, QDir::Name)) {
        const QString code = dic.chopped(4);
        const QString aff = dir.filePath(code + QStringLiteral(".aff"));
        // Hyphenation patterns share the folder on some systems and are no spelling dictionary.
        if (code.startsWith(u"hyph_") || !QFile::exists(aff))
            continue;
        found.append({code, aff, dir.filePath(dic)});
    }
    return found;
}

QString defaultCode(const QList<SpellDictionary>& dictionaries) {
    for (const SpellDictionary& d : dictionaries)
        if (d.code == u"en_US")
            return d.code;
    return {};
}

} // namespace hunspelldictionaries

HunspellEngine::HunspellEngine(const SpellDictionary& dictionary)
    : m_hunspell(std::make_unique<Hunspell>(QFile::encodeName(dictionary.affPath).constData(),
                                            QFile::encodeName(dictionary.dicPath).constData())),
      m_encoding(QByteArray::fromStdString(m_hunspell->get_dict_encoding())) {}

HunspellEngine::~HunspellEngine() = default;

bool HunspellEngine::encode(const QString& word, std::string* out) const {
    QStringEncoder encoder(m_encoding.constData());
    if (!encoder.isValid())
        encoder = QStringEncoder(QStringConverter::Latin1);
    const QByteArray bytes = encoder.encode(word);
    if (encoder.hasError())
        return false;
    *out = bytes.toStdString();
    return true;
}

QString HunspellEngine::decode(const std::string& bytes) const {
    QStringDecoder decoder(m_encoding.constData());
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringConverter::Latin1);
    return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

bool HunspellEngine::spell(const QString& word) {
    std::string bytes;
    return !encode(word, &bytes) || m_hunspell->spell(bytes);
}

QStringList HunspellEngine::suggest(const QString& word) {
    std::string bytes;
    if (!encode(word, &bytes))
        return {};
    QStringList out;
    for (const std::string& s : m_hunspell->suggest(bytes))
        out.append(decode(s));
    return out;
}

void HunspellEngine::addWord(const QString& word) {
    std::string bytes;
    if (encode(word, &bytes))
        m_hunspell->add(bytes);
}
