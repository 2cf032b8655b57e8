// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmtrsplash.h"

#include "core/settings/session.h"
#include "frmtranslatorl.h"
#include "platform/appearance.h"
#include "platform/errorguard.h"
#include "ui/translatorlform.h"
#include "ui/trsplashform.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

namespace frmtrsplash {

std::unique_ptr<FrmTranslatorL> openEditor() {
    std::unique_ptr<FrmTranslatorL> editor;
    guarded(terminating(u"ﾛｰﾄﾞ時", "Error184"), [&] {
        TrSplashForm splash;
        splash.Label1->setText(QStringLiteral("設定内容を読み込み中..."));
        splash.show();
        QCoreApplication::processEvents();
        auto loading = std::make_unique<FrmTranslatorL>();
        if (!loading->formLoad(splash.ProgressBar1))
            return;
        QCoreApplication::processEvents();
        TranslatorLForm* form = loading->form();
        form->show();
        form->activateWindow();
        form->txtInput->setFocus();
        appearance::setInputMethodMode(form->txtInput, session().display.input.imeMode);
        editor = std::move(loading);
    });
    return editor;
}

} // namespace frmtrsplash
