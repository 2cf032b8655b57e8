// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: closing and handing over to the editor, and the tools menus.
#include "core/settings/session.h"
#include "core/store/book.h"
#include "frmmain.h"
#include "frmversion.h"
#include "mainwindowhistory.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "platform/writerefusal.h"
#include "tools/frmcustom.h"
#include "tools/frmprint.h"
#include "tools/frmquiz.h"
#include "tools/frmtrysetting.h"
#include "ui/mainform.h"
#include "ui/wordlistmodel.h"

// ---- Closing and handing over --------------------------------------------------------------

bool FrmMain::closeCheck() {
    if (!session().bookInUse || !m_book)
        return true;
    if (m_mode != Normal) {
        showMessage(QStringLiteral("通常ﾓｰﾄﾞに戻してから再度実行して下さい。"));
        return false;
    }
    closeToolWindows();
    if (session().handOver) {
        emit handedOver();
        return true;
    }
    // A write-back the disk refuses before the new files are committed leaves the book open and
    // whole: the window stays so the user can make room and close again. Once committed (the
    // book files are closed) only the next start can finish the job, so the failure ends the
    // program as any unexpected one does. A large compaction is backed up first.
    const auto writeBack = [this] {
        try {
            m_history->writeBack(*m_book);
        } catch (const RuntimeFailure& failure) {
            if (!m_book->isOpen() || !isWriteRefusal(failure))
                throw;
            reportWriteRefusal(QStringLiteral("ﾌﾞｯｸの書き戻し"), failure);
            return false;
        }
        return true;
    };
    if (!writeBack())
        return false;
    emit unloaded();
    return true;
}

bool FrmMain::changeBook(const QString& what, const std::function<void()>& change) {
    try {
        change();
    } catch (const RuntimeFailure& failure) {
        if (!isWriteRefusal(failure))
            throw;
        reportWriteRefusal(what, failure);
        return false;
    }
    return true;
}

void FrmMain::cmdGoTransClick() {
    guarded(terminating(u"Dualscribeを開く時", "Error68"), [this] {
        if (!m_book || m_book->index().isEmpty()) {
            showMessage(QStringLiteral("単語が１語も登録されていないので開けません"),
                        QStringLiteral("ﾄﾗﾝｽﾚｰﾀＬを開くｴﾗｰ"));
            return;
        }
        if (m_mode != Normal) {
            showMessage(QStringLiteral("通常ﾓｰﾄﾞに戻してから実行してください"),
                        QStringLiteral("ﾄﾗﾝｽﾚｰﾀLを開くｴﾗｰ"));
            return;
        }
        m_history->writeBack(*m_book);
        session().handOver = true;
        m_form->hide();
        m_form->close();
    });
}

void FrmMain::IdmTrialClick() {
    // One quiz at a time: its misses become the list's check marks.
    QWidget* window = nullptr;
    if (FrmTrySetting* settings = quizSettings())
        window = settings->form();
    else if (FrmQuiz* quiz = quizWindow())
        window = quiz->form();
    if (window && window->isVisible()) {
        window->raise();
        window->activateWindow();
        return;
    }
    if (!m_book)
        return;
    QuizSnapshot snapshot;
    const WordIndex& index = m_book->index();
    const int rows = m_model->rowCount();
    snapshot.filtered = m_model->isFiltered();
    snapshot.words.reserve(size_t(rows));
    for (int row = 0; row < rows; ++row) {
        const int position = m_model->indexPosition(row);
        const IndexEntry& e = index.at(position);
        snapshot.words.push_back({e.word, e.recordNo, position, e.checkMark, false});
        snapshot.checkedCount += e.checkMark ? 1 : 0;
    }
    QuizHost host;
    host.book = [this] { return m_book.get(); };
    host.setListedMark = [this](int position, bool checked) {
        const int row = m_model->rowOfPosition(position);
        if (row < 0)
            return false;
        m_model->setChecked(row, checked);
        return true;
    };
    auto* settings = new FrmTrySetting(std::move(snapshot), std::move(host), m_form);
    m_trySetting = settings;
    connect(settings, &FrmTrySetting::quizOpened, this, [this](FrmQuiz* quiz) { m_quiz = quiz; });
    settings->show();
}

void FrmMain::IdmPrintClick() {
    // A dialog that was just closed is on its way out; a new one takes its place.
    if (FrmPrint* print = printDialog(); print && print->form() && print->form()->isVisible()) {
        print->form()->raise();
        print->form()->activateWindow();
        return;
    }
    PrintSnapshot snapshot;
    snapshot.bookName = session().current.bookName;
    if (m_book) {
        const WordIndex& index = m_book->index();
        snapshot.filtered = m_model->isFiltered();
        if (snapshot.filtered) {
            snapshot.listed.reserve(m_model->rowCount());
            for (int row = 0; row < m_model->rowCount(); ++row)
                snapshot.listed.push_back(index.at(m_model->indexPosition(row)));
        }
    }
    auto* print = new FrmPrint(
        std::move(snapshot), [this] { return m_book.get(); }, m_form);
    m_print = print;
    print->show();
}

void FrmMain::IdmCustomizeClick() {
    FrmCustom custom([this] { ApplyDisplaySettings(); }, m_form);
    custom.exec();
}

void FrmMain::IdmVersionClick() {
    FrmVersion version(m_form);
    version.exec();
}
