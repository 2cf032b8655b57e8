// SPDX-License-Identifier: GPL-3.0-or-later
// Anki's plain-text notes: file headers saying the separator, that fields hold HTML and which
// columns carry the note type, the deck and the tags; then one note per line, front (the word)
// and back (the meaning, the example in a block of its own under it). Checked words carry a tag.
#include "formats.h"

#include <QHash>

namespace exchange {

namespace {

const QString ExampleOpen = QStringLiteral("<div class=\"example\">");
const QString CheckedTag = QStringLiteral("checked");

// Fields are HTML: markup characters as entities, a line break as <br>, a tab (the separator)
// as its character reference.
constexpr AsciiEscapes htmlEscapes() {
    AsciiEscapes escapes;
    escapes.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
    escapes.replace('"', "&quot;").replace('\t', "&#9;").replace('\n', "<br>").leaveOut('\r');
    return escapes;
}
constexpr AsciiEscapes HtmlEscapes = htmlEscapes();

QChar entityCharacter(QStringView name, bool* ok) {
    *ok = true;
    if (name.startsWith(u'#')) {
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        const uint code = name.sliced(hex ? 2 : 1).toUInt(ok, hex ? 16 : 10);
        *ok = *ok && code > 0 && code < 0x10000;
        return QChar(char16_t(code));
    }
    static const QHash<QString, QChar> named = {
        {QStringLiteral("amp"), u'&'},   {QStringLiteral("lt"), u'<'},
        {QStringLiteral("gt"), u'>'},    {QStringLiteral("quot"), u'"'},
        {QStringLiteral("apos"), u'\''}, {QStringLiteral("nbsp"), u' '}};
    const auto found = named.constFind(name.toString());
    *ok = found != named.cend();
    return *ok ? *found : QChar();
}

// Field HTML as the text it shows: tags left out, a line break for <br> and for each block after
// the first, entities decoded. A '<' or '&' that starts no tag or entity stays as it is.
QString htmlToText(QStringView html) {
    if (!html.contains(u'<') && !html.contains(u'&'))
        return html.toString();
    QString out;
    out.reserve(html.size());
    qsizetype i = 0;
    while (i < html.size()) {
        const QChar c = html[i];
        if (c == u'<' && i + 1 < html.size() &&
            (html[i + 1].isLetter() || html[i + 1] == u'/' || html[i + 1] == u'!')) {
            const qsizetype end = html.indexOf(u'>', i);
            if (end > 0) {
                qsizetype n = i + 1;
                while (n < end && (html[n].isLetterOrNumber()))
                    ++n;
                const QString name = html.sliced(i + 1, n - i - 1).toString().toLower();
                if (name == u"br")
                    out.append(u'\n');
                else if ((name == u"div" || name == u"p" || name == u"li") && !out.isEmpty() &&
                         !out.endsWith(u'\n'))
                    out.append(u'\n');
                i = end + 1;
                continue;
            }
        }
        if (c == u'&') {
            const qsizetype end = html.indexOf(u';', i);
            if (end > i + 1 && end - i <= 10) {
                bool ok = false;
                const QChar decoded = entityCharacter(html.sliced(i + 1, end - i - 1), &ok);
                if (ok) {
                    out.append(decoded);
                    i = end + 1;
                    continue;
                }
            }
        }
        out.append(c);
        ++i;
    }
    return out;
}

QChar separatorNamed(const QString& value) {
    static const QHash<QString, QChar> named = {
        {QStringLiteral("comma"), u','}, {QStringLiteral("semicolon"), u';'},
        {QStringLiteral("tab"), u'\t'},  {QStringLiteral("space"), u' '},
        {QStringLiteral("pipe"), u'|'},  {QStringLiteral("colon"), u':'}};
    const auto found = named.constFind(value.toLower());
    if (found != named.cend())
        return *found;
    return value.size() == 1 ? value[0] : QChar(u'\t');
}

// The headers that say how the notes are laid out.
struct Layout {
    QChar separator = u'\t';
    bool separatorGiven = false;
    bool html = true;
    int notetypeColumn = 0; // from 1; 0 for none
    int deckColumn = 0;
    int tagsColumn = 0;
    int guidColumn = 0;
    QStringList fileTags;
};

void readHeader(QStringView line, Layout& layout) {
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return;
    const QString key = line.sliced(1, colon - 1).trimmed().toString().toLower();
    const QString value = line.sliced(colon + 1).toString();
    if (key == u"separator") {
        layout.separator = separatorNamed(value.trimmed().isEmpty() ? value : value.trimmed());
        layout.separatorGiven = true;
    } else if (key == u"html") {
        layout.html = value.trimmed().toLower() == u"true";
    } else if (key == u"notetype column") {
        layout.notetypeColumn = value.trimmed().toInt();
    } else if (key == u"deck column") {
        layout.deckColumn = value.trimmed().toInt();
    } else if (key == u"tags column") {
        layout.tagsColumn = value.trimmed().toInt();
    } else if (key == u"guid column") {
        layout.guidColumn = value.trimmed().toInt();
    } else if (key == u"tags") {
        layout.fileTags = value.split(u' ', Qt::SkipEmptyParts);
    }
}

// Reads the notes a line at a time; a field that starts with a quote may hold the separator,
// doubled quotes and line breaks.
class NoteReader {
public:
    NoteReader(QStringView text, qsizetype pos, int line, QChar separator)
        : m_text(text), m_pos(pos), m_line(line), m_separator(separator) {}

    int line() const { return m_startLine; }

    bool next(QStringList& fields) {
        fields.clear();
        const qsizetype n = m_text.size();
        while (m_pos < n && (m_text[m_pos] == u'\n' || m_text[m_pos] == u'\r')) {
            if (m_text[m_pos] == u'\n')
                ++m_line;
            ++m_pos;
        }
        if (m_pos >= n)
            return false;
        m_startLine = m_line;
        for (;;) {
            fields << field();
            if (m_pos < n && m_text[m_pos] == m_separator) {
                ++m_pos;
                continue;
            }
            return true;
        }
    }

private:
    QString field() {
        const qsizetype n = m_text.size();
        QString out;
        if (m_pos < n && m_text[m_pos] == u'"') {
            ++m_pos;
            while (m_pos < n) {
                const QChar c = m_text[m_pos++];
                if (c == u'"') {
                    if (m_pos < n && m_text[m_pos] == u'"') {
                        out.append(u'"');
                        ++m_pos;
                        continue;
                    }
                    break;
                }
                if (c == u'\n')
                    ++m_line;
                if (c != u'\r')
                    out.append(c);
            }
        }
        const qsizetype start = m_pos;
        while (m_pos < n && m_text[m_pos] != m_separator && m_text[m_pos] != u'\n' &&
               m_text[m_pos] != u'\r')
            ++m_pos;
        out.append(m_text.sliced(start, m_pos - start));
        return out;
    }

    QStringView m_text;
    qsizetype m_pos;
    int m_line;
    int m_startLine = 0;
    QChar m_separator;
};

} // namespace

QByteArray writeAnki(const ExportRows& rows, const BookInfo& info) {
    ByteSink out(qsizetype(rows.size()) * 220 + 256);
    out.put("#separator:tab\n#html:true\n#notetype column:1\n#deck column:2\n"
            "#tags column:5\n");
    QString deckName = info.bookName;
    deckName.replace(u'\t', u' ');
    const QByteArray deck = deckName.toUtf8();
    const QByteArray exampleOpen = ExampleOpen.toUtf8();
    const QByteArray checkedTag = CheckedTag.toUtf8();
    rows.forEach([&](size_t, const ExportRow& row) {
        out.put("Basic\t").put(deck).put('\t');
        appendEscaped(out, row.word, HtmlEscapes);
        out.put('\t');
        appendCp932Escaped(out, row.meaning, HtmlEscapes);
        if (!row.example.isEmpty()) {
            out.put(exampleOpen);
            appendCp932Escaped(out, row.example, HtmlEscapes);
            out.put("</div>");
        }
        out.put('\t');
        if (row.checked)
            out.put(checkedTag);
        out.put('\n');
    });
    return out.take();
}

ReadResult readAnki(const QByteArray& bytes) {
    ReadResult result;
    QString text;
    if (!detail::lineFileText(bytes, QStringLiteral("Anki 用テキスト"), &text, &result.error))
        return result;

    Layout layout;
    qsizetype pos = 0;
    int line = 1;
    while (pos < text.size() && text[pos] == u'#') {
        qsizetype end = text.indexOf(u'\n', pos);
        if (end < 0)
            end = text.size();
        QStringView header = QStringView(text).sliced(pos, end - pos);
        if (header.endsWith(u'\r'))
            header.chop(1);
        readHeader(header, layout);
        pos = std::min(end + 1, text.size());
        ++line;
    }
    if (!layout.separatorGiven) {
        // Anki's own guess: the first of these the first note holds.
        const QStringView first = QStringView(text).sliced(pos).split(u'\n').value(0);
        for (QChar candidate : {QChar(u'\t'), QChar(u'|'), QChar(u';'), QChar(u',')})
            if (first.contains(candidate)) {
                layout.separator = candidate;
                break;
            }
    }
    const auto fieldText = [&](const QString& field) {
        return layout.html ? htmlToText(field) : field;
    };
    NoteReader reader(text, pos, line, layout.separator);
    QStringList fields;
    QStringList content;
    while (reader.next(fields)) {
        Row row;
        row.line = reader.line();
        content.clear();
        QStringList tags = layout.fileTags;
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const int column = int(i) + 1;
            if (column == layout.tagsColumn)
                tags << fields[i].split(u' ', Qt::SkipEmptyParts);
            else if (column != layout.notetypeColumn && column != layout.deckColumn &&
                     column != layout.guidColumn)
                content << fields[i];
        }
        row.word = fieldText(content.value(0));
        QString back = content.value(1);
        const qsizetype example = layout.html ? back.indexOf(ExampleOpen) : -1;
        if (example >= 0) {
            QStringView inner = QStringView(back).sliced(example + ExampleOpen.size());
            if (inner.endsWith(u"</div>"))
                inner.chop(6);
            row.example = htmlToText(inner);
            back.truncate(example);
        } else {
            row.example = fieldText(content.value(2));
        }
        row.meaning = fieldText(back);
        row.fields = int(content.size());
        row.checked = tags.contains(CheckedTag, Qt::CaseInsensitive);
        result.rows.push_back(std::move(row));
    }
    return result;
}

} // namespace exchange
