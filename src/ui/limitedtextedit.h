#pragma once

#include <QPlainTextEdit>

// A multi-line box that accepts at most a given number of typed or pasted characters. Text the
// program sets is shown whole. Its text is kept with CR LF line ends, as records store it.
class LimitedTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LimitedTextEdit(int maxLength, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int room() const;
    int m_maxLength;
};
