// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorspelling.h"

#include "core/files/failure.h"
#include "core/projects/projectstate.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "frmtranslatorl.h"
#include "platform/dialogservice.h"
#include "spellhighlighter.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "wordpane.h"
#include "wordpanebinding.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>

namespace {

const QString SaveFailedText = QStringLiteral("スペルチェックの設定を保存できませんでした。\n");

// The misspelt word at a position of a pane's viewport: its start and end in the document.
std::optional<std::pair<int, int>> wordAt(RichTextPane* pane, const QPoint& pos,
                                          spelling::SpellChecker& checker) {
    const QTextCursor at = pane->cursorForPosition(pos);
    const QTextBlock block = at.block();
    const int offset = at.position() - block.position();
    const QString text = block.text();
    for (const spelling::WordSpan& w : checker.misspelt(text))
        if (offset >= w.start && offset <= w.start + w.length)
            return std::pair{block.position() + w.start, block.position() + w.start + w.length};
    return std::nullopt;
}

// A pane without a pop-up of the editor's own (the comment window's) keeps its standard menu;
// on a misspelt word the suggestions come first in it.
class SuggestionsInStandardMenu : public QObject {
public:
    SuggestionsInStandardMenu(RichTextPane* pane, EditorSpelling& spelling)
        : QObject(&spelling), m_pane(pane), m_spelling(spelling) {
        pane->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ContextMenu || !m_pane || watched != m_pane->viewport())
            return false;
        const auto* e = static_cast<QContextMenuEvent*>(event);
        const QPoint inDocument = e->pos() + QPoint(m_pane->horizontalScrollBar()->value(),
                                                    m_pane->verticalScrollBar()->value());
        // The menu belongs to the pane, which may go while the menu is open.
        QPointer<QMenu> menu = m_pane->createStandardContextMenu(inDocument);
        if (m_spelling.addPopupItems(menu, m_pane, e->pos()).isEmpty()) {
            delete menu.data();
            return false;
        }
        menu->exec(e->globalPos());
        delete menu.data();
        return true;
    }

private:
    QPointer<RichTextPane> m_pane;
    EditorSpelling& m_spelling;
};

} // namespace

EditorSpelling::EditorSpelling(FrmTranslatorL& window)
    : QObject(&window), m_window(window), m_dictionaries(hunspelldictionaries::installed()),
      m_settings(spelling::readSettings(session().appFolder)) {
    TranslatorLForm* f = window.form();
    m_toggle = new QAction(QStringLiteral("ｽﾍﾟﾙﾁｪｯｸ(&K)"), this);
    m_toggle->setObjectName(QStringLiteral("mnuSpellCheck"));
    m_toggle->setCheckable(true);
    m_toggle->setShortcut(QKeySequence(Qt::Key_F7));
    m_toggle->setChecked(m_settings.enabled);
    f->mnuTransPart->addSeparator();
    f->mnuTransPart->addAction(m_toggle);
    connect(m_toggle, &QAction::triggered, this, [this](bool on) { setEnabled(on); });

    m_checker.setBookLookup([this](const QString& word) {
        const Book* book = m_window.book();
        return book && book->index().find(word) >= 0;
    });
    m_checker.setPersonalWords(spelling::readWordList(session().appFolder));
    m_checker.setExemptions({m_settings.ignoreInnerCapitals, m_settings.ignoreDigits});
    for (RichTextPane* pane : {f->Rtxt1, f->Rtxt2})
        m_highlighters.append(new SpellHighlighter(*pane, m_checker));
    connect(f->Rtxt1, &RichTextPane::gotFocus, this, &EditorSpelling::followOriginalPaneEditing);
    loadDictionary();
}

EditorSpelling::~EditorSpelling() {
    // The comment window may outlive this object; its marks must not outlive the checker.
    for (const QPointer<SpellHighlighter>& h : m_highlighters)
        delete h.data();
}

QString EditorSpelling::language() const {
    const QString wanted =
        m_settings.language.value_or(hunspelldictionaries::defaultCode(m_dictionaries));
    for (const SpellDictionary& d : m_dictionaries)
        if (d.code == wanted)
            return wanted;
    return {};
}

void EditorSpelling::setLanguage(const QString& code) {
    m_settings.language = code;
    saveSettings();
    loadDictionary();
}

void EditorSpelling::setEnabled(bool on) {
    m_settings.enabled = on;
    m_toggle->setChecked(on);
    saveSettings();
    applyToPanes();
}

bool EditorSpelling::isChecking() const {
    return m_settings.enabled && m_engine;
}

void EditorSpelling::setIgnoreInnerCapitals(bool on) {
    m_settings.ignoreInnerCapitals = on;
    saveSettings();
    applyExemptions();
}

void EditorSpelling::setIgnoreDigits(bool on) {
    m_settings.ignoreDigits = on;
    saveSettings();
    applyExemptions();
}

void EditorSpelling::applyExemptions() {
    m_checker.setExemptions({m_settings.ignoreInnerCapitals, m_settings.ignoreDigits});
    recheckPanes();
}

void EditorSpelling::loadDictionary() {
    const QString code = language();
    m_engine.reset();
    for (const SpellDictionary& d : m_dictionaries)
        if (d.code == code)
            m_engine = std::make_unique<HunspellEngine>(d);
    m_checker.setEngine(m_engine.get());
    recheckPanes();
    applyToPanes();
}

void EditorSpelling::attach(RichTextPane* pane) {
    auto* h = new SpellHighlighter(*pane, m_checker);
    m_highlighters.append(h);
    h->setActive(isChecking());
    new SuggestionsInStandardMenu(pane, *this);
}

void EditorSpelling::watchBook() {
    Book* book = m_window.book();
    if (!book)
        return;
    // A word registered, renamed or deleted (by the word pane or an undo) changes what counts as
    // correct. The book goes before this object does, and this one may go first in a test.
    book->addWordChangeListener([self = QPointer<EditorSpelling>(this)](const Book::WordChange&) {
        if (self)
            self->bookWordsChanged();
    });
}

void EditorSpelling::bookWordsChanged() {
    // Several changes in a row are checked again once.
    if (m_recheckQueued)
        return;
    m_recheckQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_recheckQueued = false;
            m_checker.bookChanged();
            recheckPanes();
        },
        Qt::QueuedConnection);
}

void EditorSpelling::followOriginalPaneEditing() {
    if (SpellHighlighter* h = highlighter(m_window.form()->Rtxt1))
        h->setActive(isChecking() && m_window.project().allowOrgEdit);
}

void EditorSpelling::applyToPanes() {
    for (const QPointer<SpellHighlighter>& h : m_highlighters)
        if (h)
            h->setActive(isChecking());
    followOriginalPaneEditing();
}

void EditorSpelling::recheckPanes() {
    for (const QPointer<SpellHighlighter>& h : m_highlighters)
        if (h)
            h->recheckAll();
}

SpellHighlighter* EditorSpelling::highlighter(const RichTextPane* pane) const {
    for (const QPointer<SpellHighlighter>& h : m_highlighters)
        if (h && h->parent() == pane)
            return h;
    return nullptr;
}

void EditorSpelling::saveSettings() {
    try {
        spelling::writeSettings(session().appFolder, m_settings);
    } catch (const RuntimeFailure& failure) {
        dialogs().message(
            {.text = SaveFailedText + failure.description(), .icon = MessageIcon::Exclamation});
    }
}

void EditorSpelling::addToWordList(const QString& word) {
    m_checker.addPersonalWord(word);
    try {
        spelling::writeWordList(session().appFolder, m_checker.personalWords());
    } catch (const RuntimeFailure& failure) {
        dialogs().message(
            {.text = SaveFailedText + failure.description(), .icon = MessageIcon::Exclamation});
    }
    recheckPanes();
}

QList<QAction*> EditorSpelling::addPopupItems(QMenu* menu, RichTextPane* pane, const QPoint& pos) {
    SpellHighlighter* h = highlighter(pane);
    if (!h || !h->isActive())
        return {};
    const auto word = wordAt(pane, pos, m_checker);
    if (!word)
        return {};
    QTextCursor cursor(pane->document());
    cursor.setPosition(word->first);
    cursor.setPosition(word->second, QTextCursor::KeepAnchor);
    const QString text = cursor.selectedText();

    QList<QAction*> items;
    for (const QString& suggestion : m_checker.suggestions(text)) {
        auto* a = new QAction(suggestion, menu);
        connect(a, &QAction::triggered, pane, [pane, cursor, suggestion]() mutable {
            // One undo step, in the format of the word it replaces.
            cursor.beginEditBlock();
            cursor.insertText(suggestion);
            cursor.endEditBlock();
            pane->setTextCursor(cursor);
        });
        items.append(a);
    }
    auto* add = new QAction(QStringLiteral("辞書に追加"), menu);
    add->setObjectName(QStringLiteral("popSpellAdd"));
    connect(add, &QAction::triggered, this, [this, text] { addToWordList(text); });
    auto* ignore = new QAction(QStringLiteral("無視"), menu);
    ignore->setObjectName(QStringLiteral("popSpellIgnore"));
    connect(ignore, &QAction::triggered, this, [this, text] {
        m_checker.ignore(text);
        recheckPanes();
    });
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    items << add << ignore << separator;
    QAction* first = menu->actions().value(0);
    menu->insertActions(first, items);
    return items;
}
