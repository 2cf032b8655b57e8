// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/frmreview.h"

#include "core/store/book.h"
#include "core/store/storedtext.h"
#include "core/text/numbertext.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/reviewform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace {

const ErrorContext& answerContext() {
    static const ErrorContext c = reportOnly(u"復習の解答時", "Error901");
    return c;
}

} // namespace

FrmReview::FrmReview(ReviewHost host, QWidget* parent)
    : m_host(std::move(host)), m_form(new ReviewForm(parent)), m_fit(new ReviewFit(this)) {
    m_form->setAttribute(Qt::WA_DeleteOnClose);
    m_form->setWindowModality(Qt::WindowModal);
    ReviewForm* f = m_form;
    connect(f->cmdReveal, &QPushButton::clicked, this, [this] {
        guarded(reportOnly(u"復習の答えを見る時", "Error900"), [this] { cmdRevealClick(); });
    });
    const std::pair<QPushButton*, Grade> grades[] = {{f->cmdAgain, Grade::Again},
                                                     {f->cmdHard, Grade::Hard},
                                                     {f->cmdGood, Grade::Good},
                                                     {f->cmdEasy, Grade::Easy}};
    for (const auto& [button, g] : grades)
        connect(button, &QPushButton::clicked, this,
                [this, g] { guarded(answerContext(), [this, g] { grade(g); }); });
    connect(f, &ReviewForm::gradeKey, this,
            [this](int key) { guarded(answerContext(), [this, key] { grade(Grade(key)); }); });
    connect(f->cboDirection, &QComboBox::activated, this, [this] {
        guarded(reportOnly(u"復習の出題形式変更時", "Error902"), [this] { cboDirectionClick(); });
    });
    connect(f->spnNewPerDay, &QSpinBox::valueChanged, this, [this] {
        guarded(reportOnly(u"復習の新語数変更時", "Error903"), [this] { spnNewPerDayChange(); });
    });
    connect(f->chkCheckFails, &QCheckBox::clicked, this, [this] {
        guarded(reportOnly(u"復習のﾁｪｯｸ設定時", "Error904"), [this] { chkCheckFailsClick(); });
    });
    connect(f->cboMethod, &QComboBox::activated, this, [this] {
        guarded(reportOnly(u"復習の予定の方式変更時", "Error910"), [this] { cboMethodClick(); });
    });
    connect(f->spnRetention, &QSpinBox::valueChanged, this, [this] {
        guarded(reportOnly(u"復習の目標の記憶率変更時", "Error911"),
                [this] { spnRetentionChange(); });
    });
    connect(f->cmdOptimise, &QPushButton::clicked, this, [this] {
        guarded(reportOnly(u"復習の最適化時", "Error912"), [this] { cmdOptimiseClick(); });
    });
    connect(m_fit, &ReviewFit::finished, this,
            [this](const fsrs::FitReport& report, qint64 answers) {
                guarded(reportOnly(u"復習の最適化の終了時", "Error913"),
                        [&] { fitFinished(report, answers); });
            });
    connect(f->cmdClose, &QPushButton::clicked, this, [this] { close(); });
    connect(f, &QDialog::finished, this, [this] {
        // Answers are safe in the log already; the state file catches up here.
        guarded(reportOnly(u"復習の終了時", "Error905"), [this] { m_host.store->flush(); });
    });
    connect(f, &QObject::destroyed, this, &QObject::deleteLater);
}

FrmReview::~FrmReview() {
    delete m_form.data();
}

void FrmReview::show() {
    m_loading = true;
    m_settings = ReviewSettings::read(m_host.appFolder);
    m_form->cboDirection->setCurrentIndex(m_settings.meaningToWord ? 1 : 0);
    m_form->spnNewPerDay->setValue(m_settings.newPerDay);
    m_form->chkCheckFails->setChecked(m_settings.checkAfterThreeFails);
    m_form->spnRetention->setValue(m_settings.retentionPercent);
    m_host.store->setDesiredRetention(m_settings.retentionPercent / 100.0);
    m_form->cboMethod->setCurrentIndex(m_host.store->schedule().method == ScheduleMethod::Fsrs ? 0
                                                                                               : 1);
    m_loading = false;
    showFitState();
    rebuildQueue();
    m_form->show();
    m_form->raise();
    m_form->activateWindow();
    showQuestion();
    // Once a month, when the log has grown enough, the fit runs on its own.
    if (m_host.store->schedule().method == ScheduleMethod::Fsrs &&
        m_host.store->schedule().fitDue(m_host.now().date(),
                                        answerlog::read(m_host.store->logPath()).count('\n')))
        startFit(false);
}

void FrmReview::close() {
    if (m_form)
        m_form->close();
}

bool FrmReview::meaningToWord() const {
    return m_form->cboDirection->currentIndex() == 1;
}

void FrmReview::rebuildQueue() {
    m_queue.clear();
    const Book* book = m_host.book();
    if (!book || !book->isOpen())
        return;
    for (ReviewItem& item :
         m_host.store->queue(book->index(), m_host.now().date(), m_settings.newPerDay))
        m_queue.push_back(std::move(item));
}

void FrmReview::showQuestion() {
    ReviewForm* f = m_form;
    m_revealed = false;
    f->lblAnswer->clear();
    f->lblLeft->setText(numbertext::signReserving(int(m_queue.size())));
    for (QPushButton* b : {f->cmdAgain, f->cmdHard, f->cmdGood, f->cmdEasy})
        b->setEnabled(false);
    const Book* book = m_host.book();
    if (m_queue.empty() || !book || !book->isOpen()) {
        f->lblQuestion->setText(QStringLiteral("今日の復習はこれで終わりです"));
        f->cmdReveal->setEnabled(false);
        f->cmdClose->setFocus();
        return;
    }
    const ReviewItem& item = m_queue.front();
    const QString meaning = storedtext::trimmedRight(book->meaning(item.recordNo));
    f->lblQuestion->setText(meaningToWord() ? meaning : item.word);
    m_answer = meaningToWord() ? item.word : meaning;
    f->cmdReveal->setEnabled(true);
    f->cmdReveal->setFocus();
    m_clock.start();
}

void FrmReview::cmdRevealClick() {
    if (m_queue.empty() || m_revealed)
        return;
    ReviewForm* f = m_form;
    m_revealed = true;
    f->lblAnswer->setText(m_answer);
    for (QPushButton* b : {f->cmdAgain, f->cmdHard, f->cmdGood, f->cmdEasy})
        b->setEnabled(true);
    f->cmdGood->setFocus();
}

void FrmReview::grade(Grade g) {
    // A grade counts once the answer has been seen.
    if (m_queue.empty() || !m_revealed)
        return;
    const ReviewItem item = m_queue.front();
    const int seconds = int(std::min<qint64>(m_clock.elapsed() / 1000, 24 * 3600));
    const ReviewEntry& entry =
        m_host.store->answer(item.word, item.recordNo, g, m_host.now(), seconds);
    m_queue.pop_front();
    // Asked again until it is answered "good"; the drill does not move its schedule.
    if (g == Grade::Again || g == Grade::Hard)
        m_queue.push_back({item.word, item.recordNo, false});
    if (m_settings.checkAfterThreeFails && g == Grade::Again && entry.failStreak >= 3)
        markChecked(item);
    emit answered();
    showQuestion();
}

void FrmReview::markChecked(const ReviewItem& item) {
    const Book* book = m_host.book();
    if (!book || !m_host.setListedMark)
        return;
    const int position = quiz::findWord(book->index(), {item.word, item.recordNo});
    if (position >= 0)
        m_host.setListedMark(position, true);
}

void FrmReview::saveSettings() {
    if (m_loading)
        return;
    m_settings.meaningToWord = meaningToWord();
    m_settings.newPerDay = m_form->spnNewPerDay->value();
    m_settings.checkAfterThreeFails = m_form->chkCheckFails->isChecked();
    m_settings.retentionPercent = m_form->spnRetention->value();
    m_settings.write(m_host.appFolder);
}

void FrmReview::cboDirectionClick() {
    saveSettings();
    showQuestion();
}

void FrmReview::spnNewPerDayChange() {
    if (m_loading)
        return;
    saveSettings();
    rebuildQueue();
    showQuestion();
}

void FrmReview::chkCheckFailsClick() {
    saveSettings();
}

void FrmReview::cboMethodClick() {
    const ScheduleMethod method =
        m_form->cboMethod->currentIndex() == 0 ? ScheduleMethod::Fsrs : ScheduleMethod::Sm2;
    if (method == m_host.store->schedule().method)
        return;
    m_host.store->switchMethod(method);
    showFitState();
    emit answered(); // the due count may change with the days
}

void FrmReview::spnRetentionChange() {
    if (m_loading)
        return;
    m_host.store->setDesiredRetention(m_form->spnRetention->value() / 100.0);
    saveSettings();
}

void FrmReview::showFitState() {
    const BookSchedule& s = m_host.store->schedule();
    m_form->lblFit->setText(s.fittedOn.isValid()
                                ? QStringLiteral("FSRS のパラメーター: %1 に最適化")
                                      .arg(s.fittedOn.toString(u"yyyy/MM/dd"))
                                : QStringLiteral("FSRS のパラメーター: 既定値"));
}

void FrmReview::cmdOptimiseClick() {
    if (m_fit->running())
        return;
    const qint64 answers = answerlog::read(m_host.store->logPath()).count('\n');
    if (answers < MinimumAnswersToFit) {
        showMessage(QStringLiteral("最適化には回答の記録が%1件以上必要です（今は%2件です）。")
                        .arg(MinimumAnswersToFit)
                        .arg(answers),
                    AppTitle, MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    startFit(true);
}

void FrmReview::startFit(bool asked) {
    m_fitAsked = asked;
    if (!m_fit->start(m_host.store->logPath(), m_host.store->schedule().w))
        return;
    m_form->cmdOptimise->setEnabled(false);
    if (!asked)
        return;
    auto* progress = new QProgressDialog(QStringLiteral("回答の記録に合わせて最適化しています..."),
                                         QStringLiteral("中止"), 0, 100, m_form);
    progress->setObjectName(QStringLiteral("prgOptimise"));
    progress->setWindowTitle(QStringLiteral("最適化"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    m_fitProgress = progress;
    connect(progress, &QProgressDialog::canceled, m_fit, &ReviewFit::cancel);
    auto* poll = new QTimer(progress);
    connect(poll, &QTimer::timeout, progress, [this, progress] {
        progress->setValue(int(100LL * m_fit->done() / std::max(1, m_fit->total())));
    });
    poll->start(100);
    progress->show();
}

void FrmReview::fitFinished(const fsrs::FitReport& report, qint64 answers) {
    if (m_fitProgress)
        m_fitProgress->close();
    m_form->cmdOptimise->setEnabled(true);
    if (report.cancelled)
        return;
    const bool kept = m_host.store->keepFit(report, m_host.now().date(), answers);
    showFitState();
    if (kept)
        emit answered(); // a new forecast of the days
    if (!m_fitAsked)
        return;
    const auto n = [](double x) { return QString::number(x, 'f', 4); };
    showMessage(
        QStringLiteral("最適化に使わなかった回答 %1 件での予測\n\n"
                       "対数損失: %2 → %3\nRMSE: %4 → %5\n\n%6")
            .arg(report.after.answers)
            .arg(n(report.before.logLoss), n(report.after.logLoss), n(report.before.rmse),
                 n(report.after.rmse),
                 kept ? QStringLiteral("予測が良くなったため、新しいパラメーターを使います。")
                      : QStringLiteral("予測が良くならなかったため、これまでのパラメーターを"
                                       "使い続けます。")),
        QStringLiteral("最適化"), MessageButtons::Ok, MessageIcon::Information);
}
