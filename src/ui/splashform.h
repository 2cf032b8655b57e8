// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;

// The start-up window shown while the settings are read and the book is opened.
class SplashForm : public QWidget {
    Q_OBJECT
public:
    explicit SplashForm(QWidget* parent = nullptr);

    QLabel* lblProductName;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* lblVersion;
    QLabel* imgLogo;
    QLabel* lblNotice1;
    QLabel* lblNotice2;
};
