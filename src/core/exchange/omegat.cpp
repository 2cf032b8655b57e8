// SPDX-License-Identifier: GPL-3.0-or-later
// OmegaT's tab-separated glossary: source, target and comment (the example) on one line, UTF-8.
// The format has no quoting, so a line break or a tab inside a field is written as a character
// the book can never hold (U+2028 LINE SEPARATOR, U+2409 SYMBOL FOR HORIZONTAL TABULATION) and
// read back as what it stands for.
#include "formats.h"

namespace exchange {

namespace {

constexpr char16_t LineBreakStandIn = u'\u2028';
constexpr char16_t TabStandIn = u'\u2409';

void appendField(ByteSink& out, QByteArrayView utf8) {
    qsizetype from = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c != '\n' && c != '\t' && c != '\r')
            continue;
        out.put(utf8.data() + from, i - from);
        if (c == '\n')
            out.put("\xE2\x80\xA8"); // LineBreakStandIn
        else if (c == '\t')
            out.put("\xE2\x90\x89"); // TabStandIn
        from = i + 1;
    }
    out.put(utf8.data() + from, utf8.size() - from);
}

QString fieldText(QStringView field) {
    QString text = field.toString();
    text.replace(QChar(LineBreakStandIn), u'\n');
    text.replace(QChar(TabStandIn), u'\t');
    return text;
}

} // namespace

QByteArray writeOmegaT(const ExportRows& rows) {
    ByteSink out(qsizetype(rows.size()) * 200);
    ExportRow row;
    for (size_t i = 0; i < rows.size(); ++i) {
        rows.fill(i, row);
        appendField(out, row.word.view());
        out.put('\t');
        appendField(out, row.meaning.view());
        if (!row.example.isEmpty()) {
            out.put('\t');
            appendField(out, row.example.view());
        }
        out.put('\n');
    }
    return out.take();
}

ReadResult readOmegaT(const QByteArray& bytes) {
    ReadResult result;
    QString text;
    if (!detail::utf8Text(bytes, &text, &result.error))
        return result;
    result.error = detail::htmlPageMessage(bytes, QStringLiteral("OmegaT 用語集"));
    if (!result.error.isEmpty())
        return result;
    int lineNo = 0;
    for (QStringView line : QStringView(text).split(u'\n')) {
        ++lineNo;
        if (line.endsWith(u'\r'))
            line.chop(1);
        // OmegaT takes lines starting with '#' for comments, as we do.
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QList<QStringView> fields = line.split(u'\t');
        Row row;
        row.line = lineNo;
        row.word = fieldText(fields.value(0));
        row.meaning = fieldText(fields.value(1));
        row.example = fieldText(fields.value(2));
        row.fields = int(fields.size());
        result.rows.push_back(std::move(row));
    }
    return result;
}

} // namespace exchange
