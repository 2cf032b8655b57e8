// SPDX-License-Identifier: GPL-3.0-or-later
#include "quizform.h"

#include "formparts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using formparts::named;

QuizForm::QuizForm(Direction direction, QWidget* parent) : QDialog(parent), m_direction(direction) {
    const bool toWord = direction == Direction::MeaningToWord;
    setObjectName(toWord ? QStringLiteral("frmJtoE") : QStringLiteral("frmEtoJ"));
    setWindowTitle(toWord ? QStringLiteral("単語を当てよう！")
                          : QStringLiteral("意味を当てよう！"));
    auto caption = [&](const char* name, const QString& text, QRect geometry) {
        auto* label = new QLabel(text, this);
        named(label, name, geometry);
        return label;
    };
    auto counter = [&](const char* name, QRect geometry) {
        auto* label = new QLabel(this);
        named(label, name, geometry);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return label;
    };

    // A meaning runs to 200 characters and may hold line breaks: the question and the answer
    // scroll when they do not fit their box.
    auto scrolledText = [&](const char* name, QRect geometry) {
        return formparts::scrolledText(this, name, geometry);
    };

    lblQCountCaption = caption("lblQCountCaption", QStringLiteral("出題数"), {16, 14, 60, 22});
    lblQCount = counter("lblQCount", {76, 14, 60, 22});
    lblOKCountCaption = caption("lblOKCountCaption", QStringLiteral("当たり"), {148, 14, 50, 22});
    lblOKCount = counter("lblOKCount", {198, 14, 60, 22});
    lblNGCountCaption = caption("lblNGCountCaption", QStringLiteral("ハズレ"), {270, 14, 50, 22});
    lblNGCount = counter("lblNGCount", {320, 14, 60, 22});
    lblNoCountCaption = caption("lblNoCountCaption", QStringLiteral("無回答"), {392, 14, 50, 22});
    lblNoCount = counter("lblNoCount", {442, 14, 60, 22});

    lblStyleCaption = caption("lblStyleCaption", QStringLiteral("出題形式"), {16, 46, 60, 22});
    lblStyle = caption("lblStyle", {}, {76, 46, 110, 22});
    lblEndRecCaption = caption("lblEndRecCaption", QStringLiteral("総出題数"), {198, 46, 60, 22});
    lblEndRec = caption("lblEndRec", {}, {258, 46, 80, 22});
    lblChkOnly = caption("lblChkOnly", {}, {392, 46, 110, 22});

    lblQuestionCaption = caption("lblQuestionCaption", QStringLiteral("問題"), {16, 80, 60, 22});
    lblQuestion = scrolledText(toWord ? "lblQuestionJ" : "lblQuestionE", {16, 104, 486, 70});

    lblPrompt = caption("lblPrompt", {}, {16, 184, 100, 22});
    lblInputCaption = caption("lblInputCaption", QStringLiteral("解答"), {16, 212, 60, 22});
    txtInput = new QLineEdit(this);
    named(txtInput, toWord ? "txtInputE" : "txtInputJ", {76, 210, 426, 26});

    lblResult = scrolledText(toWord ? "lblResultE" : "lblResultJ", {16, 246, 486, 56});

    cmdQuestion = new QPushButton(QStringLiteral("出 題"), this);
    named(cmdQuestion, toWord ? "cmdQuestionJ" : "cmdQuestionE", {16, 314, 110, 32});
    cmdResult = new QPushButton(QStringLiteral("解 答"), this);
    named(cmdResult, toWord ? "cmdResultE" : "cmdResultJ", {136, 314, 110, 32});
    cmdExit = new QPushButton(QStringLiteral("終了(&Q)"), this);
    named(cmdExit, toWord ? "cmdExitJtoE" : "cmdExitEtoJ", {392, 314, 110, 32});
    // Enter in the answer box answers; on a button, it presses that button.
    cmdResult->setDefault(true);
    setFixedSize(518, 362);
    lblInputCaption->setBuddy(txtInput);
    formparts::nameForScreenReaders(this);
}

void QuizForm::keyPressEvent(QKeyEvent* event) {
    // The quiz ends through its end button, which offers to keep the misses as check marks; a
    // stray Esc (one meant for the input method, say) must not throw the quiz away.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
