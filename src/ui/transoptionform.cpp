// SPDX-License-Identifier: GPL-3.0-or-later
#include "transoptionform.h"

#include "formparts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>

namespace {

template <class W> W* named(W* widget, const char* name, QRect geometry) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

TransOptionForm::TransOptionForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTransOption"));
    setWindowTitle(QStringLiteral("ｵﾌﾟｼｮﾝ"));

    SSTab1 = named(new QTabWidget(this), "SSTab1", {10, 10, 400, 170});
    auto* originalPage = new QWidget;
    originalPage->setObjectName(QStringLiteral("SSTab1_0"));
    auto* searchPage = new QWidget;
    searchPage->setObjectName(QStringLiteral("SSTab1_1"));
    SSTab1->addTab(originalPage, QStringLiteral("<原文>ﾌｧｲﾙ"));
    SSTab1->addTab(searchPage, QStringLiteral("ｸｲｯｸｻｰﾁ"));

    Frame1 = named(new QGroupBox(originalPage), "Frame1", {8, 6, 376, 116});
    Check1 = named(new QCheckBox(QStringLiteral("<原文>ﾌｧｲﾙを使用する"), Frame1), "Check1",
                   {12, 14, 350, 26});
    Check2 = named(new QCheckBox(QStringLiteral("<原文>ﾌｧｲﾙも保存する"), Frame1), "Check2",
                   {32, 46, 330, 26});
    Check3 = named(new QCheckBox(QStringLiteral("<原文>ﾌｧｲﾙの編集を許可する"), Frame1), "Check3",
                   {32, 78, 330, 26});

    Check4 = named(new QCheckBox(QStringLiteral("近似語も検索する"), searchPage), "Check4",
                   {20, 20, 360, 26});
    Check5 =
        named(new QCheckBox(QStringLiteral("検索終了後、[ 単語部 ] にｶｰｿﾙを移動する"), searchPage),
              "Check5", {20, 52, 360, 26});
    Check6 = named(
        new QCheckBox(QStringLiteral("一致する単語がない場合、『登録ﾓｰﾄﾞ』 にする"), searchPage),
        "Check6", {40, 84, 340, 26});

    Command1 = named(new QPushButton(QStringLiteral("OK"), this), "Command1", {214, 192, 94, 30});
    Command2 =
        named(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this), "Command2", {316, 192, 94, 30});
    Command1->setDefault(true);
    setFixedSize(420, 234);
    formparts::nameForScreenReaders(this);
}
