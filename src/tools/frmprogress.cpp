// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/frmprogress.h"

#include "core/files/atomicfile.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/progressform.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QPen>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>

namespace {

const QString GradeNames[4] = {QStringLiteral("もう一度"), QStringLiteral("難しい"),
                               QStringLiteral("正解"), QStringLiteral("簡単")};
const QColor GradeColours[4] = {QColor(0xd9, 0x53, 0x4f), QColor(0xf0, 0xad, 0x4e),
                                QColor(0x5c, 0xb8, 0x5c), QColor(0x42, 0x8b, 0xca)};

QString dayLabel(QDate day) {
    return day.toString(u"M/d");
}

// A category axis of the 30 days and a value axis from zero, whole numbers only. Thirty dates do
// not fit under the bars: the chart's title names the first and the last, and the figures line
// gives the date of the bar under the mouse.
void addAxes(QChart* chart, QAbstractSeries* series, QDate first, int most) {
    auto* days = new QBarCategoryAxis;
    for (int d = 0; d < ProgressData::Days; ++d)
        days->append(dayLabel(first.addDays(d)));
    days->setLabelsVisible(false);
    days->setGridLineVisible(false);
    auto* counts = new QValueAxis;
    counts->setRange(0, std::max(4, most));
    counts->setLabelFormat(QStringLiteral("%d"));
    counts->applyNiceNumbers();
    chart->addAxis(days, Qt::AlignBottom);
    chart->addAxis(counts, Qt::AlignLeft);
    series->attachAxis(days);
    series->attachAxis(counts);
}

} // namespace

FrmProgress::FrmProgress(const ProgressData& data, QWidget* parent)
    : m_data(data), m_form(new ProgressForm(parent)) {
    m_form->setAttribute(Qt::WA_DeleteOnClose);
    m_form->setWindowModality(Qt::WindowModal);
    connect(m_form->cmdSave, &QPushButton::clicked, this, [this] {
        guarded(reportOnly(u"学習の記録の保存時", "Error906"), [this] { cmdSaveClick(); });
    });
    connect(m_form->cmdClose, &QPushButton::clicked, this, [this] { close(); });
    connect(m_form, &QObject::destroyed, this, &QObject::deleteLater);
    buildAnswersChart();
    buildDueChart();
    buildStatesChart();
    buildRetentionChart();
    buildForecastChart();
}

FrmProgress::~FrmProgress() {
    delete m_form.data();
}

void FrmProgress::show() {
    m_form->show();
    m_form->raise();
    m_form->activateWindow();
}

void FrmProgress::close() {
    if (m_form)
        m_form->close();
}

QString FrmProgress::answersFigures(int day) const {
    const auto& a = m_data.answers[size_t(day)];
    const QDate date = m_data.today.addDays(day - (ProgressData::Days - 1));
    return QStringLiteral("%1  回答 %2 回（もう一度 %3・難しい %4・正解 %5・簡単 %6）")
        .arg(dayLabel(date))
        .arg(a[0] + a[1] + a[2] + a[3])
        .arg(a[0])
        .arg(a[1])
        .arg(a[2])
        .arg(a[3]);
}

QString FrmProgress::dueFigures(int day) const {
    return QStringLiteral("%1  復習予定 %2 語")
        .arg(dayLabel(m_data.today.addDays(day)))
        .arg(m_data.due[size_t(day)]);
}

QString FrmProgress::retentionFigures(int week) const {
    const QDate first = m_data.today.addDays(-(ProgressData::Weeks * 7 - 1) + week * 7);
    const int answers = m_data.retentionAnswers[size_t(week)];
    const QString target = QString::number(qRound(m_data.targetRetention * 100));
    if (answers == 0)
        return QStringLiteral("%1 〜 %2  復習なし（目標 %3 %）")
            .arg(dayLabel(first), dayLabel(first.addDays(6)), target);
    return QStringLiteral("%1 〜 %2  記憶率 %3 %（%4 回中、目標 %5 %）")
        .arg(dayLabel(first), dayLabel(first.addDays(6)),
             QString::number(m_data.retention[size_t(week)] * 100, 'f', 1))
        .arg(answers)
        .arg(target);
}

QString FrmProgress::forecastFigures(int day) const {
    return QStringLiteral("%1  復習の見込み %2 回")
        .arg(dayLabel(m_data.today.addDays(day)))
        .arg(qRound(m_data.forecast[size_t(day)]));
}

void FrmProgress::showFigures(const QString& text) {
    m_form->lblFigures->setText(text);
    if (!text.isEmpty())
        QToolTip::showText(QCursor::pos(), text);
}

void FrmProgress::buildAnswersChart() {
    auto* series = new QStackedBarSeries;
    int most = 0;
    for (const auto& day : m_data.answers)
        most = std::max(most, day[0] + day[1] + day[2] + day[3]);
    for (int g = 0; g < 4; ++g) {
        auto* set = new QBarSet(GradeNames[g]);
        set->setObjectName(QStringLiteral("answers%1").arg(g + 1));
        set->setColor(GradeColours[g]);
        for (const auto& day : m_data.answers)
            *set << day[size_t(g)];
        series->append(set);
    }
    connect(series, &QAbstractBarSeries::hovered, this, [this](bool on, int day, QBarSet*) {
        showFigures(on ? answersFigures(day) : QString());
    });
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("毎日の回答数（%1 〜 %2）")
                        .arg(dayLabel(m_data.today.addDays(-(ProgressData::Days - 1))),
                             dayLabel(m_data.today)));
    chart->addSeries(series);
    addAxes(chart, series, m_data.today.addDays(-(ProgressData::Days - 1)), most);
    chart->legend()->setAlignment(Qt::AlignRight);
    m_form->chartAnswers->setChart(chart);
}

void FrmProgress::buildDueChart() {
    auto* set = new QBarSet(QStringLiteral("復習予定"));
    set->setObjectName(QStringLiteral("due"));
    set->setColor(QColor(0x42, 0x8b, 0xca));
    int most = 0;
    for (int n : m_data.due) {
        *set << n;
        most = std::max(most, n);
    }
    auto* series = new QBarSeries;
    series->append(set);
    connect(series, &QAbstractBarSeries::hovered, this,
            [this](bool on, int day, QBarSet*) { showFigures(on ? dueFigures(day) : QString()); });
    auto* chart = new QChart;
    chart->setTitle(
        QStringLiteral("これからの復習予定（%1 〜 %2）")
            .arg(dayLabel(m_data.today), dayLabel(m_data.today.addDays(ProgressData::Days - 1))));
    chart->addSeries(series);
    addAxes(chart, series, m_data.today, most);
    chart->legend()->hide();
    m_form->chartDue->setChart(chart);
}

void FrmProgress::buildStatesChart() {
    auto* series = new QPieSeries;
    const std::pair<QString, int> states[] = {{QStringLiteral("未学習"), m_data.newWords},
                                              {QStringLiteral("学習中"), m_data.learning},
                                              {QStringLiteral("習得済み"), m_data.known}};
    const QColor colours[] = {QColor(0xbb, 0xbb, 0xbb), QColor(0xf0, 0xad, 0x4e),
                              QColor(0x5c, 0xb8, 0x5c)};
    int k = 0;
    for (const auto& [name, count] : states) {
        QPieSlice* slice = series->append(QStringLiteral("%1 %2語").arg(name).arg(count), count);
        slice->setObjectName(name);
        slice->setColor(colours[k++]);
        connect(slice, &QPieSlice::hovered, this, [this, slice, name, count](bool on) {
            slice->setExploded(on);
            showFigures(on ? QStringLiteral("%1 %2 語").arg(name).arg(count) : QString());
        });
    }
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("単語の状態"));
    chart->addSeries(series);
    chart->legend()->setAlignment(Qt::AlignBottom);
    m_form->chartStates->setChart(chart);
}

void FrmProgress::cmdSaveClick() {
    FileRequest request;
    request.title = QStringLiteral("学習の記録を画像として保存");
    request.fileName = QStringLiteral("学習の記録.png");
    request.filter = QStringLiteral("PNG 画像 (*.png)");
    request.defaultSuffix = QStringLiteral("png");
    const std::optional<QString> path = dialogs().saveFile(request);
    if (!path)
        return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    m_form->chartsArea->grab().save(&buffer, "PNG");
    writeFileAtomically(*path, bytes);
}

void FrmProgress::buildRetentionChart() {
    auto* set = new QBarSet(QStringLiteral("記憶率"));
    set->setObjectName(QStringLiteral("retention"));
    set->setColor(QColor(0x5c, 0xb8, 0x5c));
    auto* target = new QLineSeries;
    target->setObjectName(QStringLiteral("target"));
    target->setName(QStringLiteral("目標"));
    target->setPen(QPen(QColor(0xd9, 0x53, 0x4f), 2, Qt::DashLine));
    auto* weeks = new QBarCategoryAxis;
    const QDate first = m_data.today.addDays(-(ProgressData::Weeks * 7 - 1));
    for (int w = 0; w < ProgressData::Weeks; ++w) {
        *set << std::max(0.0, m_data.retention[size_t(w)] * 100);
        weeks->append(dayLabel(first.addDays(w * 7)));
    }
    // The target runs the whole width: from the left edge of the first bar to the right of the
    // last.
    target->append(-0.5, m_data.targetRetention * 100);
    target->append(ProgressData::Weeks - 0.5, m_data.targetRetention * 100);
    auto* series = new QBarSeries;
    series->append(set);
    connect(series, &QAbstractBarSeries::hovered, this, [this](bool on, int week, QBarSet*) {
        showFigures(on ? retentionFigures(week) : QString());
    });
    auto* chart = new QChart;
    // Twelve week labels do not fit under the bars either: the title names the first and the
    // last week, and the figures line the week under the mouse.
    chart->setTitle(QStringLiteral("週ごとの記憶率と目標 %（%1 〜 %2）")
                        .arg(dayLabel(first), dayLabel(m_data.today)));
    chart->addSeries(series);
    chart->addSeries(target);
    auto* percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setLabelFormat(QStringLiteral("%d"));
    weeks->setLabelsVisible(false);
    weeks->setGridLineVisible(false);
    chart->addAxis(weeks, Qt::AlignBottom);
    chart->addAxis(percent, Qt::AlignLeft);
    series->attachAxis(weeks);
    series->attachAxis(percent);
    target->attachAxis(weeks);
    target->attachAxis(percent);
    chart->legend()->setAlignment(Qt::AlignBottom);
    m_form->chartRetention->setChart(chart);
}

void FrmProgress::buildForecastChart() {
    auto* set = new QBarSet(QStringLiteral("復習の見込み"));
    set->setObjectName(QStringLiteral("forecast"));
    set->setColor(QColor(0x8e, 0x6c, 0xc4));
    int most = 0;
    for (double n : m_data.forecast) {
        *set << qRound(n);
        most = std::max(most, qRound(n));
    }
    auto* series = new QBarSeries;
    series->append(set);
    connect(series, &QAbstractBarSeries::hovered, this, [this](bool on, int day, QBarSet*) {
        showFigures(on ? forecastFigures(day) : QString());
    });
    auto* chart = new QChart;
    chart->setTitle(
        QStringLiteral("復習の見込み（%1 〜 %2）")
            .arg(dayLabel(m_data.today), dayLabel(m_data.today.addDays(ProgressData::Days - 1))));
    chart->addSeries(series);
    addAxes(chart, series, m_data.today, most);
    chart->legend()->hide();
    m_form->chartForecast->setChart(chart);
}
