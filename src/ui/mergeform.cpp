// SPDX-License-Identifier: GPL-3.0-or-later
#include "mergeform.h"

#include "formparts.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using formparts::named;

MergeForm::MergeForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMerge"));
    setWindowTitle(QStringLiteral("ﾌﾞｯｸの統合"));
    auto sunken = [](QLabel* l) {
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
    };
    const QString rows[] = {QStringLiteral("ブックＡ"), QStringLiteral("ブックＢ"),
                            QStringLiteral("統合先のブック")};
    QLabel** paths[] = {&lblApathName, &lblBpathName, &lblMpathName};
    const char* pathNames[] = {"lblApathName", "lblBpathName", "lblMpathName"};
    for (int i = 0; i < 3; ++i) {
        const int y = 10 + i * 56;
        auto* row = new QLabel(rows[i], this);
        named(row, QStringLiteral("lblRow_%1").arg(i), {10, y, 110, 24});
        lblRow << row;
        auto* name = new QLabel(this);
        named(name, QStringLiteral("lblRead_%1").arg(i), {120, y, 300, 24});
        sunken(name);
        lblRead << name;
        auto* read = new QPushButton(QStringLiteral("読込み"), this);
        named(read, QStringLiteral("cmdRead_%1").arg(i), {428, y - 2, 80, 28});
        cmdRead << read;
        *paths[i] = new QLabel(this);
        named(*paths[i], QLatin1String(pathNames[i]), {120, y + 26, 388, 20});
    }
    lblPrio = new QLabel(QStringLiteral("ＡとＢが重複した場合の処理"), this);
    named(lblPrio, QStringLiteral("lblPrio"), {10, 182, 200, 24});
    cboPrio = new QComboBox(this);
    named(cboPrio, QStringLiteral("cboPrio"), {210, 180, 298, 26});
    lblWordHeader = new QLabel(QStringLiteral("単語"), this);
    named(lblWordHeader, QStringLiteral("lblWordHeader"), {10, 214, 120, 20});
    lblMeanHeader = new QLabel(QStringLiteral("意味"), this);
    named(lblMeanHeader, QStringLiteral("lblMeanHeader"), {136, 214, 180, 20});
    lblReiHeader = new QLabel(QStringLiteral("用例"), this);
    named(lblReiHeader, QStringLiteral("lblReiHeader"), {322, 214, 186, 20});
    lblAword = new QLabel(this);
    named(lblAword, QStringLiteral("lblAword"), {10, 236, 120, 60});
    sunken(lblAword);
    txtAmean = new QPlainTextEdit(this);
    named(txtAmean, QStringLiteral("txtAmean"), {136, 236, 180, 60});
    txtArei = new QPlainTextEdit(this);
    named(txtArei, QStringLiteral("txtArei"), {322, 236, 186, 60});
    lblBword = new QLabel(this);
    named(lblBword, QStringLiteral("lblBword"), {10, 302, 120, 60});
    sunken(lblBword);
    txtBmean = new QPlainTextEdit(this);
    named(txtBmean, QStringLiteral("txtBmean"), {136, 302, 180, 60});
    txtBrei = new QPlainTextEdit(this);
    named(txtBrei, QStringLiteral("txtBrei"), {322, 302, 186, 60});
    cmdAchoice = new QPushButton(QStringLiteral("Ａを採用する"), this);
    named(cmdAchoice, QStringLiteral("cmdAchoice"), {10, 372, 120, 28});
    cmdBchoice = new QPushButton(QStringLiteral("Ｂを採用する"), this);
    named(cmdBchoice, QStringLiteral("cmdBchoice"), {136, 372, 120, 28});
    cmdMerge = new QPushButton(QStringLiteral("統合処理開始"), this);
    named(cmdMerge, QStringLiteral("cmdMerge"), {300, 372, 110, 28});
    cmdExit = new QPushButton(QStringLiteral("閉じる"), this);
    named(cmdExit, QStringLiteral("cmdExit"), {418, 372, 90, 28});
    setFixedSize(518, 410);
    lblPrio->setBuddy(cboPrio);
    txtAmean->setAccessibleName(lblRow[0]->text() + QStringLiteral("の意味"));
    txtArei->setAccessibleName(lblRow[0]->text() + QStringLiteral("の用例"));
    txtBmean->setAccessibleName(lblRow[1]->text() + QStringLiteral("の意味"));
    txtBrei->setAccessibleName(lblRow[1]->text() + QStringLiteral("の用例"));
    formparts::nameForScreenReaders(this);
}
