// SPDX-License-Identifier: GPL-3.0-or-later
// TBX (the martif document of TBX-Basic) as OmegaT and other CAT tools read it: one termEntry
// per word, a langSet per language with its term, the example as the source term's context.
#include "formats.h"
#include "safexml.h"

#include <algorithm>
#include <span>

namespace exchange {

QByteArray writeTbx(const ExportRows& rows, const BookInfo& info, int* dropped) {
    ByteSink out(qsizetype(rows.size()) * 300 + 1024);
    const QByteArray source = info.sourceLocale.toUtf8();
    const QByteArray target = info.targetLocale.toUtf8();
    out.put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<martif type=\"TBX-Basic\" xml:lang=\"")
        .put(source)
        .put("\">\n <martifHeader>\n  <fileDesc>\n   <titleStmt><title>");
    detail::appendXmlText(out, info.bookName, dropped);
    out.put("</title></titleStmt>\n   <sourceDesc><p>Verbanta</p></sourceDesc>\n  </fileDesc>\n"
            "  <encodingDesc><p type=\"XCSURI\">TBXBasicXCSV02.xcs</p></encodingDesc>\n"
            " </martifHeader>\n <text>\n  <body>\n");
    rows.forEach([&](size_t i, const ExportRow& row) {
        out.put("   <termEntry id=\"t").putNumber(i + 1);
        out.put("\">\n    <langSet xml:lang=\"").put(source).put("\"><tig><term>");
        detail::appendXmlText(out, row.word, dropped);
        out.put("</term>");
        detail::appendXmlRecordElement(out, "<descrip type=\"context\">", row.example, "</descrip>",
                                       dropped);
        out.put("</tig></langSet>\n    <langSet xml:lang=\"").put(target).put("\"><tig><term>");
        detail::appendXmlRecord(out, row.meaning, dropped);
        out.put("</term></tig></langSet>\n   </termEntry>\n");
    });
    out.put("  </body>\n </text>\n</martif>\n");
    return out.take();
}

namespace {

// The language of a tag (UTF-8) without its region or script ("en" for "en-US" and "EN_gb").
QByteArrayView primaryLanguage(QByteArrayView tag) {
    qsizetype end = 0;
    while (end < tag.size() && tag[end] != '-' && tag[end] != '_')
        ++end;
    return tag.first(end);
}

bool isAscii(QByteArrayView text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return uchar(c) < 0x80; });
}

// Whether two tags name the same language, in any case. Tags are ASCII; anything else is
// lowered as text.
bool sameLanguage(QByteArrayView a, QByteArrayView b) {
    const QByteArrayView pa = primaryLanguage(a);
    const QByteArrayView pb = primaryLanguage(b);
    if (isAscii(pa) && isAscii(pb))
        return pa.compare(pb, Qt::CaseInsensitive) == 0;
    return QString::fromUtf8(pa).toLower() == QString::fromUtf8(pb).toLower();
}

// Reads a martif document: the source side is the language the document names (or the first
// langSet's), the meaning is the terms of the first other language, the example the first
// context (or note) of the entry.
class TbxReader : detail::XmlWordListReader {
public:
    explicit TbxReader(const QByteArray& bytes) : XmlWordListReader(bytes, QStringLiteral("TBX")) {}

    ReadResult read() {
        if (readRoot("martif")) {
            m_sourceLanguage = m_xml.attributeBytes("xml:lang").toByteArray();
            while (m_xml.next()) {
                if (m_xml.isStartElement() && m_xml.name() == "termEntry")
                    readEntry();
            }
        }
        return finish();
    }

private:
    // A langSet. Sides are kept from entry to entry with their room: most entries have the same
    // two languages.
    struct Side {
        QByteArray language; // as UTF-8
        QStringList terms;
    };

    Side& addSide(QByteArrayView language) {
        if (m_sideCount == m_sides.size())
            m_sides.emplace_back();
        Side& side = m_sides[m_sideCount++];
        side.language.resize(0);
        side.language.append(language);
        side.terms.clear();
        return side;
    }

    void readEntry() {
        Row row;
        row.line = m_xml.line();
        m_sideCount = 0;
        QString note;
        int depth = 1;
        while (depth > 0 && m_xml.next()) {
            if (m_xml.isEndElement()) {
                --depth;
                continue;
            }
            if (!m_xml.isStartElement())
                continue;
            const auto name = m_xml.name();
            if (name == "langSet") {
                addSide(m_xml.attributeBytes("xml:lang"));
                ++depth;
            } else if (name == "term") {
                const QString term = m_xml.elementText();
                if (m_sideCount > 0)
                    m_sides[m_sideCount - 1].terms << term;
            } else if (name == "descrip" && m_xml.attributeBytes("type") == "context") {
                const QString context = m_xml.elementText();
                if (row.example.isEmpty())
                    row.example = context;
            } else if (name == "note") {
                const QString text = m_xml.elementText();
                if (note.isEmpty())
                    note = text;
            } else if (name == "tig" || name == "ntig" || name == "termGrp") {
                ++depth;
            } else {
                const QString type = m_xml.attribute("type");
                const QString element = QString::fromUtf8(name);
                noteLeftOut(type.isEmpty() ? element
                                           : QStringLiteral("%1 (%2)").arg(element, type));
                m_xml.skipElement();
            }
        }
        if (row.example.isEmpty())
            row.example = note;
        else if (!note.isEmpty())
            noteLeftOut(QStringLiteral("note"));
        const auto sides = std::span(m_sides).first(m_sideCount);
        const Side* source = nullptr;
        for (const Side& s : sides)
            if (!m_sourceLanguage.isEmpty() && sameLanguage(s.language, m_sourceLanguage)) {
                source = &s;
                break;
            }
        if (!source && !sides.empty())
            source = &sides.front();
        const Side* target = nullptr;
        for (const Side& s : sides) {
            if (&s == source || (source && sameLanguage(s.language, source->language)))
                continue;
            if (!target)
                target = &s;
            else if (!sameLanguage(s.language, target->language))
                noteLeftOut(
                    QStringLiteral("3番目以降の言語（%1）").arg(QString::fromUtf8(s.language)));
        }
        if (source && !source->terms.isEmpty())
            row.word = source->terms.front();
        if (source && source->terms.size() > 1)
            noteLeftOut(QStringLiteral("同じ言語の2つ目以降の用語"));
        if (target)
            row.meaning =
                target->terms.size() == 1 ? target->terms.front() : target->terms.join(u'\n');
        m_result.rows.push_back(std::move(row));
    }

    QByteArray m_sourceLanguage; // as UTF-8
    std::vector<Side> m_sides;
    size_t m_sideCount = 0;
};

} // namespace

ReadResult readTbx(const QByteArray& bytes) {
    return TbxReader(bytes).read();
}

} // namespace exchange
