// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialogservice.h"

#include <QColor>
#include <QFont>

// A dialog service for programs that run without anyone at the screen (benchmarks, worker
// processes of the tests): every input box and common dialog is cancelled at once. What the
// message boxes answer is the subclass's choice.
class CancellingDialogs : public DialogService {
public:
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> openFile(const FileRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileRequest&) override { return std::nullopt; }
    std::optional<QString> folder(const QString&, const QString&) override { return std::nullopt; }
    std::optional<QFont> font(const QFont&) override { return std::nullopt; }
    std::optional<QColor> color(const QColor&) override { return std::nullopt; }
    bool print(QPrinter&) override { return false; }
    bool printerSetup(QPrinter&) override { return false; }
};
