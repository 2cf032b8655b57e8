// SPDX-License-Identifier: GPL-3.0-or-later
#include "errorguard.h"

#include "core/text/numbertext.h"
#include "dialogservice.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

Terminator& currentTerminator() {
    static Terminator terminator = [] {
        std::fflush(nullptr);
        std::_Exit(EXIT_FAILURE);
    };
    return terminator;
}

} // namespace

QString errorReportText(int number, const QString& description, const QString& context,
                        ClosingLine closing, bool bracketedContext) {
    const QString crlf = QStringLiteral("\r\n");
    const QString closingLine =
        closing == ClosingLine::Standard
            ? QStringLiteral(" お手数ですがこのｴﾗｰのすべての内容を作者までご連絡下されば幸いです。")
            : QStringLiteral(" お手数ですがこのｴﾗｰ内容をすべて作者までご連絡下されば幸いです。");
    return QStringLiteral(" ｴﾗｰ番号 = ") + numbertext::signReserving(number) + crlf +
           QStringLiteral(" ｴﾗｰ情報 = ") + description + crlf +
           (bracketedContext ? QStringLiteral(" 「") + context + QStringLiteral("」")
                             : QStringLiteral(" ") + context) +
           QStringLiteral("ｴﾗｰが発生しました。頻繁にｴﾗｰが発生するようでしたら") + crlf +
           closingLine;
}

QString unexpectedFailureText(const std::exception& e) {
    const QString what = QString::fromUtf8(e.what());
    const bool libraryText =
        std::all_of(what.cbegin(), what.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (!libraryText)
        return what;
    return RuntimeFailure::describe(failure::InvalidCall) + QStringLiteral(" (") + what +
           QLatin1Char(')');
}

void reportError(const ErrorContext& where, int number, const QString& description) {
    showMessage(
        errorReportText(number, description, where.context, where.closing, where.bracketedContext),
        where.code);
    if (where.kind == GuardKind::Terminating) {
        showMessage(
            QStringLiteral("予期出来なかったｴﾗｰです。ﾃﾞｰﾀ保護のためｱﾌﾟﾘｹｰｼｮﾝを強制終了します。"),
            QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの終了"));
        terminateProgram();
    }
}

void setTerminator(Terminator terminator) {
    currentTerminator() = std::move(terminator);
}

std::function<void()>& beforeTermination() {
    static std::function<void()> lastCopy;
    return lastCopy;
}

void setBeforeTermination(std::function<void()> lastCopy) {
    beforeTermination() = std::move(lastCopy);
}

void terminateProgram() {
    // Taken out first: a failure inside it must not come back here.
    if (const std::function<void()> lastCopy = std::exchange(beforeTermination(), {})) {
        try {
            lastCopy();
        } catch (...) {
        }
    }
    currentTerminator()();
}
