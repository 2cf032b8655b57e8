// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QObject>
#include <optional>

class QTextDocument;
class RichTextPane;
class TranslatorLForm;
struct ProjectState;

// Keeps the formatting bar in step with the selection of the pane being worked in, and marks a
// pane modified (enabling Save) on the first real change of its text or formatting. Moving the
// caret or selecting changes nothing in the document, so it never makes a pane modified: a
// document marked changed for nothing would be rewritten on the save question.
class SelectionTracking : public QObject {
    Q_OBJECT
public:
    SelectionTracking(TranslatorLForm& form, ProjectState& project);

    // Shows the format of the pane's selection in the bar; a bare caret leaves the bar as it is.
    void showSelection(RichTextPane* pane);

    // The colour-list item (0-based) that shows a colour; a mixed selection shows "自動".
    static int colorItem(const std::optional<QColor>& color);

private:
    void watch(RichTextPane* pane, bool original);
    void contentsChanged(RichTextPane* pane, bool original);

    TranslatorLForm& m_form;
    ProjectState& m_project;
    // The document each pane showed when last seen: loading a file replaces it, which is no change
    // made by the user.
    const QTextDocument* m_documents[2] = {nullptr, nullptr};
};
