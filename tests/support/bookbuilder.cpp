// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookbuilder.h"

#include "core/settings/textrecord.h"
#include "core/store/book.h"
#include "core/store/storedtext.h"
#include "core/text/cp932.h"

#include <QDir>
#include <QFile>

void BookBuilder::write(bool withExamples) const {
    QDir().mkpath(m_folder);
    TextRecordWriter words;
    QByteArray means;
    QByteArray reis;
    int recordNo = 1;
    for (const BookWord& w : m_words) {
        words.addString(w.word).addInt(recordNo++).endRecord();
        means += cp932::encodeField(w.meaning, 200);
        reis += cp932::encodeField(w.example, 400);
    }
    auto put = [this](const QString& name, const QByteArray& bytes) {
        QFile f(m_folder + u'/' + name);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    };
    if (!m_words.empty())
        put(QStringLiteral("words.vtd"), words.bytes());
    put(QStringLiteral("means.vtd"), means);
    if (withExamples)
        put(QStringLiteral("reis.vtd"), reis);
}

QStringList bookContents(const QString& folder) {
    Book book(folder);
    book.open();
    QStringList out;
    for (int p = 0; p < book.index().size(); ++p) {
        const IndexEntry& e = book.index().at(p);
        out << e.word + u'|' + storedtext::trimmedRight(book.meaning(e.recordNo)) + u'|' +
                   storedtext::trimmedRight(book.example(e.recordNo));
    }
    book.close();
    return out;
}
