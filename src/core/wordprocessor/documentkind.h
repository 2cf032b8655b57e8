// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Word-processor documents (Word's .docx and .doc, OpenDocument's .odt) are read and written
// through a converter; this tells them by name and checks that a file is what its name says
// before a converter is started on it.
namespace wordprocessor {

// By the name's suffix, in any case.
bool isWordProcessorDocument(const QString& path);

// What a file the user chose turned out to be.
struct DocumentBytes {
    QByteArray bytes; // the whole file, when it could be read
    QString refusal;  // why it cannot be converted (Japanese, for the user); empty when it can
};

// Reads the file and says why it cannot be a document of the kind its name says: a folder, an
// unreadable or empty file, a file whose bytes are another format, a password-protected one.
DocumentBytes readDocument(const QString& path);

// The message shown when the converter (LibreOffice) is not installed.
QString converterMissingText();

} // namespace wordprocessor
