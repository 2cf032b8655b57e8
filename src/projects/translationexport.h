// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class FrmTranslatorL;
class QTextDocument;

// Delivering the translation as a word-processor document (.docx or .odt), the original too when
// the user asks; the project's RTF translation stays the working file.
class TranslationExport : public QObject {
    Q_OBJECT
public:
    explicit TranslationExport(FrmTranslatorL& window, QObject* parent = nullptr);

    void mnuExportTransClick();

private:
    bool exportPane(const QTextDocument& document, const QString& path);

    FrmTranslatorL& m_window;
};
