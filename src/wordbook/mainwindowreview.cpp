// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindowreview.h"

#include "core/review/progress.h"
#include "core/review/reviewsettings.h"
#include "core/review/reviewstore.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "frmmain.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "tools/frmprogress.h"
#include "tools/frmreview.h"
#include "ui/mainform.h"
#include "ui/progressform.h"
#include "ui/reviewform.h"
#include "ui/wordlistmodel.h"

#include <QAction>
#include <QLabel>

MainWindowReview::MainWindowReview(FrmMain* main) : QObject(main), m_main(main) {
    MainForm* f = main->form();
    connect(f->IdmReview, &QAction::triggered, this, [this] {
        guarded(reportOnly(u"復習ﾒﾆｭｰ選択時", "Error908"), [this] { IdmReviewClick(); });
    });
    connect(f->IdmProgress, &QAction::triggered, this, [this] {
        guarded(reportOnly(u"学習の記録ﾒﾆｭｰ選択時", "Error909"), [this] { IdmProgressClick(); });
    });
    connect(f->IdmTrial, &QAction::changed, this, [this] { followTrialItem(); });
    // Whatever changes the list may change what is due; one count after the change is enough.
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, [this] {
        guarded(reportOnly(u"復習予定の集計時", "Error907"), [this] { refresh(); });
    });
    WordListModel* model = main->listModel();
    connect(model, &QAbstractItemModel::modelReset, &m_refresh, qOverload<>(&QTimer::start));
    connect(model, &QAbstractItemModel::rowsInserted, &m_refresh, qOverload<>(&QTimer::start));
    connect(model, &QAbstractItemModel::rowsRemoved, &m_refresh, qOverload<>(&QTimer::start));
}

MainWindowReview::~MainWindowReview() {
    flushStore();
}

void MainWindowReview::flushStore() {
    if (!m_store)
        return;
    try {
        m_store->flush();
    } catch (...) {
        // The answers are in the log; the state file is rebuilt from it next time.
    }
}

FrmReview* MainWindowReview::reviewWindow() const {
    return static_cast<FrmReview*>(m_review.data());
}

FrmProgress* MainWindowReview::progressWindow() const {
    return static_cast<FrmProgress*>(m_progress.data());
}

void MainWindowReview::followTrialItem() {
    // Review needs words, as the quiz does.
    MainForm* f = m_main->form();
    const bool on = f->IdmReview->isVisible();
    f->IdmReview->setEnabled(on && f->IdmTrial->isEnabled());
    f->IdmProgress->setEnabled(on && f->IdmTrial->isEnabled());
}

std::shared_ptr<ReviewStore> MainWindowReview::openStore() {
    Book* book = m_main->book();
    if (!book || !book->isOpen()) {
        flushStore();
        m_store.reset();
        return nullptr;
    }
    const ReviewSettings settings = ReviewSettings::read(session().appFolder);
    if (m_store && m_store->folder() == book->folder()) {
        m_store->setDesiredRetention(settings.retentionPercent / 100.0);
        m_store->reconcile(book->index());
        // Entries that followed their words to new records are written before an answer can
        // name those records in the log.
        flushStore();
        return m_store;
    }
    flushStore();
    m_store = std::make_shared<ReviewStore>(book->folder());
    m_store->setDesiredRetention(settings.retentionPercent / 100.0);
    const ReviewStore::LoadReport report = m_store->load(book->index());
    if (!report.scheduleSetAside.isEmpty())
        showMessage(QStringLiteral("復習の予定のパラメーターのファイルが壊れていたため「%1」という"
                                   "名前で残し、既定のパラメーターに戻しました。")
                        .arg(report.scheduleSetAside),
                    AppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    if (!report.setAside.isEmpty())
        showMessage(QStringLiteral("復習の状態ファイルが壊れていたため「%1」という名前で残し、"
                                   "回答の記録から作り直しました。")
                        .arg(report.setAside),
                    AppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    flushStore();
    return m_store;
}

void MainWindowReview::refresh() {
    MainForm* f = m_main->form();
    const ReviewSettings settings = ReviewSettings::read(session().appFolder);
    f->IdmReview->setVisible(settings.enabled);
    f->IdmProgress->setVisible(settings.enabled);
    followTrialItem();
    if (!settings.enabled) {
        f->lblDue->hide();
        m_due = -1;
        return;
    }
    const std::shared_ptr<ReviewStore> store = openStore();
    if (!store) {
        f->lblDue->hide();
        m_due = -1;
        return;
    }
    m_due = int(store->queue(m_main->book()->index(), m_now().date(), settings.newPerDay).size());
    f->lblDue->setText(QStringLiteral("今日の復習 %1語").arg(m_due));
    f->lblDue->show();
}

void MainWindowReview::IdmReviewClick() {
    if (FrmReview* open = reviewWindow(); open && open->form() && open->form()->isVisible()) {
        open->form()->raise();
        return;
    }
    std::shared_ptr<ReviewStore> store = openStore();
    if (!store)
        return;
    ReviewHost host;
    host.book = [this] { return m_main->book(); };
    host.store = store;
    host.appFolder = session().appFolder;
    host.now = m_now;
    host.setListedMark = [this](int position, bool checked) {
        WordListModel* model = m_main->listModel();
        const int row = model->rowOfPosition(position);
        if (row < 0)
            return false;
        model->setChecked(row, checked);
        return true;
    };
    auto* review = new FrmReview(std::move(host), m_main->form());
    m_review = review;
    connect(review, &FrmReview::answered, &m_refresh, qOverload<>(&QTimer::start));
    connect(review->form(), &QDialog::finished, &m_refresh, qOverload<>(&QTimer::start));
    review->show();
}

void MainWindowReview::IdmProgressClick() {
    if (FrmProgress* open = progressWindow(); open && open->form() && open->form()->isVisible()) {
        open->form()->raise();
        return;
    }
    std::shared_ptr<ReviewStore> store = openStore();
    if (!store)
        return;
    const ProgressData data = progress::compute(answerlog::read(store->logPath()), *store,
                                                m_main->book()->index(), m_now().date());
    auto* progress = new FrmProgress(data, m_main->form());
    m_progress = progress;
    progress->show();
}
