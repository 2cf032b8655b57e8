// SPDX-License-Identifier: GPL-3.0-or-later
#include "limitedtextedit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

LimitedTextEdit::LimitedTextEdit(int maxLength, QWidget* parent)
    : QPlainTextEdit(parent), m_maxLength(maxLength) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
}

QString LimitedTextEdit::text() const {
    QString t = toPlainText();
    t.replace(u'\n', QStringLiteral("\r\n"));
    return t;
}

void LimitedTextEdit::setText(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    setPlainText(t);
}

// Characters the user may still add in place of the selection; negative when the program set a
// longer text.
int LimitedTextEdit::room() const {
    return m_maxLength - int(toPlainText().size()) + int(textCursor().selectedText().size());
}

// The part of text that fits, never ending in half a surrogate pair. Beeps when text was cut, as
// a box with an input limit does.
QString LimitedTextEdit::fitted(const QString& text, int extraRoom) const {
    qsizetype keep = qBound(0, room() + extraRoom, int(text.size()));
    if (keep == text.size())
        return text;
    if (keep > 0 && text[keep - 1].isHighSurrogate())
        --keep;
    QApplication::beep();
    return text.left(keep);
}

void LimitedTextEdit::insertPlainText(const QString& text) {
    if (isReadOnly())
        return;
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    QPlainTextEdit::insertPlainText(fitted(t));
}

void LimitedTextEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool inserts =
        !typed.isEmpty() &&
        (typed[0].isPrint() || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter);
    if (inserts && !isReadOnly() && room() < int(typed.size())) {
        QApplication::beep();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

// Paste by key, by the context menu and by the mouse's middle button, and drops, all arrive here.
void LimitedTextEdit::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText() || isReadOnly())
        return;
    insertPlainText(source->text());
}

void LimitedTextEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (isReadOnly()) {
        // Qt hands a locked box's commits to its text all the same.
        event->ignore();
        return;
    }
    if (commit.isEmpty()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    // A commit may replace characters beside the cursor; those make room for it.
    const QString kept = fitted(commit, event->replacementLength());
    if (kept.size() == commit.size()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&cut);
    event->accept();
}
