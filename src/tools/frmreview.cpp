// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/frmreview.h"

#include "core/store/book.h"
#include "core/text/numbertext.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/reviewform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

QString withoutTrailingSpaces(QString text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    text.truncate(end);
    return text;
}

const ErrorContext& answerContext() {
    static const ErrorContext c = reportOnly(u"復習の解答時", "Error901");
    return c;
}

} // namespace

FrmReview::FrmReview(ReviewHost host, QWidget* parent)
    : m_host(std::move(host)), m_form(new ReviewForm(parent)) {
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
    m_loading = false;
    rebuildQueue();
    m_form->show();
    m_form->raise();
    m_form->activateWindow();
    showQuestion();
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
    const QString meaning = withoutTrailingSpaces(book->meaning(item.recordNo));
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
