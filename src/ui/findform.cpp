// SPDX-License-Identifier: GPL-3.0-or-later
#include "findform.h"

#include "formparts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using formparts::named;

FindForm::FindForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("検索と置換"));
    Label1 = new QLabel(QStringLiteral("検索する文字列を入力"), this);
    named(Label1, QStringLiteral("Label1"), {12, 10, 300, 20});
    txtFind = new QLineEdit(this);
    named(txtFind, QStringLiteral("txtFind"), {12, 30, 300, 24});
    Label2 = new QLabel(QStringLiteral("置換後の文字列を入力"), this);
    named(Label2, QStringLiteral("Label2"), {12, 62, 300, 20});
    txtRewrite = new QLineEdit(this);
    named(txtRewrite, QStringLiteral("txtRewrite"), {12, 82, 300, 24});

    Frame1 = new QGroupBox(this);
    named(Frame1, QStringLiteral("Frame1"), {12, 114, 300, 52});
    const char16_t* panes[] = {u"<原文>ｳｨﾝﾄﾞｳ", u"<訳文>ｳｨﾝﾄﾞｳ"};
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(QString::fromUtf16(panes[i]), Frame1);
        named(option, QStringLiteral("Option1_%1").arg(i), {10 + 145 * i, 18, 140, 24});
        Option1 << option;
    }
    Check1 = new QCheckBox(QStringLiteral("先頭から検索を開始する(&T)"), this);
    named(Check1, QStringLiteral("Check1"), {12, 174, 300, 22});
    Check2 = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&S)"), this);
    named(Check2, QStringLiteral("Check2"), {12, 200, 300, 22});

    const struct {
        const char* name;
        const char16_t* caption;
        QPushButton** out;
    } buttons[] = {{"cmdFind", u"次を検索(&N)", &cmdFind},
                   {"cmdRewrite", u"置換(&R)", &cmdRewrite},
                   {"cmdAllrewrite", u"すべて置換(&A)", &cmdAllrewrite},
                   {"cmdClose", u"閉じる(&C)", &cmdClose}};
    int top = 30;
    for (const auto& b : buttons) {
        *b.out = new QPushButton(QString::fromUtf16(b.caption), this);
        named(*b.out, QLatin1String(b.name), {326, top, 120, 28});
        top += 36;
    }
    // Enter in the search box means the next find, not the dialog's default button.
    cmdFind->setAutoDefault(false);
    for (QPushButton* b : {cmdRewrite, cmdAllrewrite, cmdClose})
        b->setAutoDefault(false);
    cmdFind->setDefault(true);
    setFixedSize(458, 232);
    Label1->setBuddy(txtFind);
    Label2->setBuddy(txtRewrite);
    formparts::nameForScreenReaders(this);
}
