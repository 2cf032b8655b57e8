// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentexport.h"

#include "core/atomicfile.h"
#include "core/failure.h"
#include "core/richtext/rtfwriter.h"
#include "documentimport.h"

#include <QBuffer>
#include <QFileInfo>
#include <QTextDocument>
#include <QTextDocumentWriter>

namespace documentexport {

QByteArray odtBytes(const QTextDocument& document) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, QByteArrayLiteral("odf"));
    if (!writer.write(&document))
        return {};
    return buffer.data();
}

Written exportDocument(const QTextDocument& document, const QString& path, QWidget* parent,
                       QString* error) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    if (suffix == u"odt") {
        bytes = odtBytes(document);
        if (bytes.isEmpty()) {
            *error = QStringLiteral("OpenDocument 文書を作れませんでした。");
            return Written::Failed;
        }
    } else {
        const std::optional<QByteArray> converted = documentimport::convertWithProgress(
            parent, QStringLiteral("「%1」を書き出しています...").arg(QFileInfo(path).fileName()),
            richtext::writeRtf(document), QStringLiteral("rtf"), suffix, suffix, error);
        if (!converted)
            return error->isEmpty() ? Written::Cancelled : Written::Failed;
        bytes = *converted;
    }
    try {
        writeFileAtomically(path, bytes);
    } catch (const RuntimeFailure& f) {
        *error = f.description();
        return Written::Failed;
    }
    error->clear();
    return Written::Done;
}

} // namespace documentexport
