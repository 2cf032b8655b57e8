// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// The small window shown while the translation editor loads, with the bar that follows the font
// list as it fills.
class TrSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TrSplashForm(QWidget* parent = nullptr);

    QLabel* Label1;
    QProgressBar* ProgressBar1;
};
