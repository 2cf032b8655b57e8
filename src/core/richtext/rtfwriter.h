// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

class QTextDocument;

namespace richtext {

// Writes a document as RTF that RtfReader reads back to the same text and formats and that other
// word processors open: the Japanese code page declared, fonts marked Japanese, text as code-page
// bytes where they read back exactly and as Unicode (with a '?' for older readers) where not.
QByteArray writeRtf(const QTextDocument& document);

} // namespace richtext
