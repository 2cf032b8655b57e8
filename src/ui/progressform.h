// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QChartView;
class QLabel;
class QPushButton;

// The progress window "学習の記録": five charts (answers per day, words due per day, words by
// state, retention per week, reviews expected per day), a line for the figures under the mouse, and
// buttons to save the charts and to close. Behaviour lives in FrmProgress.
class ProgressForm : public QDialog {
    Q_OBJECT
public:
    explicit ProgressForm(QWidget* parent = nullptr);

    QWidget* chartsArea; // what is saved as a picture
    QChartView* chartAnswers;
    QChartView* chartDue;
    QChartView* chartStates;
    QChartView* chartRetention; // measured retention per week against the target
    QChartView* chartForecast;  // reviews expected per day
    QLabel* lblFigures;
    QPushButton* cmdSave;
    QPushButton* cmdClose;
};
