// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: control states, the word list, the initial palette and the input box.
#include "core/settings/session.h"
#include "core/store/book.h"
#include "core/text/collation.h"
#include "frmmain.h"
#include "mainwindowparts.h"
#include "platform/appearance.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/limitedtextedit.h"
#include "ui/mainform.h"
#include "ui/meaningsuggestions.h"
#include "ui/wordlistmodel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
using mainwindow::AllWords;
using mainwindow::lock;
using mainwindow::trimmedRight;

namespace {

// Colours of the mode label, 0x00BBGGRR.
constexpr qint32 NormalColor = 16777152;
constexpr qint32 RegisterColor = 16761087;
constexpr qint32 ModifyColor = 16761024;

} // namespace

// ---- Control states ------------------------------------------------------------------------

void FrmMain::setModeLabel(int mode) {
    QLabel* label = m_form->lblMode;
    label->clear();
    const qint32 color = mode == Register ? RegisterColor
                         : mode == Modify ? ModifyColor
                                          : NormalColor;
    appearance::setBackColor(label, color);
    // Dark text on the light mode colours, whatever the desktop's text colour.
    appearance::setTextColor(label, 0);
    label->setText(mode == Register ? QStringLiteral("登録ﾓｰﾄﾞ")
                   : mode == Modify ? QStringLiteral("修正ﾓｰﾄﾞ")
                                    : QStringLiteral("通常ﾓｰﾄﾞ"));
}

void FrmMain::setEditGroup(bool enabled) {
    MainForm* f = m_form;
    for (QWidget* w : {static_cast<QWidget*>(f->cmdModify), static_cast<QWidget*>(f->cmdDel)})
        w->setEnabled(enabled);
    for (QAction* a : {f->IdmModify, f->IdmDel, f->IdmCheckDel})
        a->setEnabled(enabled);
}

void FrmMain::setExecuteGroup(bool enabled) {
    MainForm* f = m_form;
    f->cmdDo->setEnabled(enabled);
    f->cmdCancel->setEnabled(enabled);
    f->IdmDo->setEnabled(enabled);
    f->IdmCancel->setEnabled(enabled);
}

void FrmMain::setSettingsGroup(bool enabled) {
    m_form->IdmBookSetting->setEnabled(enabled);
    m_form->IdmCustomize->setEnabled(enabled);
    m_form->IdmTrial->setEnabled(enabled);
}

void FrmMain::applyNormalControls() {
    MainForm* f = m_form;
    lock(f->txtInput, false, true);
    f->txtInput->setEnabled(true);
    lock(f->txtWord, true, false);
    lock(f->txtMean, true, false);
    lock(f->txtRei, true, false);
    f->List1->setEnabled(true);
    setExecuteGroup(false);
    f->cmdScale->setEnabled(true);
    f->IdmResize->setEnabled(true);
    m_suggestions->setRegistering(false);
}

void FrmMain::applyEditingControls(int mode) {
    MainForm* f = m_form;
    lock(f->txtInput, true, true);
    f->txtInput->setEnabled(false);
    lock(f->txtWord, mode != Modify, mode == Modify);
    lock(f->txtMean, false, true);
    lock(f->txtRei, false, true);
    f->List1->setEnabled(false);
    setExecuteGroup(true);
    setEditGroup(false);
    f->cmdScale->setEnabled(false);
    f->IdmResize->setEnabled(false);
    setSettingsGroup(false);
    m_suggestions->setRegistering(mode == Register);
}

void FrmMain::focusInput() {
    m_form->txtInput->setFocus();
    appearance::setInputMethodMode(m_form->txtInput, session().display.input.imeMode);
}

void FrmMain::updateCounters() {
    m_form->lblCount->setText(QString::number(100 - trimmedRight(m_form->txtMean->text()).size()));
    m_form->lblCount2->setText(QString::number(200 - trimmedRight(m_form->txtRei->text()).size()));
}

void FrmMain::showRecords(qint32 recordNo, bool trimmed) {
    const QString meaning = m_book->meaning(recordNo);
    const QString example = m_book->example(recordNo);
    m_form->txtMean->setText(trimmed ? trimmedRight(meaning) : meaning);
    m_form->txtRei->setText(trimmed ? trimmedRight(example) : example);
}

int FrmMain::currentRow() const {
    return m_form->List1->currentIndex().isValid() ? m_form->List1->currentIndex().row() : -1;
}

QString FrmMain::currentWord() const {
    if (!m_book || m_currentPosition < 0 || m_currentPosition >= m_book->index().size())
        return {};
    return m_book->index().at(m_currentPosition).word;
}

void FrmMain::selectListItem(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    // Selecting a row runs the list click exactly once, whoever selects it.
    m_inListClick = true;
    m_form->List1->setCurrentIndex(m_model->index(row));
    m_inListClick = false;
    m_form->List1->scrollTo(m_model->index(row));
    List1Click();
}

void FrmMain::selectAllWordsButton() {
    if (m_form->Option1[AllWords]->isChecked() && !m_model->isFiltered())
        return;
    m_form->Option1[AllWords]->setChecked(true);
    Option1Click(AllWords);
}

// ---- The list and the palette --------------------------------------------------------------

void FrmMain::List1Click() {
    guarded(terminating(u"ﾘｽﾄﾎﾞｯｸｽｸﾘｯｸ時", "Error84"), [this] {
        const int row = currentRow();
        if (row < 0 || !m_book)
            return;
        const int position = m_model->indexPosition(row);
        const IndexEntry& entry = m_book->index().at(position);
        const QString word = entry.word;
        m_form->txtWord->setText(word);
        m_form->txtInput->setText(word);
        m_form->txtInput->selectAll();
        m_currentRecord = entry.recordNo;
        showRecords(m_currentRecord, /*trimmed=*/false);
        m_currentPosition = position;
        if (!m_model->isFiltered())
            setEditGroup(true);
        updateCounters();
    });
}

void FrmMain::Option1Click(int k) {
    guarded(terminating(u"ｲﾆｼｬﾙﾊﾟﾚｯﾄ選択時", "Error86"), [this, k] {
        if (m_loading || !m_book)
            return;
        if (m_mode != Normal) {
            // The list stays as it is, and so does the palette.
            m_form->Option1[m_paletteButton]->setChecked(true);
            showMessage(QStringLiteral("現在、通常ﾓｰﾄﾞでないので使用出来ません"));
            return;
        }
        const int prevRow = std::max(currentRow(), 0);
        const int prev = m_model->indexPosition(prevRow);
        WordIndex& index = m_book->index();
        m_paletteButton = k;
        if (k == AllWords) {
            m_model->showAll(&index);
            if (index.isEmpty())
                m_currentPosition = 0;
            else
                selectListItem(std::clamp(m_currentPosition, 0, index.size() - 1));
            if (!index.isEmpty())
                setEditGroup(true);
            updateCounters();
            return;
        }
        const PaletteRow& range = session().palette[size_t(k)];
        std::vector<int> positions = index.filterByInitial(range.rangeStart, range.rangeEnd);
        const bool any = !positions.empty();
        m_model->showFiltered(&index, std::move(positions));
        if (any) {
            selectListItem(0);
            // Stay on the word that was shown when it belongs to this letter too.
            if (prev >= 0) {
                const QString& word = index.at(prev).word;
                const QString start = range.rangeStart;
                if (collation::compare(QStringView(word).left(start.size()), start) == 0) {
                    m_currentRecord = index.at(prev).recordNo;
                    const int row = m_model->rowOfPosition(prev);
                    if (row >= 0)
                        selectListItem(row);
                }
            }
        }
        setEditGroup(false);
        if (!any) {
            showMessage(range.rangeStart + QStringLiteral("の頭文字(行)での登録はまだありません"));
            m_paletteButton = AllWords;
            m_form->Option1[AllWords]->setChecked(true);
            Option1Click(AllWords);
            return;
        }
        updateCounters();
    });
}

// ---- The input box -------------------------------------------------------------------------

void FrmMain::showEntry(int position) {
    const IndexEntry& e = m_book->index().at(position);
    m_form->txtWord->setText(e.word);
    m_currentRecord = e.recordNo;
    showRecords(m_currentRecord, /*trimmed=*/true);
}

void FrmMain::txtInputChange() {
    guarded(terminating(u"ｲﾝｸﾘﾒﾝﾀﾙｻｰﾁ時", "Error88"), [this] {
        setEditGroup(false);
        if (!m_book || m_book->index().isEmpty() || m_mode != Normal)
            return;
        const int position = m_search.textChanged(m_book->index(), m_form->txtInput->text());
        if (position >= 0)
            showEntry(position);
    });
}

void FrmMain::txtInputEnter() {
    guarded(terminating(u"入力ﾎﾞｯｸｽEnter時", "Error90"), [this] {
        const QString w = trimmedRight(m_form->txtInput->text());
        if (w.isEmpty() || !m_book)
            return;
        selectAllWordsButton();
        if (m_model->rowCount() == 0)
            setEditGroup(false);
        const int m = m_book->index().find(w);
        if (m >= 0) {
            m_form->txtWord->setText(w);
            m_currentPosition = m;
            m_currentRecord = m_book->index().at(m).recordNo;
            showRecords(m_currentRecord, /*trimmed=*/false);
            selectListItem(m);
            m_form->txtInput->selectAll();
            m_form->txtInput->setFocus();
            setEditGroup(true);
        } else {
            const Answer answer = showMessage(
                QStringLiteral("この単語はまだ登録されていません。\r\n登録しますか？"),
                QStringLiteral("未登録情報"), MessageButtons::YesNo, MessageIcon::Question);
            if (answer == Answer::Yes)
                enterRegisterMode(w);
            else
                cmdCancelClick();
        }
        updateCounters();
    });
}
