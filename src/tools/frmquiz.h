// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/errorguard.h"
#include "tools/quiz.h"
#include "ui/quizform.h"

#include <QObject>
#include <QPointer>

class QWidget;

// A quiz window, in either direction: asks the snapshot's words in the chosen order, judges the
// answers, counts them, and at the end can turn the misses into the main list's check marks. Not
// modal: the book may change while it runs, so each word is found again by word and record number
// when its turn comes, and words that have gone are passed over.
class FrmQuiz : public QObject {
    Q_OBJECT
public:
    FrmQuiz(QuizForm::Direction direction, QuizSnapshot snapshot, QuizHost host,
            QuizSettings settings, QWidget* parent = nullptr);
    ~FrmQuiz() override;

    QuizForm* form() const { return m_form; }
    const QuizSettings& settings() const { return m_settings; }
    // The snapshot position of the question on show, -1 before the first.
    int position() const { return m_position; }
    // Loads and shows the window without waiting.
    void show();
    void close();

    void formLoad();
    void cmdQuestionClick();
    void cmdResultClick();
    // The end step: offers to turn the misses into check marks, then closes.
    void cmdExitClick();

private:
    struct Contexts {
        ErrorContext load, question, answer, end;
    };
    static Contexts contextsFor(QuizForm::Direction direction);
    bool toWord() const { return m_form->direction() == QuizForm::Direction::MeaningToWord; }
    const Book* openBook() const;
    bool present(int index) const;
    // The next word to ask after from in sequential order, -1 when none is left.
    int following(int from) const;
    int drawPosition() const;
    bool moreToAsk() const;
    void applyColours();

    QuizSnapshot m_snapshot;
    QuizHost m_host;
    QuizSettings m_settings;
    Contexts m_contexts;
    QPointer<QuizForm> m_form;
    int m_position = -1;
    int m_asked = 0;
    int m_right = 0;
    int m_wrong = 0;
    int m_unanswered = 0;
    bool m_answered = true; // no question waits for an answer
    bool m_last = false;    // the question on show is the last one
    QString m_meaning;
};
