// SPDX-License-Identifier: GPL-3.0-or-later
// The KDE vocabulary document, version 2, as KWordQuiz and Parley read and write it: two
// identifiers (languages), entries of two translations, the example beside the first one, and
// a lesson holding every entry, since Parley shows entries through their lessons.
#include "formats.h"
#include "safexml.h"

#include <QHash>
#include <algorithm>

namespace exchange {

namespace {

void appendTextElement(ByteSink& out, const char* indent, const char* name, QStringView text,
                       int* dropped) {
    out.put(indent).put('<').put(name).put('>');
    detail::appendXmlText(out, text, dropped);
    out.put("</").put(name).put(">\n");
}

} // namespace

QByteArray writeKvtml(const ExportRows& rows, const BookInfo& info, int* dropped) {
    ByteSink out(qsizetype(rows.size()) * 300 + 1024);
    out.put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">\n"
            "<kvtml version=\"2.0\">\n <information>\n  <generator>Verbanta</generator>\n");
    appendTextElement(out, "  ", "title", info.bookName, dropped);
    out.put(" </information>\n <identifiers>\n  <identifier id=\"0\">\n");
    appendTextElement(out, "   ", "name", info.setName.isEmpty() ? info.sourceLocale : info.setName,
                      dropped);
    appendTextElement(out, "   ", "locale", info.sourceLocale, dropped);
    out.put("  </identifier>\n  <identifier id=\"1\">\n");
    appendTextElement(out, "   ", "name", u"日本語", dropped);
    appendTextElement(out, "   ", "locale", info.targetLocale, dropped);
    out.put("  </identifier>\n </identifiers>\n <entries>\n");
    rows.forEach([&](size_t i, const ExportRow& row) {
        out.put("  <entry id=\"").putNumber(i).put("\">\n   <translation id=\"0\">\n    <text>");
        detail::appendXmlText(out, row.word, dropped);
        out.put("</text>\n");
        detail::appendXmlRecordElement(out, "    <example>", row.example, "</example>\n", dropped);
        out.put("   </translation>\n   <translation id=\"1\">\n    <text>");
        detail::appendXmlRecord(out, row.meaning, dropped);
        out.put("</text>\n   </translation>\n  </entry>\n");
    });
    out.put(" </entries>\n <lessons>\n  <container>\n");
    appendTextElement(out, "   ", "name", info.bookName, dropped);
    out.put("   <inpractice>true</inpractice>\n");
    for (size_t i = 0; i < rows.size(); ++i)
        out.put("   <entry id=\"").putNumber(i).put("\"/>\n");
    out.put("  </container>\n </lessons>\n</kvtml>\n");
    return out.take();
}

namespace {

// Reads a kvtml 2 document into rows: the word from the first identifier's translation, the
// meaning from the second's, the example from the first that has one. Whatever else the
// document holds is named in leftOut.
class KvtmlReader : detail::XmlWordListReader {
public:
    explicit KvtmlReader(const QByteArray& bytes)
        : XmlWordListReader(bytes, QStringLiteral("kvtml")) {}

    ReadResult read() {
        if (!readRoot("kvtml") || !readVersion())
            return finish();
        while (m_xml.next()) {
            if (m_xml.isEndElement())
                break;
            if (!m_xml.isStartElement())
                continue;
            const auto name = m_xml.name();
            if (name == "identifiers")
                readIdentifiers();
            else if (name == "entries")
                readEntries();
            else if (name == "information")
                m_xml.skipElement();
            else if (name == "lessons")
                readLessons();
            else
                leaveOut(QString::fromUtf8(name), true);
        }
        return finish();
    }

private:
    bool readVersion() {
        const QString version = m_xml.attribute("version");
        if (version.startsWith(u'2'))
            return true;
        m_result.error = QStringLiteral("kvtml の版が %1 です。取込めるのは版 2 の"
                                        "ﾌｧｲﾙだけです。\r\n取込みを中止しました。")
                             .arg(version.isEmpty() ? QStringLiteral("不明") : version);
        return false;
    }

    // The next child of the element being read that is named name; any other child is left
    // out. False at the element's end.
    bool nextChild(QByteArrayView name) {
        while (m_xml.next() && !m_xml.isEndElement()) {
            if (!m_xml.isStartElement())
                continue;
            if (m_xml.name() == name)
                return true;
            leaveOut(QString::fromUtf8(m_xml.name()), true);
        }
        return false;
    }

    void readIdentifiers() {
        while (m_xml.next() && !m_xml.isEndElement()) {
            if (!m_xml.isStartElement())
                continue;
            if (m_xml.name() == "identifier")
                m_identifiers.push_back(m_xml.attributeBytes("id").toByteArray());
            m_xml.skipElement();
        }
        if (m_identifiers.size() > 2)
            leaveOut(QStringLiteral("3番目以降の言語"), false);
    }

    // Lessons are only groups of entries; one lesson holding them all (as we write it) loses
    // nothing, more of them are a division the book cannot keep.
    void readLessons() {
        int lessons = 0;
        int depth = 1;
        while (depth > 0 && m_xml.next()) {
            if (m_xml.isStartElement()) {
                ++depth;
                if (m_xml.name() == "container")
                    ++lessons;
            } else if (m_xml.isEndElement()) {
                --depth;
            }
        }
        if (lessons > 1)
            leaveOut(QStringLiteral("lessons"), false);
    }

    void readEntries() {
        while (nextChild("entry")) {
            Row row;
            row.line = m_xml.line();
            readEntry(row);
            m_result.rows.push_back(std::move(row));
        }
    }

    void readEntry(Row& row) {
        while (nextChild("translation")) {
            const QByteArrayView id = m_xml.attributeBytes("id");
            const qsizetype side = m_identifiers.empty() ? (id == "0"   ? 0
                                                            : id == "1" ? 1
                                                                        : -1)
                                                         : identifierIndex(id);
            // A third language's translation has no place in the book (said once, above).
            if (side == 0 || side == 1)
                readTranslation(row, side);
            else
                m_xml.skipElement();
        }
    }

    void readTranslation(Row& row, qsizetype side) {
        while (m_xml.next() && !m_xml.isEndElement()) {
            if (!m_xml.isStartElement())
                continue;
            const auto name = m_xml.name();
            if (side == 0 && name == "text") {
                row.word = m_xml.elementText();
            } else if (side == 1 && name == "text") {
                row.meaning = m_xml.elementText();
            } else if ((side == 0 || side == 1) && name == "example" && row.example.isEmpty()) {
                row.example = m_xml.elementText();
            } else {
                leaveOut(QString::fromUtf8(name), true);
            }
        }
    }

    qsizetype identifierIndex(QByteArrayView id) const {
        const auto found = std::find(m_identifiers.begin(), m_identifiers.end(), id);
        return found == m_identifiers.end() ? -1 : found - m_identifiers.begin();
    }

    // Names the element for the user, in words where it is one the vocabulary programs write.
    void leaveOut(const QString& what, bool skip) {
        static const QHash<QString, QString> known = {
            {QStringLiteral("lessons"), QStringLiteral("ﾚｯｽﾝ分け")},
            {QStringLiteral("wordtypes"), QStringLiteral("品詞")},
            {QStringLiteral("leitnerboxes"), QStringLiteral("学習箱")},
            {QStringLiteral("comment"), QStringLiteral("ｺﾒﾝﾄ")},
            {QStringLiteral("pronunciation"), QStringLiteral("発音")},
            {QStringLiteral("paraphrase"), QStringLiteral("言い換え")},
            {QStringLiteral("grade"), QStringLiteral("成績")},
            {QStringLiteral("image"), QStringLiteral("画像")},
            {QStringLiteral("sound"), QStringLiteral("音声")},
            {QStringLiteral("conjugation"), QStringLiteral("活用")},
            {QStringLiteral("antonym"), QStringLiteral("反意語")},
            {QStringLiteral("synonym"), QStringLiteral("同意語")},
            {QStringLiteral("multiplechoice"), QStringLiteral("選択肢")},
        };
        const auto found = known.constFind(what);
        const QString shown =
            found == known.cend() ? what : QStringLiteral("%1（%2）").arg(*found, what);
        noteLeftOut(shown);
        if (skip)
            m_xml.skipElement();
    }

    std::vector<QByteArray> m_identifiers; // as UTF-8
};

} // namespace

ReadResult readKvtml(const QByteArray& bytes) {
    return KvtmlReader(bytes).read();
}

} // namespace exchange
