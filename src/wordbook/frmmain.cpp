// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: its events, the key table and the window-wide commands (size, clipboard, help).
#include "frmmain.h"

#include "core/settings/session.h"
#include "core/store/book.h"
#include "mainwindowhistory.h"
#include "mainwindowparts.h"
#include "mainwindowreview.h"
#include "platform/appearance.h"
#include "platform/bookfollower.h"
#include "platform/errorguard.h"
#include "platform/helpviewer.h"
#include "tools/frminport.h"
#include "tools/frmmerge.h"
#include "tools/frmprint.h"
#include "tools/frmquiz.h"
#include "tools/frmtrysetting.h"
#include "ui/limitedtextedit.h"
#include "ui/mainform.h"
#include "ui/meaningsuggestions.h"
#include "ui/wordlistmodel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
using mainwindow::AllWords;

FrmMain::FrmMain(QObject* parent)
    : QObject(parent), m_form(new MainForm), m_model(new WordListModel(this)) {
    m_form->setAttribute(Qt::WA_DeleteOnClose, false);
    m_form->List1->setModel(m_model);
    connectEvents();
    m_review = new MainWindowReview(this);
    m_suggestions = std::make_unique<MeaningSuggestions>(MeaningSuggestions::Host{
        .parent = m_form->List1->parentWidget(),
        // Over the word list, which is disabled while a word is registered.
        .placement = [f = m_form] { return f->List1->geometry(); },
        .word = [f = m_form] { return f->txtWord->text(); },
        .meaningBox = m_form->txtMean,
        .menu = m_form->IdmEdit,
        .itemName = QStringLiteral("IdmDictSuggest"),
        .separatorName = QStringLiteral("SeparatorDict"),
    });
    connect(m_form->txtWord, &QLineEdit::textChanged, m_suggestions.get(),
            &MeaningSuggestions::wordChanged);
    m_history = new MainWindowHistory(*this);
}

FrmMain::~FrmMain() {
    qApp->removeEventFilter(this);
    m_suggestions.reset();
    delete m_form;
}

void FrmMain::connectEvents() {
    MainForm* f = m_form;
    connect(f->txtInput, &QLineEdit::textChanged, this, [this] { txtInputChange(); });
    connect(f->List1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!m_inListClick)
            List1Click();
    });
    for (int i = 0; i < f->Option1.size(); ++i)
        connect(f->Option1[i], &QRadioButton::clicked, this, [this, i] { Option1Click(i); });
    connect(f->txtMean, &QPlainTextEdit::textChanged, this, [this] {
        guarded(reportOnly(u"意味欄処理時", "Error89"), [this] { updateCounters(); });
    });
    connect(f->txtRei, &QPlainTextEdit::textChanged, this, [this] {
        guarded(reportOnly(u"用例ﾎﾞｯｸｽの内容が変更された時", "Error236"),
                [this] { updateCounters(); });
    });

    connect(f->cmdDo, &QPushButton::clicked, this, [this] { cmdDoClick(); });
    connect(f->cmdCancel, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
    connect(f->cmdModify, &QPushButton::clicked, this, [this] { cmdModifyClick(); });
    connect(f->cmdDel, &QPushButton::clicked, this, [this] { cmdDelClick(); });
    connect(f->cmdScale, &QPushButton::clicked, this, [this] { cmdScaleClick(); });
    connect(f->cmdGoTrans, &QPushButton::clicked, this, [this] { cmdGoTransClick(); });
    connect(f->cmdChecked, &QPushButton::clicked, this, [this] { cmdCheckedClick(); });
    connect(f->cmdUnchecked, &QPushButton::clicked, this, [this] { cmdUncheckedClick(); });
    connect(f->cmdChkRev, &QPushButton::clicked, this, [this] { cmdChkRevClick(); });
    connect(f->cmdChecked, &QPushButton::released, this, [this] {
        guarded(reportOnly(u"ﾁｪｯｸをつける時ﾏｳｽｱｯﾌﾟ", "Error221"), [this] { focusInput(); });
    });
    connect(f->cmdUnchecked, &QPushButton::released, this, [this] {
        guarded(reportOnly(u"ﾁｪｯｸを外す時ﾏｳｽｱｯﾌﾟ", "Error225"), [this] { focusInput(); });
    });
    connect(f->cmdExit, &QPushButton::clicked, this, [this] {
        guarded(terminating(u"ｱﾌﾟﾘｹｰｼｮﾝの終了時", "Error223"), [this] { m_form->close(); });
    });

    // Menu items run the operation of their button, each under its own report context.
    auto menu = [this](QAction* action, ErrorContext where, void (FrmMain::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, where, handler] { guarded(where, [&] { (this->*handler)(); }); });
    };
    menu(f->IdmModify, terminating(u"修正ﾒﾆｭｰ選択時", "Error231"), &FrmMain::cmdModifyClick);
    menu(f->IdmDel, terminating(u"削除時", "Error227"), &FrmMain::cmdDelClick);
    menu(f->IdmDo, terminating(u"登録時", "Error228"), &FrmMain::cmdDoClick);
    menu(f->IdmCancel, terminating(u"ｷｬﾝｾﾙ時", "Error65"), &FrmMain::cmdCancelClick);
    menu(f->IdmCheckDel, terminating(u"ﾁｪｯｸﾏｰｸを削除する時", "Error226"),
         &FrmMain::IdmCheckDelClick);
    menu(f->IdmGotoTransL, terminating(u"ﾄﾗﾝｽｴﾃﾞｨﾀｵｰﾌﾟﾝ時", "Error229"), &FrmMain::cmdGoTransClick);
    menu(f->IdmResize, reportOnly(u"ｻｲｽﾞ変更時", "Error233"), &FrmMain::cmdScaleClick);
    menu(f->IdmCopy, reportOnly(u"ｺﾋﾟｰ時", "Error75"), &FrmMain::IdmCopyClick);
    menu(f->IdmCut, reportOnly(u"ｶｯﾄ時", "Error77"), &FrmMain::IdmCutClick);
    menu(f->IdmPaste, reportOnly(u"貼付け時", "Error82"), &FrmMain::IdmPasteClick);
    menu(f->IdmHelpshow, terminating(u"ﾍﾙﾌﾟを開く時", "Error80"), &FrmMain::IdmHelpshowClick);
    menu(f->IdmVersion, terminating(u"ﾊﾞｰｼﾞｮﾝ情報を開く時", "Error83"), &FrmMain::IdmVersionClick);
    menu(f->IdmBookSetting, reportOnly(u"ﾌﾞｯｸ設定をｸﾘｯｸ時", "Error74"),
         &FrmMain::IdmBookSettingClick);
    menu(f->IdmPrint, reportOnly(u"印刷ﾒﾆｭｰ選択時", "Error232"), &FrmMain::IdmPrintClick);
    menu(f->IdmTrial, reportOnly(u"ﾄﾗｲﾒﾆｭｰ選択時", "Error234"), &FrmMain::IdmTrialClick);
    connect(f->IdmInport, &QAction::triggered, this, [this] {
        guarded(reportOnly(u"ｲﾝﾎﾟｰﾄ時", "Error207"), [this] {
            std::vector<IndexEntry> list;
            if (m_book)
                list = FrmInport::listSnapshot(*m_model, m_book->index());
            FrmInport(this, std::move(list), m_form).exec();
        });
    });
    menu(f->IdmCustomize, terminating(u"ｶｽﾀﾏｲｽﾞｸﾘｯｸ時", "Error76"), &FrmMain::IdmCustomizeClick);
    connect(f->IdmMerge, &QAction::triggered, this, [this] {
        guarded(reportOnly(u"ﾌﾞｯｸ統合ﾒﾆｭｰ選択時", "Error230"),
                [this] { FrmMerge(this, m_form).exec(); });
    });
    connect(f->IdmExit, &QAction::triggered, this, [this] {
        guarded(terminating(u"終了ﾒﾆｭｰ選択時", "Error79"), [this] { m_form->close(); });
    });

    // One filter on the application sees every event of the window's controls, so the window sees
    // every key before its controls do, as the shortcuts need.
    qApp->installEventFilter(this);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    MainForm* f = m_form;
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != f || !f->isVisible())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (type == QEvent::ShortcutOverride)
            return false;
        if (m_mode == Register && m_suggestions->takeKey(watched, key))
            return true;
        // The keypad's Enter carries the keypad modifier; it is Enter all the same.
        if (watched == f->txtInput &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            // Enter is the look-up; the box itself never sees it.
            if (m_mode == Normal)
                txtInputEnter();
            return true;
        }
        bool handled = false;
        guarded(reportOnly(u"ｷｰｸﾘｯｸ時", "Error71"), [&] { handled = handleKey(key); });
        return handled;
    }
    if (watched == f && type == QEvent::Close) {
        bool allow = true;
        guarded(terminating(u"ﾌｫｰﾑｱﾝﾛｰﾄﾞ時", "Error73"), [&] { allow = closeCheck(); });
        if (!allow) {
            event->ignore();
            return true;
        }
        return false;
    }
    if (type == QEvent::FocusIn && m_mode == Normal) {
        const struct {
            QWidget* box;
            const char16_t* context;
            const char* code;
        } boxes[] = {{f->txtMean, u"意味ﾎﾞｯｸｽﾌｫｰｶｽ取得時", "Error235"},
                     {f->txtRei, u"用例ﾎﾞｯｸｽﾌｫｰｶｽ取得時", "Error237"},
                     {f->txtWord, u"単語ﾎﾞｯｸｽﾌｫｰｶｽ取得時", "Error238"}};
        for (const auto& b : boxes)
            if (watched == b.box) {
                // The display boxes are for reading in normal mode: typing goes to the input box.
                guarded(reportOnly(b.context, b.code), [this] {
                    QApplication::beep();
                    focusInput();
                });
                return false;
            }
    }
    if (type == QEvent::FocusIn) {
        for (QRadioButton* button : f->Option1)
            if (watched == button) {
                guarded(terminating(u"ﾊﾟﾚｯﾄﾌｫｰｶｽ時", "Error87"), [this] {
                    if (m_mode == Normal) {
                        focusInput();
                    } else if (m_mode == Register) {
                        m_form->txtMean->setFocus();
                        appearance::setInputMethodMode(m_form->txtMean,
                                                       session().display.meaning.imeMode);
                        appearance::setInputMethodMode(m_form->txtRei,
                                                       session().display.meaning.imeMode);
                    } else if (m_mode == Modify) {
                        m_form->txtWord->setFocus();
                        m_form->txtWord->selectAll();
                        appearance::setInputMethodMode(m_form->txtWord,
                                                       session().display.word.imeMode);
                    }
                });
                return false;
            }
    }
    if (watched == f->List1->viewport() && type == QEvent::MouseButtonRelease) {
        guarded(terminating(u"ﾘｽﾄﾎﾞｯｸｽｸﾘｯｸ時", "Error85"), [this] { focusInput(); });
        return false;
    }
    return false;
}

bool FrmMain::handleKey(QKeyEvent* key) {
    MainForm* f = m_form;
    const Qt::KeyboardModifiers mods =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int k = key->key();
    auto runIfEnabled = [](QPushButton* button, auto&& operation) {
        if (button->isEnabled())
            operation();
        return true;
    };
    auto runAction = [](QAction* action) {
        if (action->isEnabled())
            action->trigger();
        return true;
    };
    if (mods == Qt::NoModifier) {
        switch (k) {
        case Qt::Key_F2:
            if (f->Option1[AllWords]->isEnabled()) {
                f->Option1[AllWords]->setChecked(true);
                Option1Click(AllWords);
            }
            return true;
        case Qt::Key_F3:
            return runIfEnabled(f->cmdModify, [this] { cmdModifyClick(); });
        case Qt::Key_F4:
            return runIfEnabled(f->cmdDel, [this] { cmdDelClick(); });
        case Qt::Key_F5:
            return runIfEnabled(f->cmdDo, [this] { cmdDoClick(); });
        case Qt::Key_Escape:
            return runIfEnabled(f->cmdCancel, [this] { cmdCancelClick(); });
        default:
            break;
        }
    }
    if (mods == (Qt::ShiftModifier | Qt::ControlModifier) && k >= Qt::Key_A && k <= Qt::Key_Z) {
        QRadioButton* button = f->Option1[k - Qt::Key_A];
        if (button->isEnabled()) {
            button->setChecked(true);
            Option1Click(k - Qt::Key_A);
        }
        return true;
    }
    if (mods == (Qt::ControlModifier | Qt::AltModifier) && k == Qt::Key_A) {
        f->Option1[AllWords]->setChecked(true);
        Option1Click(AllWords);
        return true;
    }
    // The menu items' own shortcuts (Ctrl+M, Ctrl+Z, F1, ...), taken from the menus themselves.
    const QKeySequence pressed(QKeyCombination(mods, Qt::Key(k)));
    for (QAction* action : f->findChildren<QAction*>())
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed)
            return runAction(action);
    return false;
}

// ---- Window, clipboard, help ---------------------------------------------------------------

void FrmMain::cmdScaleClick() {
    guarded(reportOnly(u"ｻｲｽﾞ変更ｸﾘｯｸ時", "Error70"), [this] {
        m_large = !m_large;
        m_form->setLarge(m_large);
        m_form->cmdScale->setText(m_large ? QStringLiteral("<<") : QStringLiteral(">>"));
        focusInput();
    });
}

QWidget* FrmMain::activeControl() const {
    QWidget* w = QApplication::focusWidget();
    return w && w->window() == m_form ? w : nullptr;
}

void FrmMain::IdmCopyClick() {
    QWidget* w = activeControl();
    if (auto* line = qobject_cast<QLineEdit*>(w))
        QApplication::clipboard()->setText(line->selectedText());
    else if (auto* text = qobject_cast<QPlainTextEdit*>(w))
        QApplication::clipboard()->setText(
            text->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'));
}

void FrmMain::IdmCutClick() {
    QWidget* w = activeControl();
    IdmCopyClick();
    // A locked box keeps its text: cutting from it only copies.
    if (auto* line = qobject_cast<QLineEdit*>(w);
        line && !line->isReadOnly() && line->hasSelectedText())
        line->del();
    else if (auto* text = qobject_cast<QPlainTextEdit*>(w); text && !text->isReadOnly())
        text->textCursor().removeSelectedText();
}

void FrmMain::IdmPasteClick() {
    QWidget* w = activeControl();
    const QString clip = QApplication::clipboard()->text();
    if (auto* line = qobject_cast<QLineEdit*>(w); line && !line->isReadOnly())
        line->insert(clip);
    else if (auto* limited = qobject_cast<LimitedTextEdit*>(w))
        limited->insertPlainText(clip);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(w); text && !text->isReadOnly())
        text->insertPlainText(clip);
}

void FrmMain::IdmHelpshowClick() {
    showHelp(HelpBook::WordBook, m_form);
}

FrmPrint* FrmMain::printDialog() const {
    return static_cast<FrmPrint*>(m_print.data());
}

FrmTrySetting* FrmMain::quizSettings() const {
    return static_cast<FrmTrySetting*>(m_trySetting.data());
}

FrmQuiz* FrmMain::quizWindow() const {
    return static_cast<FrmQuiz*>(m_quiz.data());
}

void FrmMain::closeToolWindows() {
    if (FrmPrint* print = printDialog())
        print->close();
    if (FrmTrySetting* settings = quizSettings())
        settings->close();
    if (FrmQuiz* quiz = quizWindow())
        quiz->close();
}
