// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The review window: a word's question, the answer revealed on request, and the four grades as
// buttons and as the keys 1 to 4. Behaviour lives in FrmReview.
class ReviewForm : public QDialog {
    Q_OBJECT
public:
    explicit ReviewForm(QWidget* parent = nullptr);

    QLabel* lblDirectionCaption;
    QComboBox* cboDirection; // 0 word to meaning, 1 meaning to word
    QLabel* lblLeftCaption;
    QLabel* lblLeft;
    QLabel* lblQuestionCaption;
    QLabel* lblQuestion;
    QPushButton* cmdReveal;
    QLabel* lblAnswerCaption;
    QLabel* lblAnswer;
    QPushButton* cmdAgain;
    QPushButton* cmdHard;
    QPushButton* cmdGood;
    QPushButton* cmdEasy;
    QLabel* lblNewPerDayCaption;
    QSpinBox* spnNewPerDay;
    QCheckBox* chkCheckFails;
    QLabel* lblMethodCaption;
    QComboBox* cboMethod; // 0 FSRS, 1 SM-2
    QLabel* lblRetentionCaption;
    QSpinBox* spnRetention; // percent
    QPushButton* cmdOptimise;
    QLabel* lblFit; // the parameters in use and the day of the last fit
    QPushButton* cmdClose;

signals:
    // A digit key 1 to 4 was pressed: the grade of that number.
    void gradeKey(int grade);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
