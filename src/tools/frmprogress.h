// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/review/progress.h"
#include "ui/progressform.h"

#include <QObject>
#include <QPointer>

class QBarSet;
class QWidget;

// The progress window: draws the figures of the review log and state as charts, shows the figures
// of the bar or slice under the mouse, and saves the charts as a PNG picture.
class FrmProgress : public QObject {
    Q_OBJECT
public:
    FrmProgress(const ProgressData& data, QWidget* parent = nullptr);
    ~FrmProgress() override;

    ProgressForm* form() const { return m_form; }
    const ProgressData& data() const { return m_data; }
    void show();
    void close();
    void cmdSaveClick();

    // The figures line for day index of the answers chart and of the due chart.
    QString answersFigures(int day) const;
    QString dueFigures(int day) const;
    QString retentionFigures(int week) const;
    QString forecastFigures(int day) const;

private:
    void buildAnswersChart();
    void buildDueChart();
    void buildStatesChart();
    void buildRetentionChart();
    void buildForecastChart();
    void showFigures(const QString& text);

    ProgressData m_data;
    QPointer<ProgressForm> m_form;
};
