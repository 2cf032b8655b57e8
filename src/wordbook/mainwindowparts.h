// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>

// Small helpers the main window's behaviour files share.
namespace mainwindow {

// The palette button that lists every word.
inline constexpr int AllWords = 26;

inline QString trimmedRight(QString s) {
    qsizetype end = s.size();
    while (end > 0 && s[end - 1] == u' ')
        --end;
    s.truncate(end);
    return s;
}

// A locked box can be read and selected but not edited; without its tab stop the Tab key skips it.
inline void lock(QWidget* box, bool locked, bool tabStop) {
    if (auto* line = qobject_cast<QLineEdit*>(box))
        line->setReadOnly(locked);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(box))
        text->setReadOnly(locked);
    box->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace mainwindow
