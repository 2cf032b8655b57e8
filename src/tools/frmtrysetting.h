// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/quiz.h"
#include "ui/quizform.h"
#include "ui/trysettingform.h"

#include <QObject>
#include <QPointer>

class FrmQuiz;
class QWidget;

// The quiz settings window: order, number of questions and checked words only, then a quiz in
// either direction. Not modal; it holds the snapshot of the main list taken by the quiz menu and
// hands it to the quiz it opens.
class FrmTrySetting : public QObject {
    Q_OBJECT
public:
    FrmTrySetting(QuizSnapshot snapshot, QuizHost host, QWidget* parent = nullptr);
    ~FrmTrySetting() override;

    TrySettingForm* form() const { return m_form; }
    // Loads the settings and shows the window without waiting.
    void show();
    void close();
    // The quiz the controls describe. An empty count box counts as one question.
    QuizSettings settings() const;

    void formLoad();
    void Combo1Click();
    void chkCountClick();
    void txtCountChange();
    void chkWordClick();
    void cmdJtoEClick();
    void cmdEtoJClick();
    void cmdCancelClick();

signals:
    // A quiz window took over from this one.
    void quizOpened(FrmQuiz* quiz);

private:
    int wordCount() const { return int(m_snapshot.words.size()); }
    void setCountText(const QString& text);
    void openQuiz(QuizForm::Direction direction);

    QuizSnapshot m_snapshot;
    QuizHost m_host;
    QPointer<TrySettingForm> m_form;
};
