// SPDX-License-Identifier: GPL-3.0-or-later
#include "fontlist.h"

#include "platform/fontsubstitution.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QProgressBar>

namespace fontlist {

namespace {

const QString InitialFont = QStringLiteral("ＭＳ ｺﾞｼｯｸ");
// The bar is repainted this often while the list fills, so the start window shows it moving
// without the list waiting on the screen for every font.
constexpr int RepaintEvery = 32;

} // namespace

QStringList screenFonts() {
    QStringList fonts = QFontDatabase::families();
    for (const QString& name : windowsFontNames())
        if (!fonts.contains(name))
            fonts << name;
    return fonts;
}

void fill(QComboBox* combo, QProgressBar* bar) {
    const QStringList fonts = screenFonts();
    if (bar) {
        bar->setRange(0, qMax(0, int(fonts.size()) - 1));
        bar->setValue(0);
        bar->show();
    }
    combo->clear();
    for (int i = 0; i < fonts.size(); ++i) {
        combo->addItem(fonts[i]);
        if (bar) {
            bar->setValue(i);
            if (i % RepaintEvery == 0)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    }
    const int initial = combo->findText(InitialFont);
    combo->setCurrentIndex(initial);
    if (initial < 0)
        combo->setPlaceholderText(InitialFont);
    if (bar)
        bar->hide();
}

} // namespace fontlist
