#include "booklist.h"

#include "atomicfile.h"
#include "cp932.h"
#include "failure.h"
#include "textrecord.h"

#include <QFile>

namespace booklist {

QList<BookEntry> read(const QString& appFolder) {
    const QString path = appFolder + u'/' + File;
    QList<BookEntry> books;
    if (!QFile::exists(path))
        return books;
    TextRecordReader r = TextRecordReader::fromFile(path);
    while (!r.atEnd()) {
        BookEntry e;
        e.name = r.readString();
        e.setName = r.readString();
        books.append(e);
    }
    return books;
}

void write(const QString& appFolder, const QList<BookEntry>& books) {
    const QString path = appFolder + u'/' + File;
    if (books.isEmpty()) {
        if (QFile::exists(path) && !QFile::remove(path))
            throw RuntimeFailure(failure::PermissionDenied, File);
        return;
    }
    TextRecordWriter w;
    for (const BookEntry& e : books)
        w.addString(e.name).addString(e.setName).endRecord();
    writeFileAtomically(path, w.bytes());
}

} // namespace booklist

QString refusalForName(const QString& name, const QString& what) {
    if (name.trimmed().isEmpty())
        return what + QStringLiteral("が空です。");
    if (name == u"." || name == u"..")
        return QStringLiteral("「%1」は%2に使えません。").arg(name, what);
    if (name.contains(u'"'))
        return what + QStringLiteral("にダブルクォーテーション（\"）は使えません。");
    if (name.contains(u'/') || name.contains(u'\\'))
        return what + QStringLiteral("に「/」や「\\」は使えません。");
    for (QChar c : name)
        if (c.category() == QChar::Other_Control)
            return what + QStringLiteral("に改行やタブなどの制御文字は使えません。");
    const QString bad = cp932::unencodable(name);
    if (!bad.isEmpty())
        return what + QStringLiteral("に保存できない文字が含まれています：") + bad;
    return {};
}
