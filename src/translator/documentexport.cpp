// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentexport.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/richtext/rtfwriter.h"
#include "documentimport.h"

#include <QFileInfo>
#include <QTextDocument>

namespace documentexport {

Written exportDocument(const QTextDocument& document, const QString& path, QWidget* parent,
                       QString* error) {
    // Both through LibreOffice: Qt's own OpenDocument writer marks bold, italic and size only for
    // Western text, and LibreOffice shows Japanese runs of such a file without them.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const std::optional<QByteArray> converted = documentimport::convertWithProgress(
        parent, QStringLiteral("「%1」を書き出しています...").arg(QFileInfo(path).fileName()),
        richtext::writeRtf(document), QStringLiteral("rtf"), suffix, suffix, error);
    if (!converted)
        return error->isEmpty() ? Written::Cancelled : Written::Failed;
    try {
        writeFileAtomically(path, *converted);
    } catch (const RuntimeFailure& f) {
        *error = f.description();
        return Written::Failed;
    }
    error->clear();
    return Written::Done;
}

} // namespace documentexport
