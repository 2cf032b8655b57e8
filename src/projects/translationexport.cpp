// SPDX-License-Identifier: GPL-3.0-or-later
#include "translationexport.h"

#include "core/projects/projectstate.h"
#include "core/settings/session.h"
#include "core/wordprocessor/documentsettings.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "translator/documentexport.h"
#include "translator/frmtranslatorl.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAction>
#include <QFileInfo>
#include <QTextDocument>

namespace {

bool sameFile(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() &&
           QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

TranslationExport::TranslationExport(FrmTranslatorL& window, QObject* parent)
    : QObject(parent), m_window(window) {
    QAction* item = window.form()->mnuExportTrans;
    // With the documents turned off the menu is the one the editor had without them.
    const bool on = DocumentSettings::read(session().appFolder).enabled;
    item->setVisible(on);
    item->setEnabled(on);
    connect(item, &QAction::triggered, this, [this] { mnuExportTransClick(); });
}

void TranslationExport::mnuExportTransClick() {
    guarded(reportOnly(u"訳文書き出し時", "Error910"), [this] {
        const ProjectState& p = m_window.project();
        TranslatorLForm* f = m_window.form();
        const QString trans = p.current.transFilePath;
        FileRequest request;
        request.title = QStringLiteral("訳文を書き出します");
        request.folder = trans.isEmpty() ? session().appFolder : QFileInfo(trans).absolutePath();
        request.fileName =
            (trans.isEmpty() ? QStringLiteral("訳文") : QFileInfo(trans).completeBaseName()) +
            QStringLiteral(".docx");
        request.filter = QStringLiteral("Word 文書 (*.docx);;OpenDocument 文書 (*.odt)");
        request.defaultSuffix = QStringLiteral("docx");
        std::optional<QString> path = dialogs().saveFile(request);
        if (!path)
            return;
        if (QFileInfo(*path).suffix().isEmpty())
            *path += QStringLiteral(".docx");
        const QString suffix = QFileInfo(*path).suffix().toLower();
        if (suffix != u"docx" && suffix != u"odt") {
            showMessage(QStringLiteral("書き出せるのは Word 文書 (.docx) と OpenDocument 文書 "
                                       "(.odt) です。\r\n") +
                            *path,
                        QStringLiteral("書き出しｴﾗｰ"), MessageButtons::Ok,
                        MessageIcon::Exclamation);
            return;
        }
        const QString originalCopy = QFileInfo(*path).absolutePath() + u'/' +
                                     QFileInfo(*path).completeBaseName() +
                                     QStringLiteral("_原文.") + suffix;
        const bool withOriginal =
            p.useOrgFile && !f->Rtxt1->document()->isEmpty() &&
            showMessage(QStringLiteral("原文も書き出しますか？\r\nはい：「%1」にも書き出す")
                            .arg(QFileInfo(originalCopy).fileName()),
                        QStringLiteral("訳文の書き出し"), MessageButtons::YesNo,
                        MessageIcon::Question) == Answer::Yes;
        if (!exportPane(*f->Rtxt2->document(), *path))
            return;
        if (withOriginal)
            exportPane(*f->Rtxt1->document(), originalCopy);
    });
}

bool TranslationExport::exportPane(const QTextDocument& document, const QString& path) {
    const ProjectState& p = m_window.project();
    // The project's own documents, the user's original above all, are never written by an export.
    for (const QString& own : {p.current.orgFilePath, p.current.transFilePath,
                               p.current.cmntFilePath, p.pickedOrgPath}) {
        if (sameFile(path, own)) {
            showMessage(QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄのﾌｧｲﾙには書き出せません。\r\n") + path,
                        QStringLiteral("書き出しｴﾗｰ"), MessageButtons::Ok,
                        MessageIcon::Exclamation);
            return false;
        }
    }
    QString error;
    switch (documentexport::exportDocument(document, path, m_window.form(), &error)) {
    case documentexport::Written::Done:
        return true;
    case documentexport::Written::Cancelled:
        return false;
    case documentexport::Written::Failed:
        break;
    }
    showMessage(QStringLiteral("書き出せませんでした。\r\n") + path + QStringLiteral("\r\n") +
                    error,
                QStringLiteral("書き出しｴﾗｰ"), MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
}
