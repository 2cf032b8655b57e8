// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/frmquiz.h"

#include "core/settings/session.h"
#include "core/store/book.h"
#include "core/store/storedtext.h"
#include "core/text/numbertext.h"
#include "platform/appearance.h"
#include "platform/dialogservice.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRandomGenerator>

FrmQuiz::Contexts FrmQuiz::contextsFor(QuizForm::Direction direction) {
    if (direction == QuizForm::Direction::MeaningToWord)
        return {terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error58"), reportOnly(u"質問時", "Error56"),
                reportOnly(u"解答時", "Error57"), terminating(u"閉じる時", "Error55")};
    return {terminating(u"ﾛｰﾄﾞ時", "Error46"), reportOnly(u"質問時", "Error44"),
            reportOnly(u"解答時", "Error45"), terminating(u"質問時", "Error43")};
}

FrmQuiz::FrmQuiz(QuizForm::Direction direction, QuizSnapshot snapshot, QuizHost host,
                 QuizSettings settings, QWidget* parent)
    : m_snapshot(std::move(snapshot)), m_host(std::move(host)), m_settings(settings),
      m_contexts(contextsFor(direction)), m_form(new QuizForm(direction, parent)) {
    m_form->setAttribute(Qt::WA_DeleteOnClose);
    QuizForm* f = m_form;
    connect(f->cmdQuestion, &QPushButton::clicked, this,
            [this] { guarded(m_contexts.question, [this] { cmdQuestionClick(); }); });
    connect(f->cmdResult, &QPushButton::clicked, this,
            [this] { guarded(m_contexts.answer, [this] { cmdResultClick(); }); });
    connect(f->cmdExit, &QPushButton::clicked, this,
            [this] { guarded(m_contexts.end, [this] { cmdExitClick(); }); });
    connect(f, &QObject::destroyed, this, &QObject::deleteLater);
}

FrmQuiz::~FrmQuiz() {
    delete m_form.data();
}

void FrmQuiz::show() {
    formLoad();
    m_form->show();
    m_form->raise();
    m_form->activateWindow();
}

void FrmQuiz::close() {
    if (m_form)
        m_form->close();
}

void FrmQuiz::applyColours() {
    const DisplaySettings& d = session().display;
    const qint32 back = toWord() ? d.meaningToWordQuizBackColor : d.wordToMeaningQuizBackColor;
    const qint32 text = toWord() ? d.meaningToWordQuizTextColor : d.wordToMeaningQuizTextColor;
    // Only the window itself: its palette passes on to the children, and the answer box and the
    // buttons keep their own colours so that a dark quiz background cannot hide their text.
    QPalette window = m_form->palette();
    window.setColor(QPalette::Window, appearance::toColor(back));
    m_form->setPalette(window);
    m_form->setAutoFillBackground(true);
    for (QLabel* label : m_form->findChildren<QLabel*>()) {
        appearance::setBackColor(label, back);
        appearance::setTextColor(label, text);
    }
}

void FrmQuiz::formLoad() {
    guarded(m_contexts.load, [this] {
        QuizForm* f = m_form;
        applyColours();
        if (m_settings.random) {
            f->lblStyle->setText(QStringLiteral("ﾗﾝﾀﾞﾑに出題"));
            // Random order goes on until the user ends it.
            f->lblEndRec->setText(QStringLiteral("制限なし"));
            m_settings.checkedOnly = false;
            m_settings.total = -1;
        } else {
            f->lblStyle->setText(QStringLiteral("順番に出題"));
            f->lblEndRec->setText(numbertext::signReserving(m_settings.total));
        }
        f->lblChkOnly->setText(m_settings.checkedOnly ? QStringLiteral("ﾁｪｯｸ語のみ") : QString());
        f->lblChkOnly->setVisible(m_settings.checkedOnly);
        m_position = -1;
        m_asked = m_right = m_wrong = m_unanswered = 0;
        m_answered = true;
        m_last = false;
        for (QLabel* counter : {f->lblQCount, f->lblOKCount, f->lblNGCount, f->lblNoCount})
            counter->setText(QStringLiteral("0"));
        f->lblQuestion->clear();
        f->txtInput->clear();
        f->lblResult->clear();
        f->lblPrompt->clear();
    });
}

const Book* FrmQuiz::openBook() const {
    const Book* book = m_host.book ? m_host.book() : nullptr;
    return book && book->isOpen() ? book : nullptr;
}

bool FrmQuiz::present(int index) const {
    const Book* book = openBook();
    return book && quiz::findWord(book->index(), m_snapshot.words[size_t(index)]) >= 0;
}

int FrmQuiz::following(int from) const {
    const int n = int(m_snapshot.words.size());
    for (int i = from + 1; i < n; ++i) {
        if (m_settings.checkedOnly && !m_snapshot.words[size_t(i)].checked)
            continue;
        if (present(i))
            return i;
    }
    return -1;
}

int FrmQuiz::drawPosition() const {
    const int n = int(m_snapshot.words.size());
    if (n == 0)
        return -1;
    // Repeats are allowed; a drawn word that has left the book gives its turn to the next one.
    const int start = int(QRandomGenerator::global()->bounded(quint32(n)));
    for (int k = 0; k < n; ++k) {
        const int i = (start + k) % n;
        if (present(i))
            return i;
    }
    return -1;
}

bool FrmQuiz::moreToAsk() const {
    return !m_last && (m_settings.total == -1 || m_asked < m_settings.total);
}

void FrmQuiz::cmdQuestionClick() {
    QuizForm* f = m_form;
    f->lblQuestion->clear();
    f->txtInput->clear();
    f->lblResult->clear();
    const int next =
        moreToAsk() ? (m_settings.random ? drawPosition() : following(m_position)) : -1;
    if (next < 0) {
        m_last = true;
        if (showMessage(QStringLiteral("「総出題数」に達しました。終了しますか"),
                        QStringLiteral("終了確認"), MessageButtons::YesNo,
                        MessageIcon::Question) == Answer::Yes)
            cmdExitClick();
        return;
    }
    const QuizWord& word = m_snapshot.words[size_t(next)];
    m_meaning = storedtext::trimmedRight(openBook()->meaning(word.recordNo));
    m_position = next;
    ++m_asked;
    m_answered = false;
    // The last question is known when it is asked, so its answer can say that the quiz is over.
    if (!m_settings.random)
        m_last = m_asked >= m_settings.total || following(next) < 0;
    f->lblQCount->setText(numbertext::signReserving(m_asked));
    f->lblQuestion->setText(toWord() ? m_meaning : word.word);
    f->txtInput->setFocus();
    f->lblPrompt->setText(QStringLiteral("答えは？"));
}

void FrmQuiz::cmdResultClick() {
    // Nothing to answer before the first question, and a question counts once.
    if (m_position < 0 || m_answered)
        return;
    QuizForm* f = m_form;
    QuizWord& word = m_snapshot.words[size_t(m_position)];
    const QString answer = f->txtInput->text();
    if (answer.isEmpty()) {
        ++m_unanswered;
        f->lblNoCount->setText(numbertext::signReserving(m_unanswered));
        word.missed = true;
    } else {
        const bool right = toWord() ? quiz::wordAnswerIsRight(answer, word.word)
                                    : quiz::meaningAnswerIsRight(answer, m_meaning);
        const QString title = QStringLiteral("解答ﾒｯｾｰｼﾞ");
        if (right) {
            showMessage(QStringLiteral("正解です！"), title);
            ++m_right;
            f->lblOKCount->setText(numbertext::signReserving(m_right));
        } else {
            showMessage(QStringLiteral("ハズレです"), title);
            ++m_wrong;
            f->lblNGCount->setText(numbertext::signReserving(m_wrong));
        }
        word.missed = !right;
    }
    m_answered = true;
    f->lblResult->setText(toWord() ? word.word : m_meaning);
    f->lblPrompt->clear();
    if (moreToAsk()) {
        f->cmdQuestion->setFocus();
        return;
    }
    showMessage(QStringLiteral("これで出題は終わりです"));
    f->cmdExit->setFocus();
}

void FrmQuiz::cmdExitClick() {
    if (showMessage(QStringLiteral("ハズレ・無回答だった問題をVerbantaのﾘｽﾄﾎﾞｯｸｽのﾁｪｯｸﾏｰｸに"
                                   "反映させますか？"),
                    QStringLiteral("終了後処理確認"), MessageButtons::YesNo,
                    MessageIcon::Question) == Answer::Yes)
        quiz::transferMisses(m_snapshot, m_host);
    m_snapshot.words.clear();
    close();
}
