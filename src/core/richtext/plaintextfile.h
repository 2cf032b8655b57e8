// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

namespace richtext {

// The text of a plain-text document: CP932, or UTF-8 when it starts with the UTF-8 byte-order
// mark. Line ends (CR LF, LF or CR) become '\n'; the line end after the last line ends that line
// and does not start an empty one. *ok turns false when some bytes were not valid text.
QString decodePlainText(QByteArrayView bytes, bool* ok = nullptr);

} // namespace richtext
