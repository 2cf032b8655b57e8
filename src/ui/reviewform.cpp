// SPDX-License-Identifier: GPL-3.0-or-later
#include "reviewform.h"

#include "formparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

using formparts::named;

ReviewForm::ReviewForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmReview"));
    setWindowTitle(QStringLiteral("復習"));
    auto caption = [&](const char* name, const QString& text, QRect geometry) {
        QLabel* label = named(new QLabel(text, this), name);
        label->setGeometry(geometry);
        return label;
    };
    // A meaning runs to 200 characters and may hold line breaks.
    auto scrolledText = [&](const char* name, QRect geometry) {
        return formparts::scrolledText(this, name, geometry);
    };
    auto button = [&](const char* name, const QString& text, QRect geometry) {
        QPushButton* b = named(new QPushButton(text, this), name);
        b->setGeometry(geometry);
        b->setAutoDefault(false);
        return b;
    };

    lblDirectionCaption =
        caption("lblDirectionCaption", QStringLiteral("出題形式"), {16, 14, 70, 24});
    cboDirection = named(new QComboBox(this), "cboDirection");
    cboDirection->addItems({QStringLiteral("単語→意味"), QStringLiteral("意味→単語")});
    cboDirection->setGeometry(86, 14, 130, 24);
    lblLeftCaption = caption("lblLeftCaption", QStringLiteral("残り"), {330, 14, 50, 24});
    lblLeft = caption("lblLeft", {}, {380, 14, 60, 24});
    lblLeft->setFrameShape(QFrame::Panel);
    lblLeft->setFrameShadow(QFrame::Sunken);
    lblLeft->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption("lblLeftUnit", QStringLiteral("語"), {444, 14, 40, 24});

    lblQuestionCaption = caption("lblQuestionCaption", QStringLiteral("問題"), {16, 48, 60, 22});
    lblQuestion = scrolledText("lblQuestion", {16, 70, 486, 70});
    cmdReveal = button("cmdReveal", QStringLiteral("答えを見る [Space]"), {16, 148, 160, 30});
    lblAnswerCaption = caption("lblAnswerCaption", QStringLiteral("答え"), {16, 186, 60, 22});
    lblAnswer = scrolledText("lblAnswer", {16, 208, 486, 70});

    cmdAgain = button("cmdAgain", QStringLiteral("もう一度"), {16, 288, 116, 32});
    cmdHard = button("cmdHard", QStringLiteral("難しい"), {139, 288, 116, 32});
    cmdGood = button("cmdGood", QStringLiteral("正解"), {262, 288, 116, 32});
    cmdEasy = button("cmdEasy", QStringLiteral("簡単"), {386, 288, 116, 32});
    const QString keys[] = {QStringLiteral("[1]"), QStringLiteral("[2]"), QStringLiteral("[3]"),
                            QStringLiteral("[4]")};
    int k = 0;
    for (QPushButton* b : {cmdAgain, cmdHard, cmdGood, cmdEasy})
        b->setToolTip(keys[k++]);

    lblNewPerDayCaption = caption("lblNewPerDayCaption", QStringLiteral("1日に新しく出題する単語"),
                                  {16, 334, 170, 24});
    spnNewPerDay = named(new QSpinBox(this), "spnNewPerDay");
    spnNewPerDay->setRange(0, 9999);
    spnNewPerDay->setGeometry(186, 334, 80, 24);
    chkCheckFails =
        named(new QCheckBox(QStringLiteral("3回続けて「もう一度」だった単語にﾁｪｯｸを付ける"), this),
              "chkCheckFails");
    chkCheckFails->setGeometry(16, 364, 380, 24);
    lblMethodCaption = caption("lblMethodCaption", QStringLiteral("予定の方式"), {16, 396, 90, 24});
    cboMethod = named(new QComboBox(this), "cboMethod");
    cboMethod->addItems({QStringLiteral("FSRS"), QStringLiteral("SM-2")});
    cboMethod->setGeometry(106, 396, 90, 24);
    lblRetentionCaption =
        caption("lblRetentionCaption", QStringLiteral("目標の記憶率"), {214, 396, 90, 24});
    spnRetention = named(new QSpinBox(this), "spnRetention");
    spnRetention->setRange(70, 97);
    spnRetention->setSuffix(QStringLiteral(" %"));
    spnRetention->setGeometry(304, 396, 70, 24);
    cmdOptimise = button("cmdOptimise", QStringLiteral("最適化"), {392, 394, 110, 28});
    lblFit = caption("lblFit", {}, {16, 426, 486, 22});
    cmdClose = button("cmdClose", QStringLiteral("閉じる(&Q)"), {392, 452, 110, 32});
    setFixedSize(518, 496);
    lblNewPerDayCaption->setBuddy(spnNewPerDay);
    lblMethodCaption->setBuddy(cboMethod);
    lblRetentionCaption->setBuddy(spnRetention);
    formparts::nameForScreenReaders(this);
}

void ReviewForm::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (key >= Qt::Key_1 && key <= Qt::Key_4) {
            emit gradeKey(key - Qt::Key_0);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}
