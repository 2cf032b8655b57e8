// SPDX-License-Identifier: GPL-3.0-or-later
#include "progressform.h"

#include "formparts.h"

#include <QChartView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using formparts::named;

ProgressForm::ProgressForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("学習の記録"));
    chartsArea = named(new QWidget(this), "chartsArea");
    auto view = [&](const char* name) {
        QChartView* v = named(new QChartView(chartsArea), name);
        v->setRenderHint(QPainter::Antialiasing);
        v->setMinimumSize(360, 260);
        return v;
    };
    chartAnswers = view("chartAnswers");
    chartDue = view("chartDue");
    chartStates = view("chartStates");
    chartRetention = view("chartRetention");
    chartForecast = view("chartForecast");
    auto* grid = new QGridLayout(chartsArea);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(chartAnswers, 0, 0, 1, 2);
    grid->addWidget(chartDue, 1, 0);
    grid->addWidget(chartStates, 1, 1);
    grid->addWidget(chartRetention, 2, 0);
    grid->addWidget(chartForecast, 2, 1);

    lblFigures = named(new QLabel(this), "lblFigures");
    lblFigures->setFrameShape(QFrame::Panel);
    lblFigures->setFrameShadow(QFrame::Sunken);
    lblFigures->setMinimumHeight(24);
    cmdSave = named(new QPushButton(QStringLiteral("画像として保存(&S)..."), this), "cmdSave");
    cmdClose = named(new QPushButton(QStringLiteral("閉じる(&Q)"), this), "cmdClose");
    cmdSave->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblFigures, 1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chartsArea, 1);
    layout->addLayout(buttons);
    resize(760, 880);
    formparts::nameForScreenReaders(this);
}
