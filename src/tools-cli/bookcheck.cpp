// SPDX-License-Identifier: GPL-3.0-or-later
// bookcheck FOLDER: lists a book's words as the program reads them, without writing to the book,
// and reports what is wrong with it: words that are not CP932, lines whose closing quote is
// missing, record numbers that are unreadable, outside the files, shared by several words or
// pointing at deleted records, damaged records, short record files and leftover temporary files.
// A replacement a kill interrupted is reported as one the next start will finish, and the words
// are listed as they will read then. A set whose files do not match its manifest (a sync in
// progress) is reported as mixed, with the files that differ, and not read. Exits 1 when it found
// anything. Useful on a book copied from
// elsewhere.
#include "core/files/failure.h"
#include "core/store/book.h"
#include "core/store/bookmanifest.h"

#include <QCoreApplication>
#include <QHash>
#include <QTextStream>

namespace {

QString forOneLine(QString text) {
    while (text.endsWith(u' '))
        text.chop(1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    text.replace(u'\r', QStringLiteral("\\n"));
    text.replace(u'\n', QStringLiteral("\\n"));
    return text;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        err << "usage: bookcheck FOLDER\n";
        return 2;
    }
    Book book(args[1]);
    // A checker reports the set as it finds it: no waiting for a sync to complete it.
    bookmanifest::setWait(nullptr);
    try {
        book.open(/*readOnly=*/true);
    } catch (const BookMixed& mixed) {
        err << mixed.reason() << '\n';
        return 1;
    } catch (const BookMissing&) {
        err << "no such book folder: " << args[1] << '\n';
        return 2;
    } catch (const RuntimeFailure& f) {
        err << "cannot read the book: " << f.number() << ' ' << f.description() << '\n';
        return 2;
    }
    QStringList problems = book.problems();
    const int records = book.meaningRecordCount();
    QHash<qint32, QStringList> wordsOfRecord;
    for (int p = 0; p < book.index().size(); ++p)
        wordsOfRecord[book.index().at(p).recordNo] << book.index().at(p).word;
    for (auto it = wordsOfRecord.cbegin(); it != wordsOfRecord.cend(); ++it)
        if (it.value().size() > 1)
            problems << QStringLiteral("レコード %1 を %2 語が共有しています: %3")
                            .arg(it.key())
                            .arg(it.value().size())
                            .arg(it.value().join(QStringLiteral(", ")));
    for (int p = 0; p < book.index().size(); ++p) {
        const IndexEntry& e = book.index().at(p);
        QString meaning;
        QString example;
        if (e.recordNo < 1 || e.recordNo > records) {
            problems << QStringLiteral("%1: レコード番号 %2 がレコードの範囲 (1〜%3) の外です")
                            .arg(e.word)
                            .arg(e.recordNo)
                            .arg(records);
        } else {
            bool meaningOk = true;
            bool exampleOk = true;
            meaning = book.meaning(e.recordNo, &meaningOk);
            example = book.example(e.recordNo, &exampleOk);
            if (!meaningOk || !exampleOk)
                problems << QStringLiteral("%1: レコード %2 を CP932 の文字として読めません")
                                .arg(e.word)
                                .arg(e.recordNo);
            if (meaning.trimmed() == bookfile::DeletionMarker)
                problems << QStringLiteral("%1: レコード %2 は削除済み (###) です")
                                .arg(e.word)
                                .arg(e.recordNo);
        }
        out << e.word << '\t' << e.recordNo << '\t' << forOneLine(meaning) << '\t'
            << forOneLine(example) << '\n';
    }
    out.flush();
    for (const QString& problem : problems)
        err << problem << '\n';
    return problems.isEmpty() ? 0 : 1;
}
