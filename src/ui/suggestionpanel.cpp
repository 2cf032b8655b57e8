// SPDX-License-Identifier: GPL-3.0-or-later
#include "suggestionpanel.h"

#include "formparts.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QVBoxLayout>

SuggestionPanel::SuggestionPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("fraDictSuggest"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    lblDictCaption =
        formparts::named(new QLabel(QStringLiteral("辞書の候補"), this), "lblDictCaption");
    lblDictCaption->setFont(formparts::designFont(QStringLiteral("ＭＳ ゴシック"), 9));
    barDictProgress = formparts::named(new QProgressBar(this), "barDictProgress");
    barDictProgress->setRange(0, 100);
    barDictProgress->setFormat(QStringLiteral("辞書の索引を作成しています %p%"));
    lblDictNote = formparts::named(new QLabel(this), "lblDictNote");
    lblDictNote->setWordWrap(true);
    lblDictNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lstDictSuggest = formparts::named(new QListWidget(this), "lstDictSuggest");
    lstDictSuggest->setWordWrap(true);
    lstDictSuggest->setTextElideMode(Qt::ElideNone);
    lstDictSuggest->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(lblDictCaption);
    layout->addWidget(barDictProgress);
    layout->addWidget(lblDictNote);
    layout->addWidget(lstDictSuggest, 1);
    barDictProgress->hide();
    lblDictNote->hide();
    lblDictCaption->setBuddy(lstDictSuggest);
    formparts::nameForScreenReaders(this);
}
