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

constexpr AsciiEscapes fieldEscapes() {
    AsciiEscapes escapes;
    escapes.replace('\n', "\xE2\x80\xA8"); // LineBreakStandIn
    escapes.replace('\t', "\xE2\x90\x89"); // TabStandIn
    escapes.leaveOut('\r');
    return escapes;
}
constexpr AsciiEscapes FieldEscapes = fieldEscapes();

QString fieldText(QStringView field) {
    QString text = field.toString();
    text.replace(QChar(LineBreakStandIn), u'\n');
    text.replace(QChar(TabStandIn), u'\t');
    return text;
}

} // namespace

QByteArray writeOmegaT(const ExportRows& rows) {
    ByteSink out(qsizetype(rows.size()) * 200);
    rows.forEach([&](size_t, const ExportRow& row) {
        appendEscaped(out, row.word, FieldEscapes);
        out.put('\t');
        appendCp932Escaped(out, row.meaning, FieldEscapes);
        if (!row.example.isEmpty()) {
            out.put('\t');
            appendCp932Escaped(out, row.example, FieldEscapes);
        }
        out.put('\n');
    });
    return out.take();
}

ReadResult readOmegaT(const QByteArray& bytes) {
    ReadResult result;
    QString text;
    if (!detail::lineFileText(bytes, QStringLiteral("OmegaT 用語集"), &text, &result.error))
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
