// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

class QTextDocument;

// Loading and saving the documents of the editor panes. A document is always saved as RTF; a file
// that is not RTF is read as plain text.
namespace richtext {

enum class LoadOutcome {
    Loaded,    // read whole
    Damaged,   // read as far as possible; the document holds what was read
    Unreadable // the file could not be opened; the document is untouched
};

LoadOutcome loadDocument(const QString& path, QTextDocument* document, QString* error = nullptr);

// Reads bytes the same way (RTF when they start like RTF, plain text otherwise).
LoadOutcome loadDocumentBytes(QByteArrayView bytes, QTextDocument* document,
                              QString* error = nullptr);

// Writes the document as RTF, replacing the file only once the whole of it is written.
bool saveDocument(const QString& path, const QTextDocument& document, QString* error = nullptr);

} // namespace richtext
