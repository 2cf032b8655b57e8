// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

class QLabel;
class QListWidget;
class QProgressBar;

// The list "辞書の候補": meanings offered from the installed dictionaries while a word is
// registered, with the progress of the first indexing and any note about the dictionaries.
class SuggestionPanel : public QFrame {
    Q_OBJECT
public:
    explicit SuggestionPanel(QWidget* parent = nullptr);

    QLabel* lblDictCaption;
    QProgressBar* barDictProgress;
    QLabel* lblDictNote;
    QListWidget* lstDictSuggest;
};
