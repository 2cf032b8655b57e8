// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtfreader.h"

#include "core/richtext/rtfparser.h"

#include <QTextDocument>

namespace richtext {

using rtf::Parser;

bool looksLikeRtf(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    while (!bytes.isEmpty() && (bytes.front() == ' ' || bytes.front() == '\r' ||
                                bytes.front() == '\n' || bytes.front() == '\t'))
        bytes = bytes.sliced(1);
    return bytes.startsWith("{\\rtf");
}

bool RtfReader::read(QByteArrayView rtf, QTextDocument* document) {
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    QStringList errors;
    if (!looksLikeRtf(rtf))
        errors.append(QStringLiteral("文書が {\\rtf で始まっていません。"));
    Parser parser(rtf, document);
    errors += parser.run();
    document->setUndoRedoEnabled(undo);
    error_ = errors.join(QStringLiteral("\r\n"));
    return error_.isEmpty();
}

} // namespace richtext
