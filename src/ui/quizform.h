// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// A quiz window. Both directions share the layout: meaning to word ("frmJtoE") asks for the word
// of a meaning, word to meaning ("frmEtoJ") for the meaning of a word. The members carry the
// names of the chosen direction.
class QuizForm : public QDialog {
    Q_OBJECT
public:
    enum class Direction { MeaningToWord, WordToMeaning };

    explicit QuizForm(Direction direction, QWidget* parent = nullptr);

    Direction direction() const { return m_direction; }

    QLabel* lblQCountCaption;
    QLabel* lblQCount;
    QLabel* lblOKCountCaption;
    QLabel* lblOKCount;
    QLabel* lblNGCountCaption;
    QLabel* lblNGCount;
    QLabel* lblNoCountCaption;
    QLabel* lblNoCount;
    QLabel* lblStyleCaption;
    QLabel* lblStyle;
    QLabel* lblEndRecCaption;
    QLabel* lblEndRec;
    QLabel* lblChkOnly;
    QLabel* lblQuestionCaption;
    QLabel* lblQuestion; // lblQuestionJ / lblQuestionE
    QLabel* lblPrompt;
    QLabel* lblInputCaption;
    QLineEdit* txtInput;      // txtInputE / txtInputJ
    QLabel* lblResult;        // lblResultE / lblResultJ
    QPushButton* cmdQuestion; // cmdQuestionJ / cmdQuestionE
    QPushButton* cmdResult;   // cmdResultE / cmdResultJ
    QPushButton* cmdExit;     // cmdExitJtoE / cmdExitEtoJ

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Direction m_direction;
};
