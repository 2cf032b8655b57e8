// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace tmx {

namespace {

const QString XmlNamespace = QStringLiteral("http://www.w3.org/XML/1998/namespace");

// Read digit by digit, as the UTC it is: Qt's date parser works in local time and looks the
// time zone up again for every unit, which made that a large import's costliest step after
// indexing.
QDateTime tmxTime(QStringView s) {
    if (s.size() != 16 || s[8] != u'T' || s[15] != u'Z')
        return {};
    const auto number = [&](int from, int digits) {
        int n = 0;
        for (int i = from; i < from + digits; ++i) {
            if (s[i] < u'0' || s[i] > u'9')
                return -1;
            n = n * 10 + (s[i].unicode() - u'0');
        }
        return n;
    };
    const int year = number(0, 4), month = number(4, 2), day = number(6, 2);
    const int hour = number(9, 2), minute = number(11, 2), second = number(13, 2);
    if (year < 0 || !QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        return {};
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

QString tmxTime(const QDateTime& t) {
    return t.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

// The text of a seg: character data and what hi marks; inline codes are the original file's
// formatting, not text, and a sub is a text of its own (a footnote, an attribute value).
QString segText(QXmlStreamReader& xml) {
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        case QXmlStreamReader::StartElement: {
            const QStringView name = xml.name();
            if (name == u"hi")
                ++depth;
            else
                xml.skipCurrentElement();
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::EntityReference:
            xml.raiseError(QStringLiteral("未定義の実体参照があります"));
            break;
        default:
            break;
        }
    }
    return text.trimmed();
}

QString languageOf(const QXmlStreamAttributes& attributes) {
    QString lang = attributes.value(XmlNamespace, QStringLiteral("lang")).toString();
    if (lang.isEmpty())
        lang = attributes.value(QStringLiteral("xml:lang")).toString();
    if (lang.isEmpty()) // TMX 1.1
        lang = attributes.value(QStringLiteral("lang")).toString();
    return lang;
}

Unit readUnit(QXmlStreamReader& xml) {
    Unit unit;
    const QXmlStreamAttributes a = xml.attributes();
    const QStringView date = a.hasAttribute(QStringLiteral("changedate"))
                                 ? a.value(QStringLiteral("changedate"))
                                 : a.value(QStringLiteral("creationdate"));
    if (!date.isEmpty())
        unit.changed = tmxTime(date);
    while (xml.readNextStartElement()) {
        if (xml.name() != u"tuv") {
            xml.skipCurrentElement();
            continue;
        }
        const QString lang = languageOf(xml.attributes());
        QString text;
        bool hasSeg = false;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"seg") {
                text = segText(xml);
                hasSeg = true;
            } else {
                xml.skipCurrentElement();
            }
        }
        if (hasSeg && !lang.isEmpty())
            unit.variants.emplace_back(lang, text);
    }
    return unit;
}

QString withoutForbiddenCharacters(const QString& text) {
    // XML 1.0 has no place for most control characters; a pane can hold them.
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 ? (u != 0xFFFE && u != 0xFFFF) : (u == u'\t' || u == u'\n' || u == u'\r'))
            out += c;
    }
    return out;
}

} // namespace

Document read(const QString& path, const std::function<bool(qint64, qint64)>& progress) {
    Document doc;
    const QFileInfo info(path);
    if (info.size() > SizeLimit) {
        doc.error = QStringLiteral("TMXﾌｧｲﾙが大きすぎるため読み込めません（%1 MB まで）: ")
                        .arg(SizeLimit / (1024 * 1024)) +
                    path;
        return doc;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        doc.error = QStringLiteral("TMXﾌｧｲﾙを開けません: ") + path + u'\n' + file.errorString();
        return doc;
    }
    const qint64 total = file.size();
    QXmlStreamReader xml(&file);
    bool inBody = false;
    bool sawRoot = false;
    qint64 lastReport = 0;
    while (!xml.atEnd() && !xml.hasError()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::DTD) {
            // Entity declarations are how XML bombs and references to other files come in;
            // no TMX needs one.
            if (!xml.entityDeclarations().isEmpty() || !xml.notationDeclarations().isEmpty())
                xml.raiseError(QStringLiteral("実体の宣言があります"));
            continue;
        }
        if (token == QXmlStreamReader::EntityReference) {
            xml.raiseError(QStringLiteral("未定義の実体参照があります"));
            continue;
        }
        if (token == QXmlStreamReader::EndElement && xml.name() == u"body") {
            inBody = false;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        if (!sawRoot) {
            sawRoot = true;
            if (name != u"tmx") {
                xml.raiseError(QStringLiteral("TMX の文書ではありません"));
                continue;
            }
        } else if (name == u"header") {
            doc.sourceLanguage = xml.attributes().value(QStringLiteral("srclang")).toString();
        } else if (name == u"body") {
            inBody = true;
        } else if (inBody && name == u"tu") {
            Unit unit = readUnit(xml);
            for (const auto& [lang, text] : unit.variants)
                if (!doc.languages.contains(lang, Qt::CaseInsensitive))
                    doc.languages << lang;
            doc.units.push_back(std::move(unit));
            if (progress && file.pos() - lastReport > 256 * 1024) {
                lastReport = file.pos();
                if (!progress(lastReport, total))
                    xml.raiseError(QStringLiteral("中止しました"));
            }
        }
    }
    if (!xml.hasError() && !sawRoot)
        xml.raiseError(QStringLiteral("TMX の文書ではありません"));
    if (xml.hasError()) {
        doc.error = QStringLiteral("TMXﾌｧｲﾙを読み込めません（%1 行目）: %2\n%3")
                        .arg(xml.lineNumber())
                        .arg(path, xml.errorString());
        doc.units.clear();
        doc.languages.clear();
    }
    return doc;
}

std::vector<MemoryPair> pairsOf(const Document& document, const QString& sourceLanguage,
                                const QString& targetLanguage) {
    const QString src = MemoryStore::languageKey(sourceLanguage);
    const QString tgt = MemoryStore::languageKey(targetLanguage);
    std::vector<MemoryPair> pairs;
    for (const Unit& u : document.units) {
        QString source;
        QString target;
        for (const auto& [lang, text] : u.variants) {
            const QString key = MemoryStore::languageKey(lang);
            if (key == src && source.isEmpty())
                source = text;
            else if (key == tgt && target.isEmpty())
                target = text;
        }
        if (!source.isEmpty() && !target.isEmpty())
            pairs.push_back({source, target, u.changed});
    }
    return pairs;
}

QByteArray write(const std::vector<MemoryEntry>& entries, const QString& sourceLanguage) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter xml(&buffer);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE tmx SYSTEM \"tmx14.dtd\">"));
    xml.writeStartElement(QStringLiteral("tmx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.4"));
    xml.writeEmptyElement(QStringLiteral("header"));
    xml.writeAttribute(QStringLiteral("creationtool"), QStringLiteral("Verbanta"));
    xml.writeAttribute(QStringLiteral("creationtoolversion"), QStringLiteral("1"));
    xml.writeAttribute(QStringLiteral("datatype"), QStringLiteral("plaintext"));
    xml.writeAttribute(QStringLiteral("segtype"), QStringLiteral("sentence"));
    xml.writeAttribute(QStringLiteral("adminlang"), QStringLiteral("en"));
    xml.writeAttribute(QStringLiteral("srclang"), sourceLanguage);
    xml.writeAttribute(QStringLiteral("o-tmf"), QStringLiteral("Verbanta"));
    xml.writeStartElement(QStringLiteral("body"));
    for (const MemoryEntry& e : entries) {
        xml.writeStartElement(QStringLiteral("tu"));
        if (e.changed.isValid()) {
            xml.writeAttribute(QStringLiteral("creationdate"), tmxTime(e.changed));
            xml.writeAttribute(QStringLiteral("changedate"), tmxTime(e.changed));
        }
        xml.writeStartElement(QStringLiteral("prop"));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("x-origin"));
        xml.writeCharacters(withoutForbiddenCharacters(e.origin));
        xml.writeEndElement();
        for (const auto& [lang, text] :
             {std::pair{e.sourceLanguage, e.source}, std::pair{e.targetLanguage, e.target}}) {
            xml.writeStartElement(QStringLiteral("tuv"));
            xml.writeAttribute(QStringLiteral("xml:lang"), lang);
            xml.writeTextElement(QStringLiteral("seg"), withoutForbiddenCharacters(text));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

} // namespace tmx
