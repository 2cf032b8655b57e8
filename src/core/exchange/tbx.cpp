// SPDX-License-Identifier: GPL-3.0-or-later
// TBX (the martif document of TBX-Basic) as OmegaT and other CAT tools read it: one termEntry
// per word, a langSet per language with its term, the example as the source term's context.
#include "formats.h"
#include "safexml.h"

#include <QSet>
#include <algorithm>

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
    ExportRow row;
    for (size_t i = 0; i < rows.size(); ++i) {
        rows.fill(i, row);
        out.put("   <termEntry id=\"t").putNumber(i + 1);
        out.put("\">\n    <langSet xml:lang=\"").put(source).put("\"><tig><term>");
        detail::appendXmlText(out, row.word, dropped);
        out.put("</term>");
        if (!row.example.isEmpty()) {
            out.put("<descrip type=\"context\">");
            detail::appendXmlRecord(out, row.example, dropped);
            out.put("</descrip>");
        }
        out.put("</tig></langSet>\n    <langSet xml:lang=\"").put(target).put("\"><tig><term>");
        detail::appendXmlRecord(out, row.meaning, dropped);
        out.put("</term></tig></langSet>\n   </termEntry>\n");
    }
    out.put("  </body>\n </text>\n</martif>\n");
    return out.take();
}

namespace {

// The language of a tag without its region or script ("en" for "en-US" and "EN_gb").
QStringView primaryLanguage(QStringView tag) {
    qsizetype end = 0;
    while (end < tag.size() && tag[end] != u'-' && tag[end] != u'_')
        ++end;
    return tag.first(end);
}

bool isAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Whether two tags name the same language, in any case. Tags are ASCII; anything else is
// lowered as a whole, so a tag like no other still matches itself.
bool sameLanguage(QStringView a, QStringView b) {
    const QStringView pa = primaryLanguage(a);
    const QStringView pb = primaryLanguage(b);
    if (isAscii(pa) && isAscii(pb))
        return pa.compare(pb, Qt::CaseInsensitive) == 0;
    return pa.toString().toLower() == pb.toString().toLower();
}

// Reads a martif document: the source side is the language the document names (or the first
// langSet's), the meaning is the terms of the first other language, the example the first
// context (or note) of the entry.
class TbxReader {
public:
    explicit TbxReader(const QByteArray& bytes) : m_xml(bytes, QStringLiteral("TBX")) {}

    ReadResult read() {
        if (readRoot()) {
            while (m_xml.next()) {
                if (m_xml.isStartElement() && m_xml.name() == "termEntry")
                    readEntry();
            }
        }
        if (m_result.error.isEmpty() && m_xml.failed())
            m_result.error = m_xml.error();
        if (!m_result.error.isEmpty()) {
            m_result.rows.clear();
            m_result.leftOut.clear();
        }
        return std::move(m_result);
    }

private:
    bool readRoot() {
        while (m_xml.next()) {
            if (!m_xml.isStartElement())
                continue;
            if (m_xml.name() != "martif") {
                m_result.error = QStringLiteral("TBX ﾌｧｲﾙではありません（最初の要素が <%1> "
                                                "です）。\r\n取込みを中止しました。")
                                     .arg(QString::fromUtf8(m_xml.name()));
                return false;
            }
            m_sourceLanguage = m_xml.attribute("xml:lang");
            return true;
        }
        return false;
    }

    struct Side {
        QString language;
        QStringList terms;
    };

    void readEntry() {
        Row row;
        row.line = m_xml.line();
        // Kept from entry to entry: most entries have the same two sides.
        std::vector<Side>& sides = m_sides;
        sides.clear();
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
                sides.push_back({m_xml.attribute("xml:lang"), {}});
                ++depth;
            } else if (name == "term") {
                const QString term = m_xml.elementText();
                if (!sides.empty())
                    sides.back().terms << term;
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
                leaveOut(type.isEmpty() ? element : QStringLiteral("%1 (%2)").arg(element, type));
                m_xml.skipElement();
            }
        }
        if (row.example.isEmpty())
            row.example = note;
        else if (!note.isEmpty())
            leaveOut(QStringLiteral("note"));
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
                leaveOut(QStringLiteral("3番目以降の言語（%1）").arg(s.language));
        }
        if (source && !source->terms.isEmpty())
            row.word = source->terms.front();
        if (source && source->terms.size() > 1)
            leaveOut(QStringLiteral("同じ言語の2つ目以降の用語"));
        if (target)
            row.meaning = target->terms.size() == 1 ? target->terms.front()
                                                    : target->terms.join(u'\n');
        m_result.rows.push_back(std::move(row));
    }

    void leaveOut(const QString& what) {
        if (!m_leftOut.contains(what)) {
            m_leftOut.insert(what);
            m_result.leftOut << what;
        }
    }

    detail::SafeXmlReader m_xml;
    QString m_sourceLanguage;
    std::vector<Side> m_sides;
    QSet<QString> m_leftOut;
    ReadResult m_result;
};

} // namespace

ReadResult readTbx(const QByteArray& bytes) {
    return TbxReader(bytes).read();
}

} // namespace exchange
