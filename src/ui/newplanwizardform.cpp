// SPDX-License-Identifier: GPL-3.0-or-later
#include "newplanwizardform.h"

#include "core/richtext/twips.h"
#include "formparts.h"
#include "twipslayout.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

using twipslayout::placed;

QLabel* wrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* fileNameLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    return label;
}

constexpr int PageLeft = 100;
constexpr int PageTop = 50;
constexpr int PageWidth = 5530;
constexpr int PageHeight = 3000;

} // namespace

NewPlanWizardForm::NewPlanWizardForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmNewPlanWizard"));
    setWindowTitle(QStringLiteral("新規ﾌﾟﾛｼﾞｪｸﾄ作成ｳｨｻﾞｰﾄﾞ"));

    Frame1 = placed(new QFrame(this), "Frame1", PageLeft, PageTop, PageWidth, PageHeight);
    Label1 = placed(wrappedLabel(QStringLiteral("新しく始める翻訳作業のプロジェクト名を入力して下さ"
                                                "い（既にある名前と重複しないように注意してくださ"
                                                "い）"),
                                 Frame1),
                    "Label1", 120, 120, 5300, 700);
    txtNewPlanName = placed(new QLineEdit(Frame1), "txtNewPlanName", 120, 860, 5300, 360);
    Label2 = placed(new QLabel(QStringLiteral("すでに作成されたﾌﾟﾛｼﾞｪｸﾄ名"), Frame1), "Label2", 120,
                    1340, 5300, 260);
    List1 = placed(new QListWidget(Frame1), "List1", 120, 1620, 5300, 1300);

    Frame2 = placed(new QFrame(this), "Frame2", PageLeft, PageTop, PageWidth, PageHeight);
    Label4 = placed(wrappedLabel(QStringLiteral("翻訳元となる原稿（原文）ﾌｧｲﾙを取込んで使用する場合"
                                                "は、ここで「ﾌｧｲﾙ選択」ﾎﾞﾀﾝを押して取込みたいﾌｧｲﾙ"
                                                "を選んでください。"),
                                 Frame2),
                    "Label4", 120, 120, 5300, 900);
    auto* options = new QButtonGroup(this);
    const char16_t* optionCaptions[] = {u"<原文>ﾌｧｲﾙを取込んで利用する", u"<原文>ﾌｧｲﾙを利用しない"};
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(QString::fromUtf16(optionCaptions[i]), Frame2);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        twipslayout::place(option, 300, 1140 + i * 400, 4000, 330);
        options->addButton(option, i);
        Option1.append(option);
    }
    cmdSelectOrgFile = placed(new QPushButton(QStringLiteral("ﾌｧｲﾙ選択"), Frame2),
                              "cmdSelectOrgFile", 4200, 1120, 1200, 380);
    Label9 =
        placed(new QLabel(QStringLiteral("<原文>ﾌｧｲﾙ名"), Frame2), "Label9", 120, 2100, 5300, 260);
    lblOrgFileName = placed(fileNameLabel(Frame2), "lblOrgFileName", 120, 2400, 5300, 360);

    Frame3 = placed(new QFrame(this), "Frame3", PageLeft, PageTop, PageWidth, PageHeight);
    Label7 = placed(
        wrappedLabel(QStringLiteral("最後に、新規作成する<訳文>ﾌｧｲﾙを名前を付けて保存します。"),
                     Frame3),
        "Label7", 120, 120, 5300, 500);
    cmdSaveTransFile = placed(new QPushButton(QStringLiteral("新規保存"), Frame3),
                              "cmdSaveTransFile", 4200, 640, 1200, 380);
    Label10 =
        placed(new QLabel(QStringLiteral("<訳文>ﾌｧｲﾙ名"), Frame3), "Label10", 120, 1080, 5300, 260);
    lblTransFileName = placed(fileNameLabel(Frame3), "lblTransFileName", 120, 1360, 5300, 360);
    Check1 = placed(new QCheckBox(QStringLiteral("<注釈>用ﾌｧｲﾙも作成する。"), Frame3), "Check1",
                    120, 1860, 5300, 330);
    Label12 = placed(new QLabel(QStringLiteral("<注釈>ﾌｧｲﾙ名（自動名付）"), Frame3), "Label12", 120,
                     2260, 5300, 260);
    lblCmntFileName = placed(fileNameLabel(Frame3), "lblCmntFileName", 120, 2540, 5300, 360);

    cmdBack = placed(new QPushButton(QStringLiteral("< 戻る(&B)"), this), "cmdBack", 420, 3300,
                     1200, 400);
    cmdNext = placed(new QPushButton(QStringLiteral("次へ(&N) >"), this), "cmdNext", 1680, 3300,
                     1200, 400);
    cmdOK = placed(new QPushButton(QStringLiteral("完了"), this), "cmdOK", 3060, 3300, 1200, 400);
    cmdCancel =
        placed(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this), "cmdCancel", 4320, 3300, 1200, 400);
    // No button takes Enter for the whole page: the file buttons of pages 2 and 3 would open
    // their file dialogs from a key meant for the box in focus.
    for (QPushButton* b : {cmdBack, cmdNext, cmdOK, cmdCancel, cmdSelectOrgFile, cmdSaveTransFile})
        b->setAutoDefault(false);

    setFixedSize(twips::toPixels(5850), twips::toPixels(4250));
    showPage(1);
    Label1->setBuddy(txtNewPlanName);
    Label2->setBuddy(List1);
    formparts::nameForScreenReaders(this);
}

void NewPlanWizardForm::showPage(int page) {
    m_page = page;
    Frame1->setVisible(page == 1);
    Frame2->setVisible(page == 2);
    Frame3->setVisible(page == 3);
}
