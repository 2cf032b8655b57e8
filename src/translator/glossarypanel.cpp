// SPDX-License-Identifier: GPL-3.0-or-later
#include "glossarypanel.h"

#include "core/dictionary/dictionaryfiles.h"
#include "core/files/failure.h"
#include "core/glossary/foldedtext.h"
#include "core/glossary/glossary.h"
#include "core/glossary/glossarysettings.h"
#include "core/glossary/irregularforms.h"
#include "core/glossary/meaningterms.h"
#include "core/glossary/morphanalyser.h"
#include "core/glossary/sentence.h"
#include "core/settings/session.h"
#include "frmtranslatorl.h"
#include "glossarydock.h"
#include "platform/mecabanalyser.h"
#include "ui/glossarypanelform.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "wordpanebinding.h"

#include <QAbstractUndoItem>
#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

namespace {

// How long one slice of the highlight may keep the interface busy.
constexpr int SliceMilliseconds = 8;
// A pause after typing before the highlight is worked out again.
constexpr int HighlightDelayMilliseconds = 300;

// Meanings keep their lines apart with CR LF, as the book's files do; a lone CR or LF ends a
// line as well.
QString firstLine(const QString& text) {
    const auto lineBreak = [](QChar c) {
        return c == u'\r' || c == u'\n' || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    };
    QString line = text.left(std::find_if(text.begin(), text.end(), lineBreak) - text.begin());
    while (line.endsWith(u' '))
        line.chop(1);
    return line;
}

// An undo step that changes nothing. Put last into an insertion's edit block it keeps the typing
// that follows from being merged into the insertion, which the document does with a text
// insertion that ends a block.
class UndoBoundary : public QAbstractUndoItem {
public:
    void undo() override {}
    void redo() override {}
};

// Said once a run: that a Japanese original is matched by substring for want of the analyser.
bool& analyserNoticeShown() {
    static bool shown = false;
    return shown;
}

bool hasUnspacedText(QStringView text) {
    return std::any_of(text.begin(), text.end(), glossarychars::isUnspaced);
}

QTextCharFormat markFormat() {
    QTextCharFormat f;
    f.setBackground(QColor(255, 236, 150));
    return f;
}

} // namespace

GlossaryPanel::GlossaryPanel(FrmTranslatorL& window)
    : m_window(window), m_settings(std::make_unique<GlossarySettings>()) {}

GlossaryPanel::~GlossaryPanel() {
    stop();
}

void GlossaryPanel::resetRun() {
    analyserNoticeShown() = false;
}

void GlossaryPanel::stop() {
    joinBuilder();
    ++m_generation; // a matcher still on its way belongs to the book before
    m_building = false;
    m_glossary.reset();
    m_paragraphMarks.clear();
    m_pending.clear();
    m_sentence.clear();
    m_highlightRunning = false;
    if (m_book)
        m_book->removeWordChangeListener(m_listenerKey);
    m_book = nullptr;
}

void GlossaryPanel::joinBuilder() {
    if (m_builder.joinable())
        m_builder.join();
}

void GlossaryPanel::start(Book& book) {
    stop();
    m_book = &book;
    *m_settings = GlossarySettings::read(session().appFolder);
    if (!m_settings->enabled)
        return;
    m_listenerKey =
        book.addWordChangeListener([this](const Book::WordChange& c) { bookChanged(c); });
    if (!m_form)
        createForm();
    m_form->lstGlossary->clear();
    m_form->chkGlossaryHighlight->setChecked(m_settings->highlight);
    m_form->mnuGlossary->setChecked(m_settings->visible);
    m_form->setVisible(m_settings->visible);
    if (m_settings->visible)
        makeRoom();
    if (m_settings->visible || m_settings->highlight)
        ensureBuilt();
}

void GlossaryPanel::createForm() {
    TranslatorLForm* f = m_window.form();
    m_form = new GlossaryPanelForm(*f, *f->mnuTransPart);
    new glossarydock::Follower(*f, *m_form);
    connect(m_form->mnuGlossary, &QAction::toggled, this, [this](bool on) { setPanelVisible(on); });
    connect(m_form->mnuGlossaryInsert, &QAction::triggered, this, [this] { insertMeaning(); });
    connect(m_form->mnuGlossaryPick, &QAction::triggered, this, [this] { pickTerm(); });
    connect(m_form, &GlossaryPanelForm::termsRequested, this,
            [this](const QPoint& at) { pickTerm(at); });
    connect(m_form->popGlossaryTerms, &QMenu::triggered, this,
            [this](QAction* a) { insertIntoTranslation(a->data().toString()); });
    connect(m_form->chkGlossaryHighlight, &QCheckBox::toggled, this,
            [this](bool on) { setHighlight(on); });
    connect(m_form, &GlossaryPanelForm::itemChosen, this, [this] { showChosenWord(); });
    connect(f->Rtxt1, &QTextEdit::cursorPositionChanged, this, [this] { refreshList(); });
    connect(f->Rtxt1, &QTextEdit::textChanged, this, [this] {
        refreshList();
        if (m_settings->highlight)
            m_highlightDelay->start();
    });
    for (QScrollBar* bar : {f->Rtxt1->verticalScrollBar(), f->Rtxt1->horizontalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, [this] { showVisibleMarks(); });
        connect(bar, &QScrollBar::rangeChanged, this, [this] { showVisibleMarks(); });
    }
    connect(f->Rtxt1->document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) { shiftMarks(position, removed, added); });
    m_highlightDelay = new QTimer(this);
    m_highlightDelay->setSingleShot(true);
    m_highlightDelay->setInterval(HighlightDelayMilliseconds);
    connect(m_highlightDelay, &QTimer::timeout, this, [this] { restartHighlight(); });
}

// ---- The matcher ----------------------------------------------------------------------------

void GlossaryPanel::ensureBuilt() {
    if (m_glossary || m_building || !m_book)
        return;
    m_building = true;
    m_form->lblGlossaryState->setText(QStringLiteral("登録語を読み込んでいます..."));
    std::vector<Glossary::Word> words;
    const WordIndex& index = m_book->index();
    words.reserve(size_t(index.size()));
    for (int p = 0; p < index.size(); ++p)
        words.push_back({index.at(p).word, index.at(p).recordNo});
    joinBuilder();
    const unsigned generation = m_generation;
    const bool japaneseWords = m_settings->japaneseWords;
    m_builder = std::thread([this, words = std::move(words), generation, japaneseWords]() mutable {
        auto glossary = std::make_shared<Glossary>(words);
        words.clear();
        // Opening the analyser's dictionary takes a moment, so it is done here too.
        if (japaneseWords)
            glossary->setAnalyser(japaneseanalyser::shared());
        // Irregular forms come from the installed English dictionary, when there is one.
        const DictionaryFiles dictionaries =
            DictionaryFiles::locate(DictionaryFiles::defaultRoot());
        glossary->setIrregularForms(std::make_shared<const IrregularForms>(
            IrregularForms::read(dictionaries.wordnetExceptions)));
        // The panel waits for this thread before it goes, so it is there to receive the result.
        QMetaObject::invokeMethod(
            this, [this, glossary, generation] { adopt(glossary, generation); },
            Qt::QueuedConnection);
    });
}

void GlossaryPanel::adopt(std::shared_ptr<Glossary> glossary, unsigned generation) {
    if (generation != m_generation)
        return;
    joinBuilder();
    m_building = false;
    m_glossary = std::move(glossary);
    for (const Book::WordChange& c : m_pending)
        apply(c);
    m_pending.clear();
    m_form->lblGlossaryState->clear();
    refreshList(true);
    if (m_settings->highlight)
        restartHighlight();
    emit ready();
}

void GlossaryPanel::bookChanged(const Book::WordChange& change) {
    if (m_building) {
        m_pending.push_back(change);
        return;
    }
    if (!m_glossary)
        return;
    apply(change);
    refreshList(true);
    if (m_settings->highlight)
        m_highlightDelay->start();
}

void GlossaryPanel::apply(const Book::WordChange& change) {
    m_paragraphMarks.clear();
    if (!change.removed.isEmpty())
        m_glossary->remove(change.removed, change.removedRecordNo);
    if (!change.added.isEmpty())
        m_glossary->add(change.added, change.addedRecordNo);
}

// ---- The list -------------------------------------------------------------------------------

void GlossaryPanel::refreshList(bool force) {
    if (!m_glossary || m_form->isHidden())
        return;
    m_form->lblGlossaryState->clear();
    const QTextCursor caret = m_window.form()->Rtxt1->textCursor();
    const QTextBlock block = caret.block();
    const QString paragraph = block.text();
    const SentenceSpan span = sentenceAround(paragraph, caret.positionInBlock());
    const QString sentence = paragraph.mid(span.start, span.end - span.start);
    if (!force && sentence == m_sentence)
        return;
    m_sentence = sentence;
    const MorphAnalyser* analyser = m_glossary->analyser().get();
    if (!analyser && m_settings->japaneseWords && !analyserNoticeShown() &&
        hasUnspacedText(sentence)) {
        analyserNoticeShown() = true;
        m_form->lblGlossaryState->setText(japaneseanalyser::missingText());
    }
    QTreeWidget* list = m_form->lstGlossary;
    list->clear();
    QTreeWidgetItem* phrase = nullptr;
    for (const GlossaryMatch& m : m_glossary->distinctMatchesWithParts(sentence)) {
        // A Japanese word shows its reading beside it.
        const QString reading = analyser && hasUnspacedText(m.word)
                                    ? morphology::readingOf(*analyser, m.word)
                                    : QString();
        const QString shown = reading.isEmpty() ? m.word : m.word + u'（' + reading + u'）';
        auto* item = new QTreeWidgetItem({shown, firstLine(meaningOf(m.word))});
        item->setData(0, Qt::UserRole, m.word);
        if (m.part && phrase) {
            phrase->addChild(item);
        } else {
            list->addTopLevelItem(item);
            phrase = item;
        }
    }
    list->expandAll();
    if (list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
}

QString GlossaryPanel::meaningOf(const QString& word) const {
    const int position = m_book->index().find(word);
    if (position < 0)
        return {};
    bool ok = false;
    const QString meaning = m_book->meaning(m_book->index().at(position).recordNo, &ok);
    return ok ? meaning : QString();
}

QString GlossaryPanel::chosenWord() const {
    const QTreeWidgetItem* item = m_form ? m_form->lstGlossary->currentItem() : nullptr;
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

void GlossaryPanel::showChosenWord() {
    WordPane* pane = m_window.wordPane()->pane();
    const QString word = chosenWord();
    if (!pane || word.isEmpty() || pane->mode() != WordPane::Mode::Normal)
        return;
    pane->inputChanged(word);
    pane->enterPressed();
}

QString GlossaryPanel::chosenMeaningLine() const {
    if (!m_form || m_form->isHidden())
        return {};
    const QString word = chosenWord();
    return word.isEmpty() ? QString() : firstLine(meaningOf(word));
}

void GlossaryPanel::insertMeaning() {
    const QString line = chosenMeaningLine();
    const QStringList terms = meaningTerms(line);
    insertIntoTranslation(terms.isEmpty() ? line : terms.front());
}

void GlossaryPanel::pickTerm(const QPoint& at) {
    const QString line = chosenMeaningLine();
    RichTextPane* translation = m_window.form()->Rtxt2;
    if (line.isEmpty() || translation->isReadOnly())
        return;
    QMenu* menu = m_form->popGlossaryTerms;
    menu->clear();
    const auto add = [menu](const QString& text) {
        QString caption = text;
        menu->addAction(caption.replace(u'&', QStringLiteral("&&")))->setData(text);
    };
    QStringList terms = meaningTerms(line);
    terms.removeAll(line);
    for (const QString& term : terms)
        add(term);
    if (!terms.isEmpty())
        menu->addSeparator();
    add(line);
    menu->setActiveAction(menu->actions().front());
    const QPoint caret =
        translation->viewport()->mapToGlobal(translation->cursorRect().bottomLeft());
    menu->popup(at.isNull() ? caret : at);
}

void GlossaryPanel::insertIntoTranslation(const QString& text) {
    RichTextPane* translation = m_window.form()->Rtxt2;
    if (text.isEmpty() || translation->isReadOnly())
        return;
    // One step of the pane's undo, apart from the typing before and after it.
    QTextCursor cursor = translation->textCursor();
    cursor.beginEditBlock();
    cursor.insertText(text);
    translation->document()->appendUndoItem(new UndoBoundary);
    cursor.endEditBlock();
    translation->setTextCursor(cursor);
}

// ---- Switches -------------------------------------------------------------------------------

void GlossaryPanel::makeRoom() {
    TranslatorLForm* f = m_window.form();
    const QScreen* screen = f->screen();
    glossarydock::makeRoom(*f, *m_form, screen ? screen->availableGeometry() : QRect(), true);
}

void GlossaryPanel::setPanelVisible(bool visible) {
    if (!m_form)
        return;
    m_form->mnuGlossary->setChecked(visible);
    m_form->setVisible(visible);
    if (visible)
        makeRoom();
    if (visible) {
        ensureBuilt();
        refreshList(true);
    }
    if (m_settings->visible != visible) {
        m_settings->visible = visible;
        saveSettings();
    }
}

void GlossaryPanel::setHighlight(bool on) {
    if (!m_form)
        return;
    m_form->chkGlossaryHighlight->setChecked(on);
    if (m_settings->highlight != on) {
        m_settings->highlight = on;
        saveSettings();
    }
    if (on) {
        ensureBuilt();
        restartHighlight();
    } else {
        m_highlightRunning = false;
        m_highlightDelay->stop();
        m_marks.clear();
        m_window.form()->Rtxt1->setExtraSelections({});
    }
}

void GlossaryPanel::saveSettings() {
    // The panel's own file: when it cannot be written the choice lasts only for this run.
    try {
        m_settings->write(session().appFolder);
    } catch (const RuntimeFailure&) {
    }
}

// ---- The highlight --------------------------------------------------------------------------

void GlossaryPanel::restartHighlight() {
    if (!m_glossary || !m_settings->highlight)
        return;
    m_marks.clear();
    m_highlightBlock = 0;
    if (!m_highlightRunning) {
        m_highlightRunning = true;
        QTimer::singleShot(0, this, [this] { highlightSlice(); });
    }
}

// Marks the words of the next paragraphs for a few milliseconds, then lets the window run; the
// marks are shown once the whole original is done.
void GlossaryPanel::highlightSlice() {
    if (!m_highlightRunning || !m_glossary)
        return;
    RichTextPane* original = m_window.form()->Rtxt1;
    QTextDocument* document = original->document();
    QElapsedTimer clock;
    clock.start();
    QTextBlock block = document->findBlockByNumber(m_highlightBlock);
    // Paragraphs no longer in the original go when the cache outgrows it.
    if (m_paragraphMarks.size() > 2 * document->blockCount() + 64)
        m_paragraphMarks.clear();
    for (; block.isValid() && clock.elapsed() < SliceMilliseconds; block = block.next()) {
        const QString text = block.text();
        auto cached = m_paragraphMarks.constFind(text);
        if (cached == m_paragraphMarks.cend()) {
            std::vector<Mark> found;
            for (const GlossaryMatch& m : m_glossary->matches(text))
                found.push_back({m.start, m.end});
            cached = m_paragraphMarks.insert(text, std::move(found));
        }
        for (const Mark& m : *cached)
            m_marks.push_back({block.position() + m.start, block.position() + m.end});
        ++m_highlightBlock;
    }
    if (block.isValid()) {
        QTimer::singleShot(0, this, [this] { highlightSlice(); });
        return;
    }
    m_highlightRunning = false;
    showVisibleMarks();
}

void GlossaryPanel::showVisibleMarks() {
    if (!m_settings->highlight || m_highlightRunning)
        return;
    RichTextPane* original = m_window.form()->Rtxt1;
    const QWidget* view = original->viewport();
    const int first = original->cursorForPosition(QPoint(0, 0)).position();
    const int last = original->cursorForPosition(QPoint(view->width(), view->height())).position();
    const auto begin =
        std::lower_bound(m_marks.cbegin(), m_marks.cend(), first,
                         [](const Mark& m, int position) { return m.end < position; });
    const QTextCharFormat format = markFormat();
    QList<QTextEdit::ExtraSelection> visible;
    for (auto it = begin; it != m_marks.cend() && it->start <= last; ++it) {
        QTextCursor c(original->document());
        c.setPosition(it->start);
        c.setPosition(it->end, QTextCursor::KeepAnchor);
        visible.append({c, format});
    }
    original->setExtraSelections(visible);
}

// An edit moves the marks behind it and drops those it touched, so they stay on their words until
// the original is gone through again.
void GlossaryPanel::shiftMarks(int position, int removed, int added) {
    if (m_marks.empty() || m_highlightRunning)
        return;
    std::vector<Mark> kept;
    kept.reserve(m_marks.size());
    for (const Mark& m : m_marks) {
        if (m.end <= position)
            kept.push_back(m);
        else if (m.start >= position + removed)
            kept.push_back({m.start + added - removed, m.end + added - removed});
    }
    m_marks = std::move(kept);
}
