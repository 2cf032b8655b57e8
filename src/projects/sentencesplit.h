// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringView>
#include <vector>

class FrmTranslatorL;
class RichTextPane;
struct SplitSettings;

// The sentence split of the original text: a line break (and, when numbering, a numbered
// heading) after every sentence from the caret to the end, so the translator can work block by
// block.
namespace sentencesplit {

struct Insertion {
    int position; // in the text before the split
    QString text; // '\n' for each line break
};

// What the split inserts into text from position from on, in text order. A sentence ends behind
// the first terminator after its first character (so "..." ends at its first dot and the next
// block begins with the other two); the spaces after it stay on its line.
std::vector<Insertion> plan(QStringView text, int from, const SplitSettings& settings);

// Splits the pane's text from the caret (the start of a selection, which is kept) to the end as
// one edit: one undo step and one repaint however many sentences there are. The caret ends at
// the end of the text.
void split(RichTextPane& pane, const SplitSettings& settings);

} // namespace sentencesplit

// The original pane's split commands of the editor: run the split and open its settings.
class SentenceSplit : public QObject {
    Q_OBJECT
public:
    explicit SentenceSplit(FrmTranslatorL& window, QObject* parent = nullptr);

    void mnuGoBunkatuClick();
    void mnuBunkatuSetClick();

private:
    FrmTranslatorL& m_window;
};
