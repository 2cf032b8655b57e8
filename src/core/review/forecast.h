// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

struct ProgressData;
class ReviewStore;

namespace progress {

// Adds the measured retention per week and the forecast of reviews per day to data, whose
// today is set: the retention from the log's answers, the forecast from each word's schedule
// under the store's method, parameters and desired retention.
void addRetentionAndForecast(ProgressData& data, const QByteArray& log, const ReviewStore& store);

} // namespace progress
