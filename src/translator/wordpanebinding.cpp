// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordpanebinding.h"

#include "core/projects/projectstate.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "frmtranslatorl.h"
#include "platform/appearance.h"
#include "platform/bookfollower.h"
#include "platform/errorguard.h"
#include "platform/inputmethod.h"
#include "ui/limitedtextedit.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "wordpanehistory.h"
#include "wordpanesuggestions.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>

namespace {

void setBackground(QWidget* widget, const QColor& color) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, color);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, color);
    widget->setPalette(p);
}

// A field that is not a tab stop is still reachable with the mouse.
void setTabStop(QWidget* widget, bool on) {
    widget->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace

WordPaneBinding::WordPaneBinding(FrmTranslatorL& window) : m_window(window) {}

WordPaneBinding::~WordPaneBinding() {
    TranslatorLForm* f = m_window.form();
    for (QLabel* l : f->lblF)
        l->removeEventFilter(this);
    for (QLabel* l : f->lblStock)
        l->removeEventFilter(this);
}

void WordPaneBinding::start(Book& book) {
    m_pane = std::make_unique<WordPane>(book);
    m_follower = std::make_unique<BookFollower>(book);
    connect(m_follower.get(), &BookFollower::reloaded, this, [this](const QString& message) {
        m_window.form()->StBar->showMessage(message);
        m_pane->bookReloaded();
    });
    connect(m_pane.get(), &WordPane::changed, this, [this] { applyState(); });
    connect(m_pane.get(), &WordPane::focusRequested, this,
            [this](WordPane::Field field, bool selectAll) { focusField(field, selectAll); });
    connectEvents();
    addWordPaneHistory(m_window, *m_pane, book);
    addWordPaneSuggestions(m_window, *m_pane);
    m_pane->start();
}

void WordPaneBinding::connectEvents() {
    TranslatorLForm* f = m_window.form();
    WordPane* p = m_pane.get();
    connect(f->txtInput, &QLineEdit::textChanged, this, [p](const QString& text) {
        guarded(terminating(u"ｲﾝｸﾘﾒﾝﾀﾙｻｰﾁ時", "Error171"), [&] { p->inputChanged(text); });
    });
    connect(f->txtWord, &QLineEdit::textChanged, this,
            [p](const QString& text) { p->wordEdited(text); });
    connect(f->txtMean, &QPlainTextEdit::textChanged, this, [p, f] {
        guarded(reportOnly(u"意味欄処理時", "Error174"),
                [&] { p->meaningEdited(f->txtMean->text()); });
    });
    connect(f->txtRei, &QPlainTextEdit::textChanged, this, [p, f] {
        guarded(reportOnly(u"用例欄内容変化時", "Error285"),
                [&] { p->exampleEdited(f->txtRei->text()); });
    });
    connect(f->ud, &QSpinBox::valueChanged, this, [p](int value) {
        guarded(reportOnly(u"ｽﾋﾟﾝﾎﾞﾀﾝ処理時", "Error215"), [&] { p->spinnerChanged(value); });
    });

    connect(f->cmdModify, &QPushButton::clicked, this, [this] { cmdModifyClick(); });
    connect(f->cmdDel, &QPushButton::clicked, this, [this] { cmdDelClick(); });
    connect(f->cmdDo, &QPushButton::clicked, this, [this] { cmdDoClick(); });
    connect(f->cmdCancel, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
    connect(f->cmdAdd, &QPushButton::clicked, this, [this] { cmdAddClick(); });
    connect(f->cmdCL, &QPushButton::clicked, this, [this] { cmdCLClick(); });
    connect(f->cmdAC, &QPushButton::clicked, this, [this] { cmdACClick(); });
    const struct {
        QAction* item;
        const char16_t* context;
        const char* code;
        void (WordPane::*operation)();
    } menus[] = {
        {f->mnuCancel, u"ｷｬﾝｾﾙ時", "Error272", &WordPane::cancel},
        {f->mnuDel, u"削除ﾒﾆｭｰ選択時", "Error273", &WordPane::deleteWord},
        {f->mnuDo, u"実行ﾒﾆｭｰ選択時", "Error274", &WordPane::carryOut},
        {f->mnuModify, u"修正ﾒﾆｭｰ選択時", "Error275", &WordPane::modify},
    };
    for (const auto& m : menus) {
        const ErrorContext where = reportOnly(m.context, m.code);
        const auto operation = m.operation;
        const bool carriesOut = m.item == f->mnuDo;
        connect(m.item, &QAction::triggered, this, [this, p, where, operation, carriesOut] {
            if (carriesOut)
                settleCompositions();
            guarded(where, [&] { (p->*operation)(); });
        });
    }
    for (QLabel* l : f->lblF)
        l->installEventFilter(this);
    for (QLabel* l : f->lblStock)
        l->installEventFilter(this);
}

// ---- Handlers -------------------------------------------------------------------------------

void WordPaneBinding::cmdModifyClick() {
    guarded(terminating(u"修正ﾎﾞﾀﾝｸﾘｯｸ時", "Error133"), [this] { m_pane->modify(); });
}

void WordPaneBinding::cmdDelClick() {
    guarded(terminating(u"削除時", "Error131"), [this] { m_pane->deleteWord(); });
}

void WordPaneBinding::cmdDoClick() {
    settleCompositions();
    guarded(terminating(u"実行ﾎﾞﾀﾝｸﾘｯｸ時", "Error132"), [this] { m_pane->carryOut(); });
}

void WordPaneBinding::settleCompositions() {
    TranslatorLForm* f = m_window.form();
    for (QWidget* box :
         std::initializer_list<QWidget*>{f->txtInput, f->txtWord, f->txtMean, f->txtRei})
        inputmethod::settle(box);
}

void WordPaneBinding::cmdCancelClick() {
    guarded(terminating(u"ｷｬﾝｾﾙ時", "Error130"), [this] { m_pane->cancel(); });
}

void WordPaneBinding::cmdAddClick() {
    guarded(withBareContext(reportOnly(u"ｽﾄｯｸﾎﾞｯｸｽ単語追加時", "Error218")),
            [this] { m_pane->addToStock(); });
}

void WordPaneBinding::cmdCLClick() {
    guarded(withBareContext(reportOnly(u"ｽﾄｯｸﾎﾞｯｸｽ消去時", "Error219")),
            [this] { m_pane->clearSelectedSlot(); });
}

void WordPaneBinding::cmdACClick() {
    guarded(withBareContext(reportOnly(u"ｽﾄｯｸﾎﾞｯｸｽ全消去時", "Error217")),
            [this] { m_pane->clearStock(); });
}

void WordPaneBinding::lblFClick(int slot) {
    guarded(reportOnly(u"単語ﾗﾍﾞﾙｸﾘｯｸ時", "Error271"), [&] { m_pane->selectSlot(slot); });
}

void WordPaneBinding::lblStockClick(int slot) {
    guarded(reportOnly(u"ｽﾄｯｸ欄処理時", "Error216"), [&] { m_pane->recall(slot); });
}

bool WordPaneBinding::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    TranslatorLForm* f = m_window.form();
    for (int i = 0; i < WordPane::StockSlots; ++i) {
        if (watched == f->lblF[i])
            lblFClick(i);
        else if (watched == f->lblStock[i])
            lblStockClick(i);
    }
    return false;
}

// ---- Keys and focus -------------------------------------------------------------------------

bool WordPaneBinding::handleKey(QKeyEvent* event) {
    if (!m_pane)
        return false;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier ||
        QApplication::focusWidget() != m_window.form()->txtInput)
        return false;
    // Enter is the look-up; the box itself never sees it.
    if (m_pane->mode() == WordPane::Mode::Normal)
        guarded(terminating(u"入力欄決定時", "Error173"), [this] { m_pane->enterPressed(); });
    return true;
}

WordPane::Mode WordPaneBinding::mode() const {
    return m_pane ? m_pane->mode() : WordPane::Mode::Normal;
}

void WordPaneBinding::focusInput(bool selectAll) {
    TranslatorLForm* f = m_window.form();
    if (selectAll)
        f->txtInput->selectAll();
    f->txtInput->setFocus();
    appearance::setInputMethodMode(f->txtInput, session().display.input.imeMode);
}

void WordPaneBinding::focusField(WordPane::Field field, bool selectAll) {
    TranslatorLForm* f = m_window.form();
    const DisplaySettings& d = session().display;
    switch (field) {
    case WordPane::Field::Input:
        focusInput(selectAll);
        return;
    case WordPane::Field::Word:
        if (selectAll)
            f->txtWord->selectAll();
        f->txtWord->setFocus();
        appearance::setInputMethodMode(f->txtWord, d.word.imeMode);
        return;
    case WordPane::Field::Meaning:
    case WordPane::Field::Example: {
        LimitedTextEdit* box = field == WordPane::Field::Meaning ? f->txtMean : f->txtRei;
        if (selectAll)
            box->selectAll();
        box->setFocus();
        appearance::setInputMethodMode(f->txtMean, d.meaning.imeMode);
        appearance::setInputMethodMode(f->txtRei, d.meaning.imeMode);
        return;
    }
    case WordPane::Field::ActivePane: {
        const QString& active = m_window.activePane();
        if (active == u"Rtxt1")
            (m_window.project().orgPaneShown() ? f->Rtxt1 : f->Rtxt2)->setFocus();
        else if (active == u"Rtxt2")
            f->Rtxt2->setFocus();
        else
            focusInput(true);
        return;
    }
    }
}

bool WordPaneBinding::focusByMode() {
    switch (mode()) {
    case WordPane::Mode::Normal:
        focusInput(!m_window.form()->txtInput->text().isEmpty());
        return true;
    case WordPane::Mode::Register:
        focusField(WordPane::Field::Meaning, false);
        return true;
    case WordPane::Mode::Modify:
        focusField(WordPane::Field::Word, true);
        return true;
    default:
        return false;
    }
}

void WordPaneBinding::displayFieldGotFocus(QWidget* field) {
    if (mode() != WordPane::Mode::Normal)
        return;
    const bool word = field == m_window.form()->txtWord;
    guarded(word ? reportOnly(u"単語欄ﾌｫｰｶｽ取得時", "Error286")
                 : reportOnly(u"意味欄ﾌｫｰｶｽ取得時", "Error284"),
            [this] {
                // The display fields are for reading in normal mode: typing goes to the input.
                QApplication::beep();
                focusInput(false);
            });
}

// ---- State ----------------------------------------------------------------------------------

void WordPaneBinding::applyState() {
    const WordPane& p = *m_pane;
    TranslatorLForm* f = m_window.form();
    const QSignalBlocker b1(f->txtInput), b2(f->txtWord), b3(f->txtMean), b4(f->txtRei), b5(f->ud);
    // A text is set only when it differs, so the caret stays where the user is typing.
    if (f->txtInput->text() != p.input())
        f->txtInput->setText(p.input());
    if (f->txtWord->text() != p.word())
        f->txtWord->setText(p.word());
    if (f->txtMean->text() != p.meaning())
        f->txtMean->setText(p.meaning());
    if (f->txtRei->text() != p.example())
        f->txtRei->setText(p.example());

    f->lblMode->setText(p.modeCaption());
    setBackground(f->lblMode, p.modeColor());
    f->txtInput->setEnabled(p.inputEnabled());
    f->txtInput->setReadOnly(!p.inputEnabled());
    f->txtWord->setReadOnly(!p.wordEditable());
    setTabStop(f->txtWord, p.wordEditable());
    for (LimitedTextEdit* box : {f->txtMean, f->txtRei})
        box->setReadOnly(!p.recordsEditable());
    setTabStop(f->txtMean, p.recordsEditable());
    setTabStop(f->txtRei, p.mode() == WordPane::Mode::Modify);

    f->cmdModify->setEnabled(p.canModify());
    f->mnuModify->setEnabled(p.canModify());
    f->cmdDel->setEnabled(p.canDelete());
    f->mnuDel->setEnabled(p.canDelete());
    f->cmdDo->setEnabled(p.canCarryOut());
    f->mnuDo->setEnabled(p.canCarryOut());
    f->cmdCancel->setEnabled(p.canCancel());
    f->mnuCancel->setEnabled(p.canCancel());

    f->ud->setRange(0, p.spinnerMaximum());
    f->ud->setValue(p.spinnerValue());
    f->lblud->setText(p.spinnerText());
    f->lblCount->setText(QString::number(p.remainingMeaning()));
    f->lblMaxRec->setText(QString::number(p.wordCount()));

    const QColor buttonText = QApplication::palette().color(QPalette::ButtonText);
    for (int i = 0; i < WordPane::StockSlots; ++i) {
        f->lblStock[i]->setText(p.stockSlot(i).word);
        setBackground(f->lblF[i],
                      i == p.selectedSlot() ? WordPane::selectedSlotColor() : QColor(Qt::white));
        QColor text = buttonText;
        if (p.recalledSlot() >= 0)
            text = i == p.recalledSlot() ? WordPane::recalledSlotColor() : QColor(Qt::black);
        setTextColor(f->lblStock[i], text);
    }
}
