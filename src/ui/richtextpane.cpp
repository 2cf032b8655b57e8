// SPDX-License-Identifier: GPL-3.0-or-later
#include "richtextpane.h"

#include "core/richtext/charstyle.h"
#include "core/richtext/documentfile.h"
#include "core/richtext/paragraphstyle.h"
#include "core/richtext/twips.h"
#include "largeedit.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>

namespace {

// A paragraph end or line break inside the document stands for whichever line-end character a
// set of stop characters names.
bool inSet(const QString& set, QChar c) {
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
        return set.contains(QChar(u'\n')) || set.contains(QChar(u'\r'));
    return set.contains(c);
}

QTextCharFormat defaultCharFormat() {
    QTextCharFormat format;
    format.setFontFamilies({richtext::defaultFontFamily()});
    format.setFontPointSize(richtext::defaultFontPointSize());
    return format;
}

} // namespace

RichTextPane::RichTextPane(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(true);
    // Set on the widget itself so that a parent's font does not replace it; the edit passes it
    // on to its document as the default font.
    const QFont font(richtext::defaultFontFamily(), int(richtext::defaultFontPointSize()));
    setFont(font);
    document()->setDefaultFont(font);
    setCurrentCharFormat(defaultCharFormat());
    applySelectionPalette();
    watchDocument();
}

void RichTextPane::watchDocument() {
    connect(this, &QTextEdit::textChanged, this, &RichTextPane::restoreDefaultFormatWhenEmptied,
            Qt::UniqueConnection);
    characterCount_ = document()->characterCount();
}

void RichTextPane::restoreDefaultFormatWhenEmptied() {
    // Emptying the pane, however it happens, leaves no trace of the text's formats behind: what
    // is typed next is in the default font again. This runs after the edit has set its own
    // format for what follows (clear() keeps the old one). Only the caret's format changes, not
    // the document, so undoing the emptying is still one step and redo is not lost.
    const int before = characterCount_;
    characterCount_ = document()->characterCount();
    if (before <= 1 || !document()->isEmpty())
        return;
    setCurrentCharFormat(defaultCharFormat());
}

bool RichTextPane::loadFile(const QString& path, QString* error) {
    return loadWith(
        [&](QTextDocument* loaded) { return richtext::loadDocument(path, loaded, error); });
}

bool RichTextPane::loadBytes(const QByteArray& bytes, QString* error) {
    return loadWith(
        [&](QTextDocument* loaded) { return richtext::loadDocumentBytes(bytes, loaded, error); });
}

bool RichTextPane::loadWith(const std::function<richtext::LoadOutcome(QTextDocument*)>& read) {
    // Reading into a document no view is attached to spares laying out every paragraph as it
    // arrives; the pane lays out the finished document once.
    auto* loaded = new QTextDocument(this);
    loaded->setDefaultFont(document()->defaultFont());
    loaded->setDocumentMargin(document()->documentMargin());
    const richtext::LoadOutcome outcome = read(loaded);
    if (outcome == richtext::LoadOutcome::Unreadable) {
        delete loaded;
        return false;
    }
    // The edit control deletes the document it made itself; one this pane loaded is the pane's
    // to delete, and must be judged before the switch.
    QTextDocument* old = document();
    const bool ownedHere = old->parent() == this;
    // Without a page size the document is not laid out when the edit control takes it, only
    // when the control gives it its own width straight after: once instead of twice.
    loaded->setPageSize(QSizeF(0, 0));
    setDocument(loaded);
    if (ownedHere)
        delete old;
    watchDocument();
    loaded->setModified(false);
    moveCursor(QTextCursor::Start);
    emit documentReplaced();
    return outcome == richtext::LoadOutcome::Loaded;
}

bool RichTextPane::saveFile(const QString& path, QString* error) const {
    return richtext::saveDocument(path, *document(), error);
}

int RichTextPane::selStart() const {
    return textCursor().selectionStart();
}

int RichTextPane::selLength() const {
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

QString RichTextPane::selText() const {
    // The same line ends as toPlainText(), so positions found in one hold in the other.
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QChar(u'\n'));
    return text;
}

QString RichTextPane::selectedPlainText(const QTextCursor& cursor) {
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

void RichTextPane::setSelStart(int start) {
    QTextCursor c = textCursor();
    c.setPosition(std::clamp(start, 0, document()->characterCount() - 1));
    setTextCursor(c);
}

void RichTextPane::setSelLength(int length) {
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    const int end =
        std::clamp(start + std::max(length, 0), start, document()->characterCount() - 1);
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void RichTextPane::setSelText(const QString& text) {
    textCursor().insertText(text);
}

template <typename T, typename Read> std::optional<T> RichTextPane::uniformChar(Read read) const {
    const QTextCursor c = textCursor();
    if (!c.hasSelection())
        return read(c.charFormat());
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    std::optional<T> value;
    for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() < end;
         b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= start || f.position() >= end)
                continue;
            const T v = read(f.charFormat());
            if (!value)
                value = v;
            else if (*value != v)
                return std::nullopt;
        }
    }
    return value ? value : read(c.charFormat());
}

template <typename T, typename Read> std::optional<T> RichTextPane::uniformBlock(Read read) const {
    const QTextCursor c = textCursor();
    const QTextBlock last = document()->findBlock(c.selectionEnd());
    std::optional<T> value;
    for (QTextBlock b = document()->findBlock(c.selectionStart()); b.isValid(); b = b.next()) {
        const T v = read(b);
        if (!value)
            value = v;
        else if (*value != v)
            return std::nullopt;
        if (b == last)
            break;
    }
    return value;
}

std::optional<QString> RichTextPane::selFontName() const {
    const QString fallback = document()->defaultFont().family();
    return uniformChar<QString>([&](const QTextCharFormat& f) {
        const QStringList families = f.fontFamilies().toStringList();
        return families.isEmpty() || families.front().isEmpty() ? fallback : families.front();
    });
}

std::optional<double> RichTextPane::selFontSize() const {
    const double fallback = document()->defaultFont().pointSizeF();
    return uniformChar<double>([&](const QTextCharFormat& f) {
        return f.fontPointSize() > 0 ? f.fontPointSize() : fallback;
    });
}

std::optional<bool> RichTextPane::selBold() const {
    return uniformChar<bool>(
        [](const QTextCharFormat& f) { return f.fontWeight() >= QFont::DemiBold; });
}

std::optional<bool> RichTextPane::selItalic() const {
    return uniformChar<bool>([](const QTextCharFormat& f) { return f.fontItalic(); });
}

std::optional<bool> RichTextPane::selUnderline() const {
    return uniformChar<bool>([](const QTextCharFormat& f) {
        return richtext::underline(f) != richtext::Underline::None;
    });
}

std::optional<bool> RichTextPane::selStrikeThrough() const {
    return uniformChar<bool>([](const QTextCharFormat& f) { return f.fontStrikeOut(); });
}

std::optional<QColor> RichTextPane::selColor() const {
    return uniformChar<QColor>([](const QTextCharFormat& f) {
        if (!f.hasProperty(QTextFormat::ForegroundBrush) || f.foreground().style() == Qt::NoBrush)
            return QColor(0, 0, 0);
        return f.foreground().color();
    });
}

void RichTextPane::mergeSelFormat(const QTextCharFormat& format) {
    // Without a selection the format is the one typing goes on in, which only the edit control
    // keeps.
    if (!textCursor().hasSelection()) {
        mergeCurrentCharFormat(format);
        return;
    }
    // The edit control picks up the selection's new format from the change signal.
    editSelection([&](QTextCursor& c) { c.mergeCharFormat(format); });
}

int RichTextPane::endOfView() const {
    return cursorForPosition(QPoint(viewport()->width() - 1, viewport()->height() - 1)).position();
}

template <typename Edit> void RichTextPane::editSelection(Edit edit) {
    // Laying the document out afresh costs the text down to the bottom of the view before the
    // pane can repaint; relaying out only the changed paragraphs costs the selection's length.
    // Selecting all of a large document and making it bold must not freeze the window for the
    // whole document's layout.
    QTextCursor c = textCursor();
    if (c.selectionEnd() - c.selectionStart() > endOfView()) {
        largeedit::run(c, edit);
        return;
    }
    c.beginEditBlock();
    edit(c);
    c.endEditBlock();
}

void RichTextPane::setSelFontName(const QString& name) {
    QTextCharFormat f;
    f.setFontFamilies({name});
    mergeSelFormat(f);
}

bool RichTextPane::setSelFontSize(double points) {
    if (!(points > 0) || points > 1638)
        return false;
    QTextCharFormat f;
    f.setFontPointSize(points);
    mergeSelFormat(f);
    return true;
}

void RichTextPane::setSelBold(bool on) {
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeSelFormat(f);
}

void RichTextPane::setSelItalic(bool on) {
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeSelFormat(f);
}

void RichTextPane::setSelUnderline(bool on) {
    QTextCharFormat f;
    richtext::setUnderline(f, on ? richtext::Underline::Single : richtext::Underline::None);
    mergeSelFormat(f);
}

void RichTextPane::setSelStrikeThrough(bool on) {
    QTextCharFormat f;
    f.setFontStrikeOut(on);
    mergeSelFormat(f);
}

void RichTextPane::setSelColor(const QColor& color) {
    QTextCharFormat f;
    f.setForeground(color);
    mergeSelFormat(f);
}

template <typename Change> void RichTextPane::forEachSelectedBlock(Change change) {
    editSelection([&](QTextCursor& c) {
        const QTextBlock last = document()->findBlock(c.selectionEnd());
        for (QTextBlock b = document()->findBlock(c.selectionStart()); b.isValid(); b = b.next()) {
            QTextCursor bc(b);
            change(bc);
            if (b == last)
                break;
        }
    });
}

std::optional<RichTextPane::Alignment> RichTextPane::selAlignment() const {
    return uniformBlock<Alignment>([](const QTextBlock& b) {
        const Qt::Alignment a = b.blockFormat().alignment();
        if (a & Qt::AlignHCenter)
            return Alignment::Center;
        if (a & Qt::AlignRight)
            return Alignment::Right;
        if (a & Qt::AlignJustify)
            return Alignment::Justify;
        return Alignment::Left;
    });
}

void RichTextPane::setSelAlignment(Alignment alignment) {
    const Qt::Alignment a = alignment == Alignment::Center    ? Qt::AlignHCenter
                            : alignment == Alignment::Right   ? Qt::AlignRight
                            : alignment == Alignment::Justify ? Qt::AlignJustify
                                                              : Qt::AlignLeft;
    forEachSelectedBlock([&](QTextCursor& c) {
        QTextBlockFormat f;
        f.setAlignment(a);
        c.mergeBlockFormat(f);
    });
}

std::optional<bool> RichTextPane::selBullet() const {
    return uniformBlock<bool>([](const QTextBlock& b) { return richtext::hasBullet(b); });
}

void RichTextPane::setSelBullet(bool on) {
    forEachSelectedBlock([&](QTextCursor& c) { richtext::setBullet(c, on, bulletIndent_); });
}

std::optional<int> RichTextPane::selIndent() const {
    return uniformBlock<int>([](const QTextBlock& b) { return richtext::indentTwips(b); });
}

void RichTextPane::setSelIndent(int twips) {
    forEachSelectedBlock([&](QTextCursor& c) { richtext::setIndent(c, twips); });
}

int RichTextPane::selTabCount() const {
    return int(selTabs().size());
}

QList<int> RichTextPane::selTabs() const {
    const QTextBlock first = document()->findBlock(textCursor().selectionStart());
    return richtext::tabStopsTwips(first.blockFormat());
}

void RichTextPane::setSelTabs(const QList<int>& twips) {
    forEachSelectedBlock([&](QTextCursor& c) {
        QTextBlockFormat f = c.blockFormat();
        richtext::setTabStops(f, twips);
        c.setBlockFormat(f);
    });
}

void RichTextPane::setRightMargin(int twips) {
    rightMargin_ = std::max(twips, 0);
    if (rightMargin_ == 0) {
        setLineWrapMode(QTextEdit::WidgetWidth);
        return;
    }
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setLineWrapColumnOrWidth(std::max(1, twips::toPixels(rightMargin_)));
}

void RichTextPane::setKeepSelectionVisible(bool keep) {
    keepSelectionVisible_ = keep;
    applySelectionPalette();
}

void RichTextPane::applySelectionPalette() {
    QPalette p = palette();
    if (keepSelectionVisible_) {
        p.setColor(QPalette::Inactive, QPalette::Highlight,
                   p.color(QPalette::Active, QPalette::Highlight));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   p.color(QPalette::Active, QPalette::HighlightedText));
    } else {
        // Without the focus a hidden selection draws like the text around it.
        p.setColor(QPalette::Inactive, QPalette::Highlight,
                   p.color(QPalette::Inactive, QPalette::Base));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   p.color(QPalette::Inactive, QPalette::Text));
    }
    setPalette(p);
}

void RichTextPane::upTo(const QString& set, bool stopAtMember) {
    const QTextDocument* doc = document();
    const int end = doc->characterCount() - 1;
    int pos = textCursor().selectionEnd();
    while (pos < end && inSet(set, doc->characterAt(pos)) != stopAtMember)
        ++pos;
    QTextCursor c = textCursor();
    c.setPosition(pos);
    setTextCursor(c);
}

void RichTextPane::span(const QString& set) {
    const QTextDocument* doc = document();
    const int end = doc->characterCount() - 1;
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    int pos = c.selectionEnd();
    while (pos < end && !inSet(set, doc->characterAt(pos)))
        ++pos;
    c.setPosition(start);
    c.setPosition(pos, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void RichTextPane::focusInEvent(QFocusEvent* event) {
    QTextEdit::focusInEvent(event);
    emit gotFocus();
}

void RichTextPane::inputMethodEvent(QInputMethodEvent* event) {
    composing_ = event->commitString().isEmpty() && event->replacementLength() == 0;
    QTextEdit::inputMethodEvent(event);
    composing_ = false;
}

void RichTextPane::keyPressEvent(QKeyEvent* event) {
    emit keyDown(event->key(), event->modifiers());
    QTextEdit::keyPressEvent(event);
}

void RichTextPane::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    lastMouseUp_ = event->position().toPoint();
    emit mouseUp(event->button(), event->modifiers());
}

QMimeData* RichTextPane::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(textCursor().selection().toPlainText());
    return data;
}

bool RichTextPane::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText() || source->hasHtml();
}

void RichTextPane::insertFromMimeData(const QMimeData* source) {
    // Only the text comes in; it takes the format at the caret, as typed text would.
    QString text = source->hasText() ? source->text()
                   : source->hasHtml()
                       ? QTextDocumentFragment::fromHtml(source->html()).toPlainText()
                       : QString();
    if (text.isEmpty())
        return;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar(u'\r'), QChar(u'\n'));
    QTextCursor c = textCursor();
    c.insertText(text);
    setTextCursor(c);
    ensureCursorVisible();
}
