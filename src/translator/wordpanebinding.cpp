#include "wordpanebinding.h"

#include "core/book.h"
#include "core/session.h"
#include "frmtranslatorl.h"
#include "platform/appearance.h"
#include "ui/limitedtextedit.h"
#include "ui/translatorlform.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

WordPaneBinding::WordPaneBinding(FrmTranslatorL& window) : m_window(window) {}

WordPaneBinding::~WordPaneBinding() = default;

void WordPaneBinding::start(Book& book) {
    m_book = &book;
    TranslatorLForm* f = m_window.form();
    const WordIndex& index = book.index();
    f->lblMaxRec->setText(QString::number(index.size()));
    f->ud->setRange(0, qMax(0, index.upperIndex()));
    if (!index.isEmpty()) {
        const IndexEntry& first = index.at(0);
        f->txtInput->setText(first.word);
        f->txtInput->selectAll();
        f->txtWord->setText(first.word);
        f->txtMean->setText(book.meaning(first.recordNo).trimmed());
        f->txtRei->setText(book.example(first.recordNo).trimmed());
    }
}

int WordPaneBinding::mode() const {
    return m_mode;
}

void WordPaneBinding::focusInput() {
    TranslatorLForm* f = m_window.form();
    f->txtInput->setFocus();
    appearance::setInputMethodMode(f->txtInput, session().display.input.imeMode);
}

bool WordPaneBinding::focusByMode() {
    TranslatorLForm* f = m_window.form();
    switch (m_mode) {
    case Normal:
        if (!f->txtInput->text().isEmpty())
            f->txtInput->selectAll();
        focusInput();
        return true;
    case Register:
        f->txtMean->setFocus();
        return true;
    case Modify:
        f->txtWord->selectAll();
        f->txtWord->setFocus();
        return true;
    default:
        return false;
    }
}

bool WordPaneBinding::handleKey(QKeyEvent*) {
    return false;
}

void WordPaneBinding::displayFieldGotFocus(QWidget*) {
    if (m_mode != Normal)
        return;
    QApplication::beep();
    focusInput();
}
