// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/frmtrysetting.h"

#include "core/files/failure.h"
#include "core/text/numbertext.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "tools/frmquiz.h"
#include "ui/trysettingform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

namespace {

const QString AllAsked = QStringLiteral("全問");

} // namespace

FrmTrySetting::FrmTrySetting(QuizSnapshot snapshot, QuizHost host, QWidget* parent)
    : m_snapshot(std::move(snapshot)), m_host(std::move(host)), m_form(new TrySettingForm(parent)) {
    m_form->setAttribute(Qt::WA_DeleteOnClose);
    TrySettingForm* f = m_form;
    connect(f->chkCount, &QCheckBox::clicked, this, [this] {
        guarded(reportOnly(u"出題数ﾁｪｯｸ時", "Error287"), [this] { chkCountClick(); });
    });
    connect(f->chkWord, &QCheckBox::clicked, this, [this] {
        guarded(reportOnly(u"ﾁｪｯｸ語のみにﾁｪｯｸ時", "Error288"), [this] { chkWordClick(); });
    });
    connect(f->cmdCancel, &QPushButton::clicked, this,
            [this] { guarded(reportOnly(u"閉じる時", "Error289"), [this] { cmdCancelClick(); }); });
    connect(f->cmdEtoJ, &QPushButton::clicked, this, [this] {
        guarded(reportOnly(u"意味当てﾌｫｰﾑ表示時", "Error290"), [this] { cmdEtoJClick(); });
    });
    connect(f->cmdJtoE, &QPushButton::clicked, this, [this] {
        guarded(reportOnly(u"単語あてﾌｫｰﾑ表示時", "Error291"), [this] { cmdJtoEClick(); });
    });
    connect(f->Combo1, &QComboBox::currentIndexChanged, this, [this] {
        guarded(reportOnly(u"ｺﾝﾎﾞﾎﾞｯｸｽｸﾘｯｸ時", "Error292"), [this] { Combo1Click(); });
    });
    connect(f->txtCount, &QLineEdit::textChanged, this, [this] {
        guarded(reportOnly(u"出題数設定ﾎﾞｯｸｽ変更時", "Error294"), [this] { txtCountChange(); });
    });
    // The spinner steps the number in the box, which then runs the box's change.
    connect(f->Ud1, &QSpinBox::valueChanged, this,
            [this](int value) { m_form->txtCount->setText(QString::number(value)); });
    connect(f, &QObject::destroyed, this, &QObject::deleteLater);
}

FrmTrySetting::~FrmTrySetting() {
    delete m_form.data();
}

void FrmTrySetting::show() {
    formLoad();
    m_form->show();
    m_form->raise();
    m_form->activateWindow();
}

void FrmTrySetting::close() {
    if (m_form)
        m_form->close();
}

void FrmTrySetting::formLoad() {
    guarded(reportOnly(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error293"), [this] {
        TrySettingForm* f = m_form;
        QString scope = QStringLiteral("すべて");
        if (m_snapshot.filtered && !m_snapshot.words.empty()) {
            const QString& first = m_snapshot.words.front().word;
            scope = first.left(first.size() > 1 && first[0].isHighSurrogate() ? 2 : 1);
        }
        f->lblScope->setText(scope);
        {
            const QSignalBlocker block(f->Combo1);
            f->Combo1->clear();
            f->Combo1->addItems({QStringLiteral("順番に出題"), QStringLiteral("ﾗﾝﾀﾞﾑに出題")});
            f->Combo1->setCurrentIndex(0);
        }
        f->Frame1->setVisible(true);
        f->chkWord->setChecked(false);
        f->chkCount->setChecked(false);
        const int n = wordCount();
        {
            const QSignalBlocker block(f->Ud1);
            f->Ud1->setRange(1, std::max(n, 1));
            f->Ud1->setValue(std::max(n, 1));
        }
        setCountText(numbertext::signReserving(n));
        f->lblCount->setText(AllAsked);
        f->txtCount->setEnabled(false);
        f->Ud1->setEnabled(false);
    });
}

void FrmTrySetting::setCountText(const QString& text) {
    const QSignalBlocker block(m_form->txtCount);
    m_form->txtCount->setText(text);
}

void FrmTrySetting::Combo1Click() {
    m_form->Frame1->setVisible(m_form->Combo1->currentIndex() == 0);
}

void FrmTrySetting::chkCountClick() {
    TrySettingForm* f = m_form;
    if (f->chkCount->isChecked()) {
        f->lblCount->clear();
        f->txtCount->setEnabled(true);
        f->Ud1->setEnabled(true);
        f->txtCount->selectAll();
        f->txtCount->setFocus();
        return;
    }
    setCountText(numbertext::signReserving(wordCount()));
    {
        const QSignalBlocker block(f->Ud1);
        f->Ud1->setValue(std::max(wordCount(), 1));
    }
    f->txtCount->setEnabled(false);
    f->Ud1->setEnabled(false);
    f->lblCount->setText(AllAsked);
}

void FrmTrySetting::txtCountChange() {
    TrySettingForm* f = m_form;
    const QString text = f->txtCount->text().trimmed();
    // An empty box is someone about to type a number; it counts as 1 when a quiz starts.
    if (text.isEmpty()) {
        f->lblCount->clear();
        return;
    }
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (!ok)
        throw RuntimeFailure(failure::TypeMismatch);
    const int words = wordCount();
    if (n > words) {
        showMessage(QStringLiteral("設定値が上限を越えています"));
        setCountText(numbertext::signReserving(words));
        f->txtCount->selectAll();
    } else if (n < 1) {
        showMessage(QStringLiteral("設定値を０以下にすることは出来ません"));
        setCountText(QStringLiteral("1"));
        f->txtCount->selectAll();
    }
    const int value = f->txtCount->text().trimmed().toInt();
    {
        const QSignalBlocker block(f->Ud1);
        f->Ud1->setValue(value);
    }
    f->lblCount->setText(value == words ? AllAsked : f->txtCount->text());
}

void FrmTrySetting::chkWordClick() {
    if (m_form->chkWord->isChecked() && m_snapshot.checkedCount == 0) {
        showMessage(QStringLiteral("ﾁｪｯｸされた単語がひとつもありません"));
        m_form->chkWord->setChecked(false);
    }
}

QuizSettings FrmTrySetting::settings() const {
    const TrySettingForm* f = m_form;
    QuizSettings s;
    s.random = f->Combo1->currentIndex() == 1;
    if (s.random)
        return s;
    s.checkedOnly = f->chkWord->isChecked();
    s.total = wordCount();
    if (f->chkCount->isChecked()) {
        const QString text = f->txtCount->text().trimmed();
        s.total = text.isEmpty() ? 1 : std::clamp(text.toInt(), 1, std::max(wordCount(), 1));
    }
    return s;
}

void FrmTrySetting::openQuiz(QuizForm::Direction direction) {
    const QuizSettings s = settings();
    auto* quiz =
        new FrmQuiz(direction, std::move(m_snapshot), std::move(m_host), s, m_form->parentWidget());
    quiz->show();
    emit quizOpened(quiz);
    close();
}

void FrmTrySetting::cmdJtoEClick() {
    openQuiz(QuizForm::Direction::MeaningToWord);
}

void FrmTrySetting::cmdEtoJClick() {
    openQuiz(QuizForm::Direction::WordToMeaning);
}

void FrmTrySetting::cmdCancelClick() {
    close();
}
