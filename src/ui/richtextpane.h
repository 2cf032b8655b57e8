// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QList>
#include <QTextEdit>
#include <functional>
#include <optional>

namespace richtext {
enum class LoadOutcome;
}

// The rich-text pane of the editor windows: a text edit that loads and saves the editor's
// documents and reads and sets the format of its selection in the editor's own terms (twips,
// "no value" for a selection that mixes several). A new or emptied pane writes in the editor's
// default font. The clipboard and drag and drop carry plain text only, both ways.
class RichTextPane : public QTextEdit {
    Q_OBJECT

public:
    enum class Alignment { Left = 0, Right = 1, Center = 2, Justify = 3 };

    explicit RichTextPane(QWidget* parent = nullptr);

    // Loads RTF, or plain text from a file that is not RTF. A damaged file still shows what could
    // be read; both that and an unreadable file return false with the reason in *error.
    bool loadFile(const QString& path, QString* error = nullptr);
    // The same for a document already in memory (a converted one).
    bool loadBytes(const QByteArray& bytes, QString* error = nullptr);
    // Saves the content as RTF, whatever the file's name.
    bool saveFile(const QString& path, QString* error = nullptr) const;

    int selStart() const;
    int selLength() const;
    QString selText() const;
    void setSelStart(int start);
    void setSelLength(int length);
    void setSelText(const QString& text);
    // The selected text of any text control, paragraph ends and line breaks both as line feeds,
    // as plain text has them.
    static QString selectedPlainText(const QTextCursor& cursor);

    std::optional<QString> selFontName() const;
    std::optional<double> selFontSize() const;
    std::optional<bool> selBold() const;
    std::optional<bool> selItalic() const;
    std::optional<bool> selUnderline() const;
    std::optional<bool> selStrikeThrough() const;
    // Text in the automatic colour reads as black.
    std::optional<QColor> selColor() const;
    void setSelFontName(const QString& name);
    // Refuses (returns false) a size that is not a positive number of points.
    bool setSelFontSize(double points);
    void setSelBold(bool on);
    void setSelItalic(bool on);
    void setSelUnderline(bool on);
    void setSelStrikeThrough(bool on);
    void setSelColor(const QColor& color);
    // Merges several character properties into the selection as one edit (into the caret's
    // format without a selection).
    void mergeSelFormat(const QTextCharFormat& format);

    std::optional<Alignment> selAlignment() const;
    void setSelAlignment(Alignment alignment);
    std::optional<bool> selBullet() const;
    void setSelBullet(bool on);
    int bulletIndent() const { return bulletIndent_; }
    void setBulletIndent(int twips) { bulletIndent_ = twips; }
    // The indent of a bulleted paragraph is where its bullet stands; its text starts a bullet
    // indent further in. Indents are never negative.
    std::optional<int> selIndent() const;
    void setSelIndent(int twips);
    // Tab stops (twips) of the first paragraph of the selection.
    int selTabCount() const;
    QList<int> selTabs() const;
    // Sets the tab stops of every paragraph of the selection.
    void setSelTabs(const QList<int>& twips);

    // Where lines wrap, in twips from the left edge of the text; 0 wraps at the pane's width.
    int rightMargin() const { return rightMargin_; }
    void setRightMargin(int twips);

    // True while the pane handles an input-method event that only shows text being composed:
    // the document then changes in appearance, not in content.
    bool isComposing() const { return composing_; }

    // Whether the selection stays highlighted while another control has the focus.
    bool keepsSelectionVisible() const { return keepSelectionVisible_; }
    void setKeepSelectionVisible(bool keep);

    // Where the mouse button was last released, in the viewport's coordinates.
    QPoint lastMouseUpPosition() const { return lastMouseUp_; }

    // Moves the caret forward from the end of the selection to the next character that is in
    // set (stopAtMember) or not in set (!stopAtMember), or to the end of the text.
    void upTo(const QString& set, bool stopAtMember = true);
    // Extends the selection forward over characters that are not in set.
    void span(const QString& set);

signals:
    // The editor reacts to these instead of filtering the pane's events.
    void gotFocus();
    // Before the pane handles the key.
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    // After the pane has handled the release (the selection is already final).
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // A file was loaded into a new document that replaced the pane's old one.
    void documentReplaced();

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusInEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool loadWith(const std::function<richtext::LoadOutcome(QTextDocument*)>& read);
    template <typename T, typename Read> std::optional<T> uniformChar(Read read) const;
    template <typename T, typename Read> std::optional<T> uniformBlock(Read read) const;
    template <typename Change> void forEachSelectedBlock(Change change);
    template <typename Edit> void editSelection(Edit edit);
    int endOfView() const;
    void applySelectionPalette();
    void watchDocument();
    void restoreDefaultFormatWhenEmptied();

    int bulletIndent_ = 0;
    int rightMargin_ = 0;
    bool keepSelectionVisible_ = false;
    bool composing_ = false;
    int characterCount_ = 1;
    QPoint lastMouseUp_;
};
