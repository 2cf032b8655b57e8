// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/files/failure.h"

#include <QString>
#include <functional>
#include <new>

// Every event handler runs inside the error guard with its own context phrase and code. An
// unexpected failure is shown in the report box; a terminating handler then says that the program
// ends to protect the data and ends the process at once, saving nothing.

enum class GuardKind { ReportOnly, Terminating };
enum class ClosingLine { Standard, AllContents };

struct ErrorContext {
    QString context; // "ﾒｲﾝﾌｫｰﾑﾛｰﾄﾞ時"
    QString code;    // "Error72": also the report box's title
    GuardKind kind;
    ClosingLine closing = ClosingLine::Standard;
    // A few handlers name their context bare, without the 「」 around it.
    bool bracketedContext = true;
};

// The two kinds of handler, named where they are written: guarded(terminating(u"...", "Error72"),
// ...).
inline ErrorContext terminating(const char16_t* context, const char* code) {
    return {QString::fromUtf16(context), QString::fromLatin1(code), GuardKind::Terminating};
}
inline ErrorContext reportOnly(const char16_t* context, const char* code) {
    return {QString::fromUtf16(context), QString::fromLatin1(code), GuardKind::ReportOnly};
}

inline ErrorContext withBareContext(ErrorContext where) {
    where.bracketedContext = false;
    return where;
}

// The report box's text, exactly as the user sees it.
QString errorReportText(int number, const QString& description, const QString& context,
                        ClosingLine closing, bool bracketedContext = true);

// The report's description of an exception that is not a RuntimeFailure: the program's own say
// why in Japanese; a library's English text is kept, for the author, after a Japanese lead.
QString unexpectedFailureText(const std::exception& e);

// Shows the report box and, for a terminating context, the second box and the end of the process.
void reportError(const ErrorContext& where, int number, const QString& description);

// How the process ends after a terminating report. Tests replace it; the default exits at once.
using Terminator = std::function<void()>;
void setTerminator(Terminator terminator);
// Runs once just before a terminating report ends the process, to put copies of unsaved work
// somewhere safe (never over the user's own files); empty to remove it.
void setBeforeTermination(std::function<void()> lastCopy);
void terminateProgram();

// Runs the handler body. Returns false when it failed (and was reported).
template <class Body> bool guarded(const ErrorContext& where, Body&& body) {
    try {
        body();
        return true;
    } catch (const RuntimeFailure& e) {
        reportError(where, e.number(), e.description());
    } catch (const std::bad_alloc&) {
        reportError(where, failure::OutOfMemory, RuntimeFailure::describe(failure::OutOfMemory));
    } catch (const std::exception& e) {
        reportError(where, failure::InvalidCall, unexpectedFailureText(e));
    }
    return false;
}
