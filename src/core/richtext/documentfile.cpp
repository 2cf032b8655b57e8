// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentfile.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/files/systemerror.h"
#include "core/richtext/plaintextfile.h"
#include "core/richtext/rtfreader.h"
#include "core/richtext/rtfwriter.h"

#include <QFile>
#include <QTextDocument>

namespace richtext {
namespace {

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

LoadOutcome loadDocumentBytes(QByteArrayView bytes, QTextDocument* document, QString* error) {
    setError(error, {});
    if (looksLikeRtf(bytes)) {
        RtfReader reader;
        if (reader.read(bytes, document))
            return LoadOutcome::Loaded;
        setError(error, reader.errorString());
        return LoadOutcome::Damaged;
    }
    bool ok = true;
    const QString text = decodePlainText(bytes, &ok);
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->setPlainText(text);
    document->setUndoRedoEnabled(undo);
    if (ok)
        return LoadOutcome::Loaded;
    setError(error,
             QStringLiteral("シフトJIS（コードページ932）の文字として読めないバイトがあります。"));
    return LoadOutcome::Damaged;
}

LoadOutcome loadDocument(const QString& path, QTextDocument* document, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, systemerror::fromSystemText(file.errorString()));
        return LoadOutcome::Unreadable;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, systemerror::fromSystemText(file.errorString()));
        return LoadOutcome::Unreadable;
    }
    return loadDocumentBytes(bytes, document, error);
}

bool saveDocument(const QString& path, const QTextDocument& document, QString* error) {
    // Through the checked atomic rewrite: a full disk must never leave an empty document behind.
    try {
        writeFileAtomically(path, writeRtf(document));
    } catch (const RuntimeFailure& f) {
        setError(error, f.description());
        return false;
    }
    setError(error, {});
    return true;
}

} // namespace richtext
