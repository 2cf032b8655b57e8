// SPDX-License-Identifier: GPL-3.0-or-later
#include "booklist.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/files/systemerror.h"
#include "core/settings/textrecord.h"
#include "core/text/cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>
#include <utility>

namespace booklist {
namespace {

QString entryProblem(const BookEntry& e) {
    QString why = names::refusal(e.name, names::Kind::Book);
    if (why.isEmpty())
        why = names::refusal(e.setName, names::Kind::Set);
    return why;
}

// The file as this program writes it, one record per line; used when the file as a whole does not
// read, so one damaged line costs only its own entry.
QList<std::pair<int, std::optional<BookEntry>>> readByLine(const QString& text) {
    QList<std::pair<int, std::optional<BookEntry>>> lines;
    const QStringList raw = text.split(u'\n');
    for (int i = 0; i < raw.size(); ++i) {
        QString line = raw[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        try {
            TextRecordReader r(line, File);
            BookEntry e;
            e.name = r.readString();
            e.setName = r.readString();
            if (!r.atEnd())
                throw RuntimeFailure(failure::TypeMismatch);
            lines.append({i + 1, e});
        } catch (const RuntimeFailure&) {
            lines.append({i + 1, std::nullopt});
        }
    }
    return lines;
}

} // namespace

ListRead<BookEntry> read(const QString& appFolder) {
    const QString path = appFolder + u'/' + File;
    ListRead<BookEntry> result;
    if (!QFile::exists(path))
        return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problems << File + QStringLiteral("：") +
                               systemerror::fromSystemText(file.errorString());
        return result;
    }
    const QString text = cp932::decode(file.readAll());

    QList<std::pair<int, std::optional<BookEntry>>> records;
    try {
        TextRecordReader r(text, File);
        int n = 0;
        while (!r.atEnd()) {
            BookEntry e;
            e.name = r.readString();
            e.setName = r.readString();
            records.append({++n, e});
        }
    } catch (const RuntimeFailure&) {
        records = readByLine(text);
    }

    for (const auto& [line, entry] : records) {
        if (!entry) {
            result.problems << QStringLiteral("%1行目：読み取れません").arg(line);
            continue;
        }
        QString why = entryProblem(*entry);
        if (why.isEmpty())
            for (const BookEntry& seen : std::as_const(result.items))
                if (seen.name == entry->name)
                    why = QStringLiteral("同じ名前のﾌﾞｯｸが前にあります。");
        if (!why.isEmpty()) {
            result.problems << QStringLiteral("「%1」：%2").arg(entry->name, why);
            continue;
        }
        result.items.append(*entry);
    }
    return result;
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

namespace names {
namespace {

// The files the program keeps in the application folder under names of its own; a set file of
// the same name would replace one of them.
bool isProgramFile(const QString& name) {
    static const QStringList own = {
        QStringLiteral("Initial"), QStringLiteral("opfini"),  QStringLiteral("curFData"),
        QStringLiteral("Langset"), QStringLiteral("DirInfo"), QStringLiteral("trinfo"),
        QStringLiteral("ctrinfo"), QStringLiteral("trtabs"),  QStringLiteral("ReviewSet")};
    return own.contains(name, Qt::CaseInsensitive);
}

QString refusalOfForm(const QString& form, const QString& what) {
    if (form == u"." || form == u"..")
        return QStringLiteral("「%1」は%2に使えません。").arg(form, what);
    if (form.contains(u'"'))
        return what + QStringLiteral("にダブルクォーテーション（\"）は使えません。");
    // The yen sign is the backslash of the Japanese code page: it would end up a path separator.
    if (form.contains(u'/') || form.contains(u'\\') || form.contains(QChar(0x00A5)))
        return what + QStringLiteral("に「/」「\\」「¥」は使えません。");
    for (QChar c : form)
        if (c.category() == QChar::Other_Control)
            return what + QStringLiteral("に改行やタブなどの制御文字は使えません。");
    return {};
}

} // namespace

QString refusal(const QString& name, Kind kind) {
    const QString what =
        kind == Kind::Book ? QStringLiteral("ﾌﾞｯｸ名") : QStringLiteral("言語ｾｯﾄ名");
    if (name.trimmed().isEmpty())
        return what + QStringLiteral("が空です。");
    QString why = refusalOfForm(name, what);
    if (!why.isEmpty())
        return why;
    const QString bad = cp932::unencodable(name);
    if (!bad.isEmpty())
        return what + QStringLiteral("に保存できない文字が含まれています：") + bad;
    const QString kept = stored(name);
    why = refusalOfForm(kept, what);
    if (!why.isEmpty())
        return why;
    // A set file is the name and ".vtd"; a book folder named like one of the program's files
    // would stand where that file is written (DirInfo.vtd, curFData.vtd come and go).
    const QString ownFile = kind == Kind::Set ? kept
                            : kept.endsWith(QStringLiteral(".vtd"), Qt::CaseInsensitive)
                                ? kept.chopped(4)
                                : QString();
    if (!ownFile.isEmpty() && isProgramFile(ownFile))
        return QStringLiteral("「%1」はVerbanta自身のﾌｧｲﾙ名なので、%2には使えません。")
            .arg(kept, what);
    return {};
}

QString refusalForNew(const QString& name, Kind kind) {
    if (name.size() > MaxLength)
        return (kind == Kind::Book ? QStringLiteral("ﾌﾞｯｸ名") : QStringLiteral("言語ｾｯﾄ名")) +
               QStringLiteral("は%1文字以内にして下さい。").arg(MaxLength);
    return refusal(name, kind);
}

QString stored(const QString& name) {
    return cp932::roundTrip(name);
}

} // namespace names

namespace booklist {

bool leadsOutside(const QString& appFolder, const QString& name) {
    const QFileInfo info(QDir(appFolder).filePath(name));
    if (!info.exists())
        return false;
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ||
           QFileInfo(resolved).path() != QFileInfo(appFolder).canonicalFilePath();
}

QString outsideReason(const QString& name) {
    return QStringLiteral("ﾌﾞｯｸ『") + name +
           QStringLiteral("』のﾌｫﾙﾀﾞはｱﾌﾟﾘｹｰｼｮﾝのﾌｫﾙﾀﾞの外を指しているため使えません。");
}

} // namespace booklist
