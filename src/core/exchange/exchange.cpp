// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/text/collation.h"
#include "core/text/cp932.h"
#include "formats.h"
#include "utf8records.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>

namespace exchange {

namespace {

// The source language a language set's name speaks of; a set named after no language we know
// is taken for English, the book's usual other side.
QString localeOfSet(const QString& setName) {
    static const struct {
        const char16_t* name;
        const char* locale;
    } known[] = {{u"英語", "en"},     {u"english", "en"},  {u"ドイツ", "de"},
                 {u"german", "de"},   {u"deutsch", "de"},  {u"フランス", "fr"},
                 {u"french", "fr"},   {u"スペイン", "es"}, {u"spanish", "es"},
                 {u"イタリア", "it"}, {u"italian", "it"},  {u"ポルトガル", "pt"},
                 {u"ロシア", "ru"},   {u"russian", "ru"},  {u"中国", "zh"},
                 {u"chinese", "zh"},  {u"韓国", "ko"},     {u"korean", "ko"},
                 {u"オランダ", "nl"}, {u"ラテン", "la"},   {u"ギリシャ", "el"}};
    // Half-width katakana and full-width letters read as their plain forms.
    const QString plain = setName.normalized(QString::NormalizationForm_KC).toLower();
    for (const auto& k : known)
        if (plain.contains(QString::fromUtf16(k.name)))
            return QString::fromLatin1(k.locale);
    return QStringLiteral("en");
}

QString trimmedRight(QString s) {
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

// Line breaks are stored as CR LF.
QString storedLineBreaks(const QString& text) {
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    out.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return out;
}

// True when every character has a CP932 form that reads back as itself.
bool plainlyEncodable(QStringView text) {
    unsigned char bytes[2];
    return std::all_of(text.begin(), text.end(), [&](QChar c) {
        return c.unicode() < 0x80 || cp932::encodeExact(c.unicode(), bytes) != 0;
    });
}

// The stored bytes of a word the store takes without a closer look; false leaves it to the store.
bool plainWordBytes(const QString& word, QByteArray& bytes) {
    if (word.trimmed().isEmpty() || !plainlyEncodable(word))
        return false;
    for (QChar c : word)
        if (c == u'"' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    bytes = cp932::encode(word);
    return true;
}

// The stored bytes of a record, cut at a character boundary to its size (*cut is then set);
// false leaves the text to the store.
bool plainRecordBytes(const QString& text, int recordSize, QByteArray& bytes, bool* cut) {
    if (!plainlyEncodable(text))
        return false;
    bytes = cp932::encode(trimmedRight(text));
    if (bytes.size() > recordSize) {
        qsizetype end = 0;
        while (end < recordSize) {
            const qsizetype width = cp932::isLeadByte(uchar(bytes[end])) ? 2 : 1;
            if (end + width > recordSize)
                break;
            end += width;
        }
        while (end > 0 && bytes[end - 1] == ' ')
            --end;
        bytes.truncate(end);
        *cut = true;
    }
    static const QByteArray marker = bookfile::DeletionMarker.toLatin1();
    return bytes != marker;
}

QString fittedText(const QString& text, int recordSize, bool* cut) {
    const QString trimmed = trimmedRight(text);
    if (cp932::encode(trimmed).size() <= recordSize)
        return trimmed;
    *cut = true;
    return trimmedRight(cp932::decode(cp932::encodeField(trimmed, recordSize)));
}

std::string sortKey(const QString& word) {
    std::string key;
    collation::appendSortKey(word, key);
    return key;
}

} // namespace

BookInfo infoFor(const QString& bookName, const QString& setName) {
    BookInfo info;
    info.bookName = bookName;
    info.setName = setName;
    info.sourceLocale = localeOfSet(setName);
    return info;
}

bool formatOfPath(const QString& path, Format* format) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"txt")
        *format = Format::Anki;
    else if (suffix == u"kvtml")
        *format = Format::Kvtml;
    else if (suffix == u"utf8" || suffix == u"tab")
        *format = Format::OmegaT;
    else if (suffix == u"tbx")
        *format = Format::Tbx;
    else
        return false;
    return true;
}

QString filterOf(Format format) {
    switch (format) {
    case Format::Anki:
        return QStringLiteral("Anki 用テキスト (*.txt)");
    case Format::Kvtml:
        return QStringLiteral("KWordQuiz / Parley (*.kvtml)");
    case Format::OmegaT:
        return QStringLiteral("OmegaT 用語集 (*.utf8)");
    case Format::Tbx:
        return QStringLiteral("TBX 用語集 (*.tbx)");
    }
    return {};
}

QString suffixOf(Format format) {
    switch (format) {
    case Format::Anki:
        return QStringLiteral("txt");
    case Format::Kvtml:
        return QStringLiteral("kvtml");
    case Format::OmegaT:
        return QStringLiteral("utf8");
    case Format::Tbx:
        return QStringLiteral("tbx");
    }
    return {};
}

QString nameOf(Format format) {
    switch (format) {
    case Format::Anki:
        return QStringLiteral("Anki");
    case Format::Kvtml:
        return QStringLiteral("kvtml");
    case Format::OmegaT:
        return QStringLiteral("OmegaT");
    case Format::Tbx:
        return QStringLiteral("TBX");
    }
    return {};
}

int exportFile(Format format, const QString& sourceFolder, const std::vector<IndexEntry>& words,
               const QString& path, const BookInfo& info) {
    const BookRecords records(sourceFolder);
    const ExportRows rows(records, words);
    int dropped = 0;
    QByteArray bytes;
    switch (format) {
    case Format::Anki:
        bytes = writeAnki(rows, info);
        break;
    case Format::Kvtml:
        bytes = writeKvtml(rows, info, &dropped);
        break;
    case Format::OmegaT:
        bytes = writeOmegaT(rows);
        break;
    case Format::Tbx:
        bytes = writeTbx(rows, info, &dropped);
        break;
    }
    writeFileAtomically(path, bytes);
    return dropped;
}

ReadResult readFile(Format format, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeFailure(failure::FileNotFound, path);
    // Checked before a byte is read: a file this large is no word list of ours, and reading it
    // whole could exhaust the memory.
    if (file.size() > MaxFileSize) {
        ReadResult result;
        result.error = QStringLiteral("ﾌｧｲﾙが大きすぎます（%1 MB）。取込めるのは %2 MB までの"
                                      "ﾌｧｲﾙです。\r\n取込みを中止しました。")
                           .arg(file.size() >> 20)
                           .arg(MaxFileSize >> 20);
        return result;
    }
    const QByteArray bytes = file.readAll();
    switch (format) {
    case Format::Anki:
        return readAnki(bytes);
    case Format::Kvtml:
        return readKvtml(bytes);
    case Format::OmegaT:
        return readOmegaT(bytes);
    case Format::Tbx:
        return readTbx(bytes);
    }
    return {};
}

booktransfer::CsvImportReport importRows(const std::vector<Row>& rows,
                                         const QString& receivingFolder, TransferHook hook) {
    const std::vector<Book::StoredWord> existing = readStoredWords(receivingFolder);
    const BookRecords records(receivingFolder);
    BookWriter writer(receivingFolder, std::move(hook));
    // Each word's sort key and the line that brought it (0: the book had it).
    std::unordered_map<std::string, int> known;
    known.reserve(existing.size() + rows.size());
    for (const Book::StoredWord& w : existing) {
        writer.add(QByteArrayView(w.bytes), records.meaning(w.recordNo),
                   records.example(w.recordNo));
        known.emplace(sortKey(Book::wordFromBytes(w.bytes)), 0);
    }

    booktransfer::CsvImportReport report;
    QByteArray wordBytes;
    QByteArray meaningBytes;
    QByteArray exampleBytes;
    for (const Row& row : rows) {
        const QString word = Book::storedWord(row.word);
        const QString meaningText = storedLineBreaks(row.meaning);
        const QString exampleText = storedLineBreaks(row.example);
        bool cut = false;
        if (!plainWordBytes(word, wordBytes) ||
            !plainRecordBytes(meaningText, bookfile::MeaningSize, meaningBytes, &cut) ||
            !plainRecordBytes(exampleText, bookfile::ExampleSize, exampleBytes, &cut)) {
            // Something the store checks more closely: it decides, and says why it refuses.
            cut = false;
            const QString meaning = fittedText(meaningText, bookfile::MeaningSize, &cut);
            const QString example = fittedText(exampleText, bookfile::ExampleSize, &cut);
            const QString refusal = Book::refusalFor(word, meaning, example);
            if (!refusal.isEmpty()) {
                auto it = std::find_if(report.refused.begin(), report.refused.end(),
                                       [&](const auto& r) { return r.first == refusal; });
                if (it == report.refused.end())
                    report.refused.emplace_back(refusal, 1);
                else
                    ++it->second;
                report.notes.push_back({row.line, word, refusal});
                continue;
            }
            wordBytes = cp932::encode(word);
            meaningBytes = cp932::encodeField(meaning, bookfile::MeaningSize);
            exampleBytes = cp932::encodeField(example, bookfile::ExampleSize);
        }
        const auto [earlier, isNew] = known.emplace(sortKey(word), row.line);
        if (!isNew) {
            ++(earlier->second == 0 ? report.duplicates : report.repeatedInFile);
            report.notes.push_back(
                {row.line, word,
                 earlier->second == 0
                     ? QStringLiteral("ﾌﾞｯｸにすでにある語のため取込みませんでした"
                                      "（ﾌﾞｯｸの語を残しました）")
                     : QStringLiteral(
                           "%1行目と同じ語のため取込みませんでした（%1行目を残しました）")
                           .arg(earlier->second)});
            continue;
        }
        writer.add(QByteArrayView(wordBytes), meaningBytes, exampleBytes);
        ++report.added;
        if (row.fields > 3)
            report.notes.push_back(
                {row.line, word,
                 QStringLiteral("項目が%1個あります。単語・意味・用例の3項目だけを取込みました")
                     .arg(row.fields)});
        if (cut) {
            ++report.cut;
            report.notes.push_back(
                {row.line, word, QStringLiteral("意味か用例が長すぎるため切り詰めました")});
        }
    }
    writer.commit();
    return report;
}

namespace detail {

bool utf8Bytes(const QByteArray& bytes, QByteArrayView* utf8, QString* error) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    if (!view.isValidUtf8()) {
        *error = QStringLiteral("このﾌｧｲﾙは UTF-8 で書かれていません（別の文字ｺｰﾄﾞのﾌｧｲﾙです）。"
                                "\r\nUTF-8 で保存し直してから取込んでください。"
                                "取込みを中止しました。");
        return false;
    }
    *utf8 = view;
    return true;
}

bool utf8Text(const QByteArray& bytes, QString* text, QString* error) {
    QByteArrayView view;
    if (!utf8Bytes(bytes, &view, error))
        return false;
    *text = QString::fromUtf8(view);
    return true;
}

QString htmlPageMessage(const QByteArray& bytes, const QString& formatName) {
    QByteArrayView head = QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), 1024));
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.sliced(3);
    const QByteArray lower = head.trimmed().toByteArray().toLower();
    if (lower.startsWith("<!doctype html") || lower.startsWith("<html") ||
        (lower.startsWith("<?xml") &&
         (lower.contains("<!doctype html") || lower.contains("<html"))))
        return QStringLiteral("このﾌｧｲﾙは %1 ﾌｧｲﾙではなく、ｳｪﾌﾞﾍﾟｰｼﾞ（HTML）です。\r\n"
                              "取込みを中止しました。")
            .arg(formatName);
    return {};
}

} // namespace detail

} // namespace exchange
