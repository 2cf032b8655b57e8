// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>

// A multi-line box that takes at most a given number of characters from the user, however they
// arrive: typed, pasted by key or menu, dropped, or committed by an input method. Text the
// program sets is shown whole. Its text is kept with CR LF line ends, as records store it.
class LimitedTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LimitedTextEdit(int maxLength, QWidget* parent = nullptr);

    int maxLength() const { return m_maxLength; }
    QString text() const;
    void setText(const QString& text);
    // Replaces the selection with as much of text as the limit leaves room for. Hides the
    // unlimited QPlainTextEdit::insertPlainText, which the edit menu's paste would otherwise use.
    void insertPlainText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    int room() const;
    QString fitted(const QString& text, int extraRoom = 0) const;
    int m_maxLength;
};
