// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogservice.h"

#include "qtdialogservice.h"

namespace {
DialogService* current = nullptr;
} // namespace

DialogService& dialogs() {
    if (!current) {
        static QtDialogService fallback;
        current = &fallback;
    }
    return *current;
}

bool DialogService::printWith(QPrinter& printer, const PrintChoices&) {
    return print(printer);
}

void setDialogService(DialogService* service) {
    current = service;
}

Answer showMessage(const QString& text, const QString& title, MessageButtons buttons,
                   MessageIcon icon, bool foreground) {
    return dialogs().message({title, text, buttons, icon, foreground});
}
