// SPDX-License-Identifier: GPL-3.0-or-later
#include "systemerror.h"

#include <QStringList>
#include <cerrno>
#include <cstring>

namespace systemerror {
namespace {

struct Cause {
    int error;
    const char16_t* text;
};

constexpr Cause KnownCauses[] = {
    {ENOSPC, u"ディスクの空き容量が不足しています。"},
    {EDQUOT, u"ディスクの使用できる容量の上限に達しています。"},
    {EFBIG, u"ファイルが大きすぎます。"},
    {EACCES, u"アクセスが許可されていません。"},
    {EPERM, u"この操作は許可されていません。"},
    {EROFS, u"読み取り専用のファイルシステムです。"},
    {ENOENT, u"ファイルまたはフォルダが見つかりません。"},
    {ENOTDIR, u"パスの途中にフォルダではないものがあります。"},
    {EISDIR, u"同じ名前のフォルダがあります。"},
    {ENAMETOOLONG, u"ファイル名が長すぎます。"},
    {EIO, u"ディスクの読み書きでエラーが発生しました（入出力エラー）。"},
};

QString generic(const QString& systemText) {
    return QStringLiteral("システムエラーが発生しました（") + systemText + QStringLiteral("）。");
}

// The wordings under which Qt and the C library report an error number: Qt keeps English texts
// of its own for a few, the C library speaks the language of the process's locale.
QStringList wordingsOf(int error) {
    QStringList wordings{qt_error_string(error)};
    const QString library = QString::fromLocal8Bit(std::strerror(error)).trimmed();
    if (!library.isEmpty() && !wordings.contains(library))
        wordings << library;
    return wordings;
}

bool isPlainAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0x7f)
            return false;
    return true;
}

} // namespace

QString text(int error) {
    for (const Cause& cause : KnownCauses)
        if (cause.error == error)
            return QString::fromUtf16(cause.text);
    return generic(QString::fromLocal8Bit(std::strerror(error)).trimmed());
}

QString fromSystemText(const QString& systemText) {
    const QString reported = systemText.trimmed();
    if (reported.isEmpty())
        return QStringLiteral("原因はわかりません。");
    for (const Cause& cause : KnownCauses)
        for (const QString& wording : wordingsOf(cause.error))
            if (reported.contains(wording, Qt::CaseInsensitive))
                return QString::fromUtf16(cause.text);
    // A text already in the user's language (a translated Qt text) needs no lead of ours.
    return isPlainAscii(reported) ? generic(reported) : reported;
}

} // namespace systemerror
