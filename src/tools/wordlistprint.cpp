// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/wordlistprint.h"

#include "core/files/failure.h"
#include "core/store/storedtext.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "platform/printsurface.h"

#include <cmath>

namespace {

// A step failed and was reported in its own box; the document is thrown away. Not a
// std::exception, so it passes the guards of the enclosing steps unreported.
struct PrintAborted {};

template <class Body> void step(const ErrorContext& where, Body&& body) {
    if (!guarded(where, std::forward<Body>(body)))
        throw PrintAborted{};
}

class WordListLayout {
public:
    WordListLayout(PrintSurface& surface, const WordListPrintSettings& settings,
                   const std::vector<IndexEntry>& words, const PrintRecords& records)
        : m_surface(surface), m_settings(settings), m_words(words), m_records(records) {}

    bool run() {
        bool found = false;
        step(reportOnly(u"印刷初期設定時", "Error265"), [&] { setUp(); });
        m_page = 1;
        if (m_settings.header)
            printHeader();
        setFont(m_settings.wordFont);
        m_y = 2 * m_lineHeight;
        for (const IndexEntry& entry : m_words) {
            if (m_y > m_usableHeight)
                nextPage();
            if (m_settings.checkedOnly && !entry.checkMark)
                continue;
            found = true;
            double yAfterWord = 0;
            step(reportOnly(u"見出し語ﾃﾞｰﾀ印刷処理時", "Error267"), [&] {
                m_rowTop = m_y;
                m_surface.setPosition({m_settings.leftMargin, m_y});
                m_surface.printText(entry.word);
                yAfterWord = m_surface.position().y();
            });
            step(reportOnly(u"意味ﾃﾞｰﾀ印刷処理時", "Error266"),
                 [&] { printMeaningAndExample(entry.recordNo, yAfterWord); });
        }
        if (!m_settings.checkedOnly || found) {
            m_surface.endDocument();
            return true;
        }
        showMessage(QStringLiteral("「ﾁｪｯｸされた単語のみ印刷する」を選択しましたが\r\n"
                                   "ﾁｪｯｸ語はひとつもなかったようです"));
        m_surface.cancelDocument();
        return false;
    }

private:
    void setUp() {
        const PrintFontChoice& meaning = m_settings.meaningFont;
        setFont({meaning.name, meaning.size, false, false});
        m_surface.useMillimetres();
        // A line is never less than a millimetre, so a page always holds a whole number of them.
        m_lineHeight =
            std::max(1.0, std::round(m_surface.textExtent(QStringLiteral("A")).height()));
        const QSizeF printable = m_surface.printableSize();
        m_usableHeight = std::floor(printable.height() / m_lineHeight) * m_lineHeight;
        m_rightLimit = printable.width() - m_settings.rightMargin;
        const QString* longest = nullptr;
        for (const IndexEntry& entry : m_words) {
            if (m_settings.checkedOnly && !entry.checkMark)
                continue;
            if (!longest || entry.word.size() > longest->size())
                longest = &entry.word;
        }
        if (!longest && !m_words.empty())
            longest = &m_words.front().word;
        if (!longest)
            throw RuntimeFailure(failure::SubscriptOutOfRange);
        m_meaningColumn = m_settings.leftMargin + m_settings.spacing +
                          std::floor(m_surface.textExtent(*longest).width());
    }

    void setFont(const PrintFontChoice& font) {
        m_font = font;
        m_surface.setFont(font.name, font.size, font.bold, font.italic);
    }

    void nextPage() {
        m_surface.newPage();
        ++m_page;
        m_y = 0;
        if (m_settings.header) {
            printHeader();
            m_y = 2 * m_lineHeight;
        }
    }

    void printHeader() {
        step(reportOnly(u"ﾍｯﾀﾞ印刷処理時", "Error268"), [&] {
            // The header is bold italic in the face in use; the face's own style comes back after.
            const PrintFontChoice inUse = m_font;
            setFont({inUse.name, inUse.size, true, true});
            m_surface.setPosition({m_settings.leftMargin, 0});
            m_surface.printText(m_settings.bookName);
            const QString pageText = QStringLiteral("- %1 -").arg(m_page);
            m_surface.setPosition({m_rightLimit - m_surface.textExtent(pageText).width(), 0});
            m_surface.printText(pageText);
            m_surface.drawLine({m_settings.leftMargin, m_lineHeight}, {m_rightLimit, m_lineHeight},
                               m_settings.ruleWidth);
            setFont(inUse);
        });
    }

    void printMeaningAndExample(qint32 recordNo, double yAfterWord) {
        const QString meaning = storedtext::trimmedRight(m_records.meaning(recordNo));
        const QString example = storedtext::trimmedRight(m_records.example(recordNo));
        setFont(m_settings.meaningFont);
        m_y = m_rowTop;
        printColumn(meaning);
        printColumn(example);
        // A word without meaning and example still takes its own line.
        if (meaning.isEmpty() && example.isEmpty())
            m_y = yAfterWord;
        for (int i = 0; i < m_settings.gapLines; ++i) {
            if (m_y > m_usableHeight)
                nextPage();
            m_surface.setPosition({m_meaningColumn, m_y});
            m_surface.printText(QString());
            m_y = m_surface.position().y();
        }
        setFont(m_settings.wordFont);
    }

    // Prints text in the meaning column, breaking at each CR LF and before the first character
    // that would end past the right limit. At least one character goes on each line, so a column
    // too narrow for any character still comes to an end.
    void printColumn(QString text) {
        while (!text.isEmpty()) {
            if (m_y > m_usableHeight)
                nextPage();
            const qsizetype lineBreak = text.indexOf(QStringLiteral("\r\n"));
            const qsizetype segment = lineBreak >= 0 ? lineBreak : text.size();
            qsizetype count = fittingLength(text, segment);
            qsizetype drop = count;
            if (count == segment) {
                if (lineBreak >= 0)
                    drop += 2;
            } else {
                count = std::max<qsizetype>(count, 1);
                if (text.at(count - 1).isHighSurrogate() && count < text.size())
                    count += count == 1 ? 1 : -1;
                drop = count;
            }
            m_surface.setPosition({m_meaningColumn, m_y});
            m_surface.printText(text.left(count));
            m_y = m_surface.position().y();
            text.remove(0, drop);
        }
    }

    // The longest prefix of text, at most limit characters, that ends within the right limit.
    qsizetype fittingLength(const QString& text, qsizetype limit) {
        const auto fits = [&](qsizetype n) {
            return m_meaningColumn + m_surface.textExtent(text.left(n)).width() <= m_rightLimit;
        };
        if (fits(limit))
            return limit;
        qsizetype low = 0, high = limit; // fits(low) (or low is 0), !fits(high)
        while (high - low > 1) {
            const qsizetype mid = low + (high - low) / 2;
            (fits(mid) ? low : high) = mid;
        }
        return low;
    }

    PrintSurface& m_surface;
    const WordListPrintSettings& m_settings;
    const std::vector<IndexEntry>& m_words;
    const PrintRecords& m_records;
    PrintFontChoice m_font;
    double m_lineHeight = 1;
    double m_usableHeight = 0;
    double m_rightLimit = 0;
    double m_meaningColumn = 0;
    double m_y = 0;
    double m_rowTop = 0;
    int m_page = 1;
};

} // namespace

bool printWordList(PrintSurface& surface, const WordListPrintSettings& settings,
                   const std::vector<IndexEntry>& words, const PrintRecords& records) {
    bool sent = false;
    bool completed = false;
    try {
        completed = guarded(reportOnly(u"印刷ﾒｲﾝﾌﾟﾛｸﾞﾗﾑ実行時", "Error264"), [&] {
            sent = WordListLayout(surface, settings, words, records).run();
        });
    } catch (const PrintAborted&) {
        completed = false;
    }
    if (!completed)
        surface.cancelDocument();
    return sent;
}
