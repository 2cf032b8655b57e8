// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindowhistory.h"

#include "core/history/historysettings.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "frmmain.h"
#include "frmrestorebackup.h"
#include "platform/errorguard.h"
#include "tools/backupbeforechange.h"
#include "ui/limitedtextedit.h"
#include "ui/mainform.h"
#include "ui/wordlistmodel.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTimer>

MainWindowHistory::MainWindowHistory(FrmMain& window)
    : QObject(&window), m_window(window),
      m_enabled(HistorySettings::read(session().appFolder).enabled) {
    if (!m_enabled)
        return;
    MainForm* f = window.form();
    m_items = HistoryItems::add(f, f->IdmEdit, f->IdmFile, f->IdmMerge);
    connect(m_items.IdmUndo, &QAction::triggered, this,
            [this] { guarded(reportOnly(u"元に戻す時", "Error300"), [this] { undo(); }); });
    connect(m_items.IdmRedo, &QAction::triggered, this,
            [this] { guarded(reportOnly(u"やり直し時", "Error301"), [this] { redo(); }); });
    connect(m_items.IdmRestoreBackup, &QAction::triggered, this, [this] {
        guarded(reportOnly(u"バックアップから戻す時", "Error302"), [this] { restoreBackup(); });
    });
    // The window keeps the sizes it always had: the status line shares the large window's room
    // below the list and stands aside in the small one, whose list needs all of its height.
    f->installEventFilter(this);
    WordListModel* model = window.listModel();
    connect(model, &QAbstractItemModel::modelReset, this, [this] { takeMarks(); });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::CheckStateRole))
                    marksTouched();
            });
}

bool MainWindowHistory::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window.form() && event->type() == QEvent::Resize)
        m_items.status->setVisible(m_window.isLarge());
    return false;
}

void MainWindowHistory::bookOpened() {
    if (!m_enabled || !m_window.book())
        return;
    wordHistory().attach(m_window.book()->folder());
    takeMarks();
    updateItems();
}

void MainWindowHistory::bookClosed() {
    if (!m_enabled)
        return;
    wordHistory().clear();
    m_marks.clear();
    m_marksPending = false;
    updateItems();
}

WordState MainWindowHistory::wordAt(int position) const {
    return m_enabled ? WordHistory::stateAt(*m_window.book(), position) : WordState{};
}

void MainWindowHistory::registered(int position) {
    if (m_enabled)
        record({EditStep::Kind::Register, {}, {wordAt(position)}});
}

void MainWindowHistory::modified(const WordState& before, int position) {
    if (m_enabled)
        record({EditStep::Kind::Modify, {before}, {wordAt(position)}});
}

void MainWindowHistory::deleted(const WordState& before) {
    if (m_enabled)
        record({EditStep::Kind::Delete, {before}, {}});
}

bool MainWindowHistory::beforeDeleteChecked(std::vector<WordState>& checked) {
    if (!m_enabled)
        return true;
    Book& book = *m_window.book();
    recordMarkChanges();
    checked = WordHistory::checkedWords(book);
    // One word can be taken back by undo alone; more are worth a copy of the whole book.
    return checked.size() <= 1 ||
           backupBeforeChange(book.folder(), QStringLiteral("チェック項目の削除"),
                              book.index().size());
}

void MainWindowHistory::deletedChecked(std::vector<WordState> checked) {
    if (m_enabled)
        record({EditStep::Kind::DeleteChecked, std::move(checked), {}});
}

void MainWindowHistory::writeBack(Book& book) {
    if (m_enabled)
        writeBackWithBackup(book);
    else
        book.writeBack();
}

void MainWindowHistory::undo() {
    Book* book = m_window.book();
    if (!book || m_window.editMode() != FrmMain::Normal)
        return;
    recordMarkChanges();
    showResult(wordHistory().undo(*book));
}

void MainWindowHistory::redo() {
    Book* book = m_window.book();
    if (!book || m_window.editMode() != FrmMain::Normal)
        return;
    recordMarkChanges();
    showResult(wordHistory().redo(*book));
}

void MainWindowHistory::record(EditStep step) {
    recordMarkChanges();
    wordHistory().record(std::move(step));
    updateItems();
}

void MainWindowHistory::showResult(const WordHistory::Result& result) {
    m_items.status->showMessage(result.message);
    updateItems();
    if (!result.done)
        return;
    FrmMain& w = m_window;
    MainForm* f = w.form();
    const WordIndex& index = w.book()->index();
    w.m_search.reset();
    w.selectAllWordsButton();
    w.m_model->showAll(&w.book()->index());
    f->lblMaxRec->setText(QString::number(index.size()));
    f->IdmTrial->setEnabled(!index.isEmpty());
    if (index.isEmpty()) {
        f->txtWord->clear();
        f->txtMean->setText({});
        f->txtRei->setText({});
        w.m_currentPosition = 0;
        w.setEditGroup(false);
        return;
    }
    int p = index.find(result.word);
    if (p < 0)
        p = std::min(index.lowerBound(result.word), index.size() - 1);
    w.m_currentPosition = p;
    w.selectListItem(p);
}

void MainWindowHistory::takeMarks() {
    m_marksPending = false;
    const Book* book = m_window.book();
    m_marks.clear();
    if (!book)
        return;
    const WordIndex& index = book->index();
    m_marks.resize(size_t(index.size()));
    for (int p = 0; p < index.size(); ++p)
        m_marks[size_t(p)] = index.at(p).checkMark;
}

// Marks changed by one command (a click, a button over every word, a quiz's misses) come in
// several signals; they make one step once the command is over.
void MainWindowHistory::marksTouched() {
    if (m_marksPending)
        return;
    m_marksPending = true;
    QTimer::singleShot(0, this, [this] { recordMarkChanges(); });
}

void MainWindowHistory::recordMarkChanges() {
    if (!m_marksPending)
        return;
    m_marksPending = false;
    const Book* book = m_window.book();
    if (!book || size_t(book->index().size()) != m_marks.size()) {
        takeMarks();
        return;
    }
    const WordIndex& index = book->index();
    EditStep step{EditStep::Kind::CheckMarks, {}, {}};
    for (int p = 0; p < index.size(); ++p) {
        const IndexEntry& e = index.at(p);
        if (bool(m_marks[size_t(p)]) == e.checkMark)
            continue;
        step.before.push_back({e.word, {}, {}, !e.checkMark});
        step.after.push_back({e.word, {}, {}, e.checkMark});
        m_marks[size_t(p)] = e.checkMark;
    }
    if (!step.after.empty()) {
        wordHistory().record(std::move(step));
        updateItems();
    }
}

void MainWindowHistory::updateItems() {
    if (!m_enabled)
        return;
    m_items.IdmUndo->setEnabled(wordHistory().canUndo());
    m_items.IdmRedo->setEnabled(wordHistory().canRedo());
}

void MainWindowHistory::restoreBackup() {
    if (m_window.editMode() != FrmMain::Normal)
        return;
    FrmRestoreBackup(&m_window, m_window.form()).exec();
}
