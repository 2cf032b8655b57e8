// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the modes, registration, modification, re-selection and deletion.
#include "core/settings/session.h"
#include "core/store/book.h"
#include "frmmain.h"
#include "mainwindowhistory.h"
#include "mainwindowparts.h"
#include "platform/appearance.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "platform/inputmethod.h"
#include "ui/limitedtextedit.h"
#include "ui/mainform.h"
#include "ui/wordlistmodel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
using mainwindow::AllWords;
using mainwindow::lock;
using mainwindow::trimmedRight;

// ---- Modes ---------------------------------------------------------------------------------

void FrmMain::enterRegisterMode(const QString& word) {
    MainForm* f = m_form;
    setModeLabel(Register);
    m_mode = Register;
    applyEditingControls(Register);
    f->txtWord->setText(word);
    f->txtMean->setText({});
    f->txtRei->setText({});
    f->txtMean->setFocus();
    appearance::setInputMethodMode(f->txtMean, session().display.meaning.imeMode);
    appearance::setInputMethodMode(f->txtRei, session().display.meaning.imeMode);
}

void FrmMain::cmdModifyClick() {
    guarded(terminating(u"修正ﾎﾞﾀﾝｸﾘｯｸ時", "Error69"), [this] {
        if (!m_book || m_book->index().isEmpty())
            return;
        MainForm* f = m_form;
        if (m_model->isFiltered()) {
            const int position = m_model->indexPosition(std::max(currentRow(), 0));
            f->Option1[AllWords]->setChecked(true);
            m_model->showAll(&m_book->index());
            m_currentPosition = position;
            f->txtWord->setText(m_book->index().at(position).word);
        }
        m_mode = Modify;
        setModeLabel(Modify);
        m_currentRecord = m_book->index().at(m_currentPosition).recordNo;
        showRecords(m_currentRecord, /*trimmed=*/true);
        selectListItem(m_currentPosition);
        applyEditingControls(Modify);
        appearance::setInputMethodMode(f->txtMean, session().display.meaning.imeMode);
        appearance::setInputMethodMode(f->txtRei, session().display.meaning.imeMode);
        appearance::setInputMethodMode(f->txtWord, session().display.word.imeMode);
        f->txtWord->selectAll();
        f->txtWord->setFocus();
    });
}

bool FrmMain::refuseUnstorable(const QString& word) {
    const QString reason = Book::refusalFor(word, m_form->txtMean->text(), m_form->txtRei->text());
    if (reason.isEmpty())
        return false;
    // In register mode the word box is locked: a refused word can only be typed again.
    const bool wordRefused =
        m_mode == Register && !Book::refusalFor(word, QString(), QString()).isEmpty();
    const QString advice =
        wordRefused ? QStringLiteral("[Esc]で登録を取り消してから、単語を入力し直して下さい。")
                    : QStringLiteral("内容を直してから、もう一度実行して下さい。");
    showMessage(reason + QStringLiteral("\r\n") + advice, QStringLiteral("登録できません"),
                MessageButtons::Ok, MessageIcon::Exclamation);
    return true;
}

void FrmMain::cmdDoClick() {
    // What the boxes show, a composition included, is what is stored.
    for (QWidget* box :
         std::initializer_list<QWidget*>{m_form->txtWord, m_form->txtMean, m_form->txtRei})
        inputmethod::settle(box);
    guarded(terminating(u"実行ﾎﾞﾀﾝｸﾘｯｸ時", "Error67"), [this] {
        if (m_mode == Register)
            executeRegister();
        else if (m_mode == Modify)
            executeModify();
    });
}

void FrmMain::executeRegister() {
    MainForm* f = m_form;
    if (f->txtMean->text().isEmpty()) {
        showMessage(QStringLiteral("単語の意味を入力して下さい"));
        f->txtMean->setFocus();
        appearance::setInputMethodMode(f->txtMean, session().display.meaning.imeMode);
        return;
    }
    if (refuseUnstorable(f->txtWord->text()))
        return;
    if (showMessage(QStringLiteral("登録します。よろしいですか？"), QStringLiteral("登録の確認"),
                    MessageButtons::YesNo, MessageIcon::Question) != Answer::Yes) {
        cmdCancelClick();
        return;
    }
    const QString word = f->txtWord->text();
    int position = -1;
    if (!changeBook(QStringLiteral("登録"), [&] {
            position = m_book->registerWord(word, f->txtMean->text(), f->txtRei->text());
        }))
        return;
    m_savedWord = word;
    m_history->registered(position);
    m_search.reset();
    m_currentRecord = m_book->index().at(position).recordNo;
    m_model->showAll(&m_book->index());
    f->lblMaxRec->setText(QString::number(m_model->rowCount()));
    m_mode = Normal;
    selectAllWordsButton();
    f->IdmTrial->setEnabled(true);
    reselect();
}

void FrmMain::executeModify() {
    MainForm* f = m_form;
    if (showMessage(QStringLiteral("変更内容を登録します。よろしいですか？"),
                    QStringLiteral("登録の確認"), MessageButtons::YesNo,
                    MessageIcon::Question) != Answer::Yes) {
        cmdCancelClick();
        return;
    }
    if (f->txtWord->text().isEmpty() || f->txtMean->text().isEmpty()) {
        showMessage(QStringLiteral("入力が不十分です"));
        cmdCancelClick();
        return;
    }
    if (refuseUnstorable(f->txtWord->text()))
        return;
    const QString word = f->txtWord->text();
    const WordState before = m_history->wordAt(m_currentPosition);
    int position = -1;
    if (!changeBook(QStringLiteral("修正内容の登録"), [&] {
            position =
                m_book->modifyWord(m_currentPosition, word, f->txtMean->text(), f->txtRei->text());
        }))
        return;
    m_savedWord = word;
    m_history->modified(before, position);
    m_search.reset();
    m_currentRecord = m_book->index().at(position).recordNo;
    m_currentPosition = position;
    f->List1->setEnabled(true);
    m_model->showAll(&m_book->index());
    m_mode = Normal;
    selectAllWordsButton();
    reselect();
}

void FrmMain::reselect() {
    MainForm* f = m_form;
    m_mode = Reselecting;
    lock(f->txtInput, false, true);
    f->txtInput->setEnabled(true);
    f->txtInput->clear();
    f->txtInput->setText(m_savedWord);
    const QString w = trimmedRight(m_savedWord);
    const int m = m_book->index().find(w);
    if (m >= 0) {
        showFound(m, w);
    } else {
        showMessage(QStringLiteral("新規登録または修正処理で不具合が発生しました\r\n正しく処理され"
                                   "ているかどうか確認してみて下さい"),
                    QStringLiteral("新規登録・修正ｴﾗｰ"));
    }
    m_mode = Normal;
    if (m >= 0)
        selectListItem(m);
    applyNormalControls();
    setSettingsGroup(true);
    updateCounters();
    setModeLabel(Normal);
}

void FrmMain::showFound(int position, const QString& word) {
    m_form->txtWord->setText(word);
    m_currentPosition = position;
    m_currentRecord = m_book->index().at(position).recordNo;
    showRecords(m_currentRecord, /*trimmed=*/true);
    m_form->txtInput->selectAll();
    focusInput();
    setEditGroup(true);
}

void FrmMain::cmdCancelClick() {
    guarded(terminating(u"ｷｬﾝｾﾙ時", "Error65"), [this] {
        MainForm* f = m_form;
        setSettingsGroup(true);
        const QString word = currentWord();
        if (m_mode == Register || m_mode == Modify) {
            f->txtWord->clear();
            f->txtMean->setText({});
            f->txtRei->setText({});
            lock(f->txtInput, false, true);
            f->txtInput->setEnabled(true);
            f->txtInput->setText(word);
        }
        m_mode = Normal;
        selectAllWordsButton();
        if (m_model->rowCount() > 0) {
            const int m = m_book->index().find(trimmedRight(word));
            if (m >= 0) {
                showFound(m, trimmedRight(word));
                selectListItem(m);
            } else {
                showMessage(QStringLiteral("ｷｬﾝｾﾙ処理中に不具合が発生しました\r\nﾃﾞｰﾀがおかしくない"
                                           "か確認してみて下さい"),
                            QStringLiteral("ｷｬﾝｾﾙ処理ｴﾗｰ"));
            }
        } else {
            setEditGroup(false);
        }
        applyNormalControls();
        updateCounters();
        setModeLabel(Normal);
    });
}

void FrmMain::cmdDelClick() {
    guarded(terminating(u"削除処理時", "Error66"), [this] {
        if (!m_book || m_book->index().isEmpty())
            return;
        MainForm* f = m_form;
        m_currentRecord = m_book->index().at(m_currentPosition).recordNo;
        showRecords(m_currentRecord, /*trimmed=*/false);
        if (showMessage(QStringLiteral("現在表示されている単語を削除してもよろしいですか？"),
                        QStringLiteral("削除の確認"), MessageButtons::YesNo,
                        MessageIcon::Question) != Answer::Yes)
            return;
        m_mode = Deleting;
        const WordState before = m_history->wordAt(m_currentPosition);
        if (!changeBook(QStringLiteral("削除"),
                        [this] { m_book->deleteWord(m_currentPosition); })) {
            m_mode = Normal;
            m_model->refresh();
            return;
        }
        m_history->deleted(before);
        m_search.reset();
        m_model->showAll(&m_book->index());
        const bool empty = m_book->index().isEmpty();
        if (empty) {
            f->txtWord->clear();
            f->txtMean->setText({});
            f->txtRei->setText({});
            f->IdmTrial->setEnabled(false);
        }
        if (m_currentPosition < 1) {
            m_currentPosition = 0;
            if (!empty)
                selectListItem(0);
        } else {
            m_currentPosition -= 1;
            selectListItem(m_currentPosition);
        }
        f->lblMaxRec->setText(QString::number(m_model->rowCount()));
        m_mode = Normal;
        if (empty)
            setEditGroup(false);
    });
}
