// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogservice.h"

// The dialog service on real Qt dialogs, each raised to the foreground over the active window.
class QtDialogService : public DialogService {
public:
    Answer message(const MessageRequest& request) override;
    std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                    const QString& initial) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    std::optional<QString> folder(const QString& title, const QString& start) override;
    std::optional<QFont> font(const QFont& initial) override;
    std::optional<QColor> color(const QColor& initial) override;
    bool print(QPrinter& printer) override;
    bool printerSetup(QPrinter& printer) override;
    bool printWith(QPrinter& printer, const PrintChoices& choices) override;
};
