// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

class QTextDocument;

namespace richtext {

// True when bytes start as an RTF document does ("{\rtf", after an optional byte-order mark or
// white space a careless writer may have left).
bool looksLikeRtf(QByteArrayView bytes);

// Reads RTF into a QTextDocument: text in the Japanese code page or Unicode, the character and
// paragraph formats the editor knows, bullets both as older and newer word processors write them.
// Damaged input never stops it: it keeps what it could read and says what was wrong.
class RtfReader {
public:
    // Replaces the document's content. Returns false when the input was damaged; the document
    // then holds what could be read and errorString() says why.
    bool read(QByteArrayView rtf, QTextDocument* document);
    QString errorString() const { return error_; }

private:
    QString error_;
};

} // namespace richtext
