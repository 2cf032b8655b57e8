// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/store/csvimport.h"
#include "formats.h"
#include "utf8records.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

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

namespace {

// The names of a format: in the file dialogs' filter, as a file extension, and in messages.
struct FormatNames {
    const char16_t* filter;
    const char16_t* suffix;
    const char16_t* name;
};

const FormatNames& namesOf(Format format) {
    static const FormatNames names[] = {
        {u"Anki 用テキスト (*.txt)", u"txt", u"Anki"},
        {u"KWordQuiz / Parley (*.kvtml)", u"kvtml", u"kvtml"},
        {u"OmegaT 用語集 (*.utf8)", u"utf8", u"OmegaT"},
        {u"TBX 用語集 (*.tbx)", u"tbx", u"TBX"},
    };
    return names[int(format)];
}

} // namespace

bool formatOfFile(const QString& path, Format* format) {
    if (!formatOfPath(path, format))
        return false;
    if (*format != Format::Anki)
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // the reader names what cannot be read
    for (const QByteArray& line : file.read(64 * 1024).split('\n')) {
        if (line.startsWith("#separator:"))
            return true;
        if (line.startsWith('#') || line.trimmed().isEmpty())
            continue; // Anki's other headers
        return line.contains('\t');
    }
    return true;
}

QString filterOf(Format format) {
    return QString::fromUtf16(namesOf(format).filter);
}

QString suffixOf(Format format) {
    return QString::fromUtf16(namesOf(format).suffix);
}

QString nameOf(Format format) {
    return QString::fromUtf16(namesOf(format).name);
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

namespace {

void prefetch(const QString& text) {
    __builtin_prefetch(text.constData());
}

} // namespace

booktransfer::CsvImportReport importRows(const std::vector<Row>& rows,
                                         const QString& receivingFolder, TransferHook hook) {
    booktransfer::RowImport import(receivingFolder, std::move(hook), rows.size());
    // The rows were read in full before the book is touched, so their text is no longer in the
    // cache: the row a few ahead is asked for while this one is added.
    constexpr size_t Ahead = 4;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i + Ahead < rows.size()) {
            const Row& ahead = rows[i + Ahead];
            prefetch(ahead.word);
            prefetch(ahead.meaning);
            prefetch(ahead.example);
        }
        const Row& row = rows[i];
        import.add(row.line, row.word, row.meaning, row.example, row.fields);
    }
    return import.commit();
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

bool lineFileText(const QByteArray& bytes, const QString& formatName, QString* text,
                  QString* error) {
    if (!utf8Text(bytes, text, error))
        return false;
    *error = htmlPageMessage(bytes, formatName);
    return error->isEmpty();
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
