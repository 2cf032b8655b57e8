#include "limitedtextedit.h"

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

int LimitedTextEdit::room() const {
    return m_maxLength - int(toPlainText().size()) + int(textCursor().selectedText().size());
}

void LimitedTextEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool inserts =
        !typed.isEmpty() &&
        (typed[0].isPrint() || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter);
    if (inserts && !isReadOnly() && room() < int(typed.size())) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedTextEdit::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return;
    const QString text = source->text().left(qMax(0, room()));
    textCursor().insertText(text);
}
