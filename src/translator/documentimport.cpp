// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentimport.h"

#include "core/settings/session.h"
#include "core/wordprocessor/conversioncache.h"
#include "core/wordprocessor/documentkind.h"
#include "core/wordprocessor/documentsettings.h"
#include "core/wordprocessor/sidetext.h"
#include "platform/documentconverter.h"
#include "ui/richtextpane.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTextDocument>

namespace documentimport {
namespace {

Read loadBytes(RichTextPane* pane, const QByteArray& rtf, QString* error) {
    return pane->loadBytes(rtf, error) ? Read::Loaded : Read::Damaged;
}

Read loadWordProcessorDocument(RichTextPane* pane, const QString& path, QString* error) {
    // The key is taken before the document is read: a document changed meanwhile is stored
    // under its old key, which nothing finds again.
    const wordprocessor::ConversionCache cache;
    const QString key = wordprocessor::ConversionCache::keyOf(path);
    if (const std::optional<QByteArray> cached = cache.find(key))
        return loadBytes(pane, *cached, error);

    const wordprocessor::DocumentBytes document = wordprocessor::readDocument(path);
    if (!document.refusal.isEmpty()) {
        *error = document.refusal;
        return Read::Failed;
    }
    const std::optional<QByteArray> rtf = convertWithProgress(
        pane->window(),
        QStringLiteral("「%1」を読み込んでいます...").arg(QFileInfo(path).fileName()),
        document.bytes, QFileInfo(path).suffix().toLower(), QStringLiteral("rtf"),
        QStringLiteral("rtf"), error);
    if (!rtf)
        return error->isEmpty() ? Read::Cancelled : Read::Failed;
    const wordprocessor::SideTexts withSides = wordprocessor::withSideTexts(*rtf);
    cache.store(key, withSides.rtf);
    return loadBytes(pane, withSides.rtf, error);
}

} // namespace

Read loadDocument(RichTextPane* pane, const QString& path, QString* error) {
    QString ignored;
    if (!error)
        error = &ignored;
    error->clear();
    // Turned off, a document is read as any other file was before the converter came.
    if (wordprocessor::isWordProcessorDocument(path) &&
        DocumentSettings::read(session().appFolder).enabled)
        return loadWordProcessorDocument(pane, path, error);
    // An unreadable file leaves the pane's document in place; a damaged one replaces it.
    const QTextDocument* before = pane->document();
    if (pane->loadFile(path, error))
        return Read::Loaded;
    return pane->document() == before ? Read::Failed : Read::Damaged;
}

std::optional<QByteArray> convertWithProgress(QWidget* parent, const QString& label,
                                              const QByteArray& input, const QString& inputSuffix,
                                              const QString& target, const QString& targetSuffix,
                                              QString* error) {
    DocumentConverter converter;
    converter.start(input, inputSuffix, target, targetSuffix);
    if (converter.isRunning()) {
        QProgressDialog progress(label, QStringLiteral("ｷｬﾝｾﾙ"), 0, 0, parent);
        progress.setObjectName(QStringLiteral("frmConvert"));
        progress.setWindowTitle(QStringLiteral("文書の変換"));
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(0);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        QEventLoop loop;
        QObject::connect(&converter, &DocumentConverter::finished, &loop, &QEventLoop::quit);
        QObject::connect(&progress, &QProgressDialog::canceled, &converter,
                         &DocumentConverter::cancel);
        progress.show();
        loop.exec();
    }
    if (converter.outcome() == DocumentConverter::Outcome::Converted) {
        error->clear();
        return converter.output();
    }
    *error = converter.errorText();
    return std::nullopt;
}

} // namespace documentimport
