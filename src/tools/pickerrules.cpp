// SPDX-License-Identifier: GPL-3.0-or-later
#include "pickerrules.h"

#include "core/files/folderidentity.h"
#include "core/store/book.h"
#include "core/store/bookmanifest.h"

#include <QFileInfo>

namespace pickerrules {

bool isBookFolder(const QString& folder) {
    return QFileInfo(Book::filesToRead(folder).meanings).isFile();
}

QString folderName(const QString& path) {
    QString p = path;
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    const qsizetype slash = p.lastIndexOf(u'/');
    return slash < 0 ? p : p.mid(slash + 1);
}

QString sameBookRefusal(PickPurpose purpose, const QString& folder, const MergePicks& picks) {
    const QString sameA = QStringLiteral("ﾌﾞｯｸＡと同じﾌﾞｯｸです。別のﾌﾞｯｸを選んでください");
    const QString sameB = QStringLiteral("ﾌﾞｯｸＢと同じﾌﾞｯｸです。別のﾌﾞｯｸを選んでください");
    const QString sameTarget = QStringLiteral("統合先ﾌﾞｯｸと同じﾌﾞｯｸです。別のﾌﾞｯｸを選んでください");
    switch (purpose) {
    case PickPurpose::BookA:
        if (sameFolder(folder, picks.bookB))
            return sameB;
        if (sameFolder(folder, picks.target))
            return sameTarget;
        return {};
    case PickPurpose::BookB:
        if (sameFolder(folder, picks.bookA))
            return sameA;
        if (sameFolder(folder, picks.target))
            return sameTarget;
        return {};
    case PickPurpose::MergeTarget:
        if (sameFolder(folder, picks.bookA))
            return sameA;
        if (sameFolder(folder, picks.bookB))
            return sameB;
        return {};
    default:
        return {};
    }
}

QString mixedRefusal(PickPurpose purpose, const QString& folder) {
    if (purpose != PickPurpose::BookA && purpose != PickPurpose::BookB &&
        purpose != PickPurpose::ImportSource)
        return {};
    const bookmanifest::Check check = bookmanifest::check(folder);
    if (check.state != bookmanifest::State::Mixed)
        return {};
    return QString::fromUtf8(BookMixed(check.differing).what())
        .replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

} // namespace pickerrules
