// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class QWidget;
class RichTextPane;

// Bringing any document the editor accepts into a pane: RTF and plain text as they are,
// word-processor documents (.docx, .doc, .odt) through LibreOffice, from the per-user cache when
// the document has not changed since its last conversion. A conversion shows a progress window
// that can cancel it; the windows keep being drawn meanwhile. The user's document is only read.
namespace documentimport {

enum class Read {
    Loaded,    // read whole
    Damaged,   // the pane shows what could be read; *error says what was wrong
    Failed,    // nothing read; the pane is as it was; *error says why
    Cancelled, // the user cancelled the conversion; the pane is as it was
};

Read loadDocument(RichTextPane* pane, const QString& path, QString* error);

// Runs one conversion with the progress window over parent; nullopt when it failed (*error says
// why) or was cancelled (*error empty).
std::optional<QByteArray> convertWithProgress(QWidget* parent, const QString& label,
                                              const QByteArray& input, const QString& inputSuffix,
                                              const QString& target, const QString& targetSuffix,
                                              QString* error);

} // namespace documentimport
