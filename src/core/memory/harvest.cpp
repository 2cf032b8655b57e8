// SPDX-License-Identifier: GPL-3.0-or-later
#include "harvest.h"

#include <QHash>
#include <QRegularExpression>

namespace harvest {

namespace {

struct Blocks {
    QHash<int, QString> text; // by number
    std::vector<int> order;   // the numbers as they come
};

QStringList linesOf(const QString& text) {
    QString t = text;
    t.replace(QChar::LineSeparator, u'\n');
    t.replace(QChar::ParagraphSeparator, u'\n');
    t.replace(u'\r', u'\n');
    return t.split(u'\n');
}

// A heading is the number between the two texts the split puts around it, alone on its line or
// followed by the block's first line. Spaces around the texts are not held against the
// translator, who may have typed the translation's headings by hand.
QRegularExpression headingPattern(const Numbering& numbering) {
    const QString before = QRegularExpression::escape(numbering.before.trimmed());
    const QString after = QRegularExpression::escape(numbering.after.trimmed());
    return QRegularExpression(
        QStringLiteral("^\\s*") + before + QStringLiteral("\\s*(\\d{1,9})\\s*") + after +
        (after.isEmpty() ? QStringLiteral("\\s*$") : QStringLiteral("\\s*(.*)$")));
}

Blocks numberedBlocks(const QStringList& lines, const QRegularExpression& heading) {
    Blocks blocks;
    int current = -1;
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = heading.match(line);
        if (m.hasMatch()) {
            current = m.captured(1).toInt();
            if (!blocks.text.contains(current))
                blocks.order.push_back(current);
            blocks.text[current];
            const QString rest = m.captured(2).trimmed();
            if (!rest.isEmpty())
                blocks.text[current] = rest;
            continue;
        }
        const QString l = line.trimmed();
        if (current < 0 || l.isEmpty())
            continue;
        QString& t = blocks.text[current];
        t = t.isEmpty() ? l : t + u'\n' + l;
    }
    return blocks;
}

QStringList paragraphs(const QString& text) {
    QStringList out;
    for (const QString& p : text.split(u'\n')) {
        QString t = p;
        t.replace(QChar::LineSeparator, u'\n');
        t = t.trimmed();
        if (!t.isEmpty())
            out << t;
    }
    return out;
}

} // namespace

QString withoutHeading(const QString& line, const Numbering& numbering, bool* isHeading) {
    const QRegularExpressionMatch m = headingPattern(numbering).match(line);
    if (isHeading)
        *isHeading = m.hasMatch();
    return m.hasMatch() ? m.captured(2).trimmed() : line;
}

Result pairs(const QString& original, const QString& translation, const Numbering& numbering) {
    Result r;
    const QRegularExpression heading = headingPattern(numbering);
    const Blocks source = numberedBlocks(linesOf(original), heading);
    const Blocks target = numberedBlocks(linesOf(translation), heading);
    const bool sourceNumbered = !source.order.empty();
    const bool targetNumbered = !target.order.empty();
    if (sourceNumbered && targetNumbered) {
        for (int number : source.order) {
            const QString s = source.text.value(number);
            const QString t = target.text.value(number);
            // A block not translated yet has nothing to give.
            if (!s.isEmpty() && !t.isEmpty())
                r.pairs.push_back({s, t, {}});
        }
        if (r.pairs.empty())
            r.refusal = QStringLiteral("原文と訳文に同じ番号の訳されたﾌﾞﾛｯｸがないため、"
                                       "過去の訳に加えませんでした。");
        return r;
    }
    if (sourceNumbered != targetNumbered) {
        r.refusal = sourceNumbered ? QStringLiteral("原文は番号付きのﾌﾞﾛｯｸに分かれていますが訳文は"
                                                    "そうでないため、過去の訳に加えませんでした。")
                                   : QStringLiteral("訳文は番号付きのﾌﾞﾛｯｸに分かれていますが原文は"
                                                    "そうでないため、過去の訳に加えませんでした。");
        return r;
    }
    const QStringList s = paragraphs(original);
    const QStringList t = paragraphs(translation);
    if (s.isEmpty() || t.isEmpty())
        return r; // nothing translated yet: nothing to say
    if (s.size() != t.size()) {
        r.refusal = QStringLiteral("原文（%1 段落）と訳文（%2 段落）の段落の数が合わないため、"
                                   "過去の訳に加えませんでした。")
                        .arg(s.size())
                        .arg(t.size());
        return r;
    }
    for (qsizetype i = 0; i < s.size(); ++i)
        r.pairs.push_back({s[i], t[i], {}});
    return r;
}

} // namespace harvest
