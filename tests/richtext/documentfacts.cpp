// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentfacts.h"

#include "core/richtext/paragraphstyle.h"

#include <QColor>
#include <QJsonArray>
#include <QTextBlock>
#include <QTextDocument>

namespace documentfacts {
namespace {

QString blockText(const QTextBlock& block) {
    QString text = block.text();
    text.replace(QChar::LineSeparator, QChar(u'\n'));
    return text;
}

QTextCharFormat formatAt(const QTextBlock& block, int offset) {
    const int position = block.position() + offset;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (position >= f.position() && position < f.position() + f.length())
            return f.charFormat();
    }
    return block.charFormat();
}

QString colorName(const QTextCharFormat& f) {
    if (!f.hasProperty(QTextFormat::ForegroundBrush) || f.foreground().style() == Qt::NoBrush)
        return QStringLiteral("null");
    return f.foreground().color().name().toUpper();
}

QString alignName(const QTextBlockFormat& f) {
    if (f.alignment() & Qt::AlignHCenter)
        return QStringLiteral("center");
    if (f.alignment() & Qt::AlignRight)
        return QStringLiteral("right");
    return QStringLiteral("left");
}

QString runProperty(const QTextCharFormat& f, const QString& key, const QString& defaultFamily) {
    if (key == "bold")
        return f.fontWeight() >= QFont::DemiBold ? "true" : "false";
    if (key == "italic")
        return f.fontItalic() ? "true" : "false";
    if (key == "underline")
        return f.fontUnderline() ? "true" : "false";
    if (key == "strike")
        return f.fontStrikeOut() ? "true" : "false";
    if (key == "color")
        return colorName(f);
    if (key == "font") {
        const QStringList families = f.fontFamilies().toStringList();
        return families.isEmpty() ? defaultFamily : families.front();
    }
    if (key == "size_pt")
        return QString::number(f.fontPointSize());
    return {};
}

QString expectedValue(const QJsonValue& v) {
    if (v.isBool())
        return v.toBool() ? "true" : "false";
    if (v.isNull())
        return QStringLiteral("null");
    if (v.isDouble())
        return QString::number(v.toDouble());
    if (v.isArray()) {
        QStringList parts;
        for (const QJsonValue& e : v.toArray())
            parts.append(QString::number(e.toInt()));
        return parts.join(',');
    }
    return v.toString().toUpper() == v.toString() ? v.toString() : v.toString();
}

QString paragraphProperty(const QTextBlock& block, const QString& key) {
    const QTextBlockFormat f = block.blockFormat();
    if (key == "align")
        return alignName(f);
    if (key == "left_indent_twips")
        return QString::number(richtext::leftIndentTwips(f));
    if (key == "right_indent_twips")
        return QString::number(richtext::rightIndentTwips(f));
    if (key == "first_line_indent_twips")
        return QString::number(richtext::firstLineIndentTwips(block));
    if (key == "bullet")
        return richtext::hasBullet(block) ? "true" : "false";
    if (key == "text")
        return blockText(block);
    if (key == "tab_stops_twips") {
        QStringList parts;
        for (int t : richtext::tabStopsTwips(f))
            parts.append(QString::number(t));
        return parts.join(',');
    }
    return {};
}

void checkRun(const QTextBlock& block, const QJsonObject& fact, const QString& defaultFamily,
              QStringList& out) {
    const QString says = fact["says"].toString();
    const QString run = fact["run"].toString();
    const QString text = blockText(block);
    const int at = int(text.indexOf(run));
    if (at < 0) {
        out.append(says + ": run not found in '" + text + "'");
        return;
    }
    for (auto it = fact.begin(); it != fact.end(); ++it) {
        const QString key = it.key();
        if (key == "says" || key == "paragraph" || key == "run")
            continue;
        const QString want = expectedValue(it.value());
        for (int i = 0; i < run.size(); ++i) {
            if (run[i].isSpace())
                continue;
            const QString got = runProperty(formatAt(block, at + i), key, defaultFamily);
            if (got.compare(want, Qt::CaseInsensitive) != 0) {
                out.append(says + ": " + key + " is " + got + " at '" + run[i] + "'");
                break;
            }
        }
    }
}

} // namespace

QString expectedStyleText(const QTextDocument& document) {
    QString text;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        text += blockText(b) + '\n';
    return text;
}

QStringList violations(const QTextDocument& document, const QJsonObject& sidecar) {
    QStringList out;
    const QString defaultFamily = document.defaultFont().family();
    for (const QJsonValue& value : sidecar["facts"].toArray()) {
        const QJsonObject fact = value.toObject();
        const QString says = fact["says"].toString();
        if (fact.contains("paragraphs") && !fact.contains("paragraph")) {
            if (document.blockCount() != fact["paragraphs"].toInt())
                out.append(says + ": got " + QString::number(document.blockCount()));
            continue;
        }
        if (fact.contains("absent")) {
            if (document.toPlainText().contains(fact["absent"].toString()))
                out.append(says);
            continue;
        }
        const QTextBlock block = document.findBlockByNumber(fact["paragraph"].toInt() - 1);
        if (!block.isValid()) {
            out.append(says + ": no such paragraph");
            continue;
        }
        if (fact.contains("run")) {
            checkRun(block, fact, defaultFamily, out);
            continue;
        }
        for (auto it = fact.begin(); it != fact.end(); ++it) {
            if (it.key() == "says" || it.key() == "paragraph")
                continue;
            const QString got = paragraphProperty(block, it.key());
            const QString want = expectedValue(it.value());
            if (got != want)
                out.append(says + ": " + it.key() + " is '" + got + "'");
        }
    }
    return out;
}

} // namespace documentfacts
