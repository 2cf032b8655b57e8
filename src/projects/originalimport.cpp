// SPDX-License-Identifier: GPL-3.0-or-later
#include "originalimport.h"

#include "core/projects/projectstate.h"
#include "core/richtext/twips.h"
#include "core/settings/session.h"
#include "core/wordprocessor/documentsettings.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "translator/documentimport.h"
#include "translator/frmtranslatorl.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAction>
#include <QFileInfo>
#include <QTextDocument>

OriginalImport::OriginalImport(FrmTranslatorL& window, QObject* parent)
    : QObject(parent), m_window(window) {
    connect(window.form()->mnuGetOrgFile, &QAction::triggered, this,
            [this] { mnuGetOrgFileClick(); });
}

void OriginalImport::mnuGetOrgFileClick() {
    guarded(terminating(u"原文取込み時", "Error149"), [this] {
        ProjectState& p = m_window.project();
        TranslatorLForm* f = m_window.form();
        RichTextPane* pane = f->Rtxt1;
        if (!p.useOrgFile) {
            showMessage(QStringLiteral("<原文>ｳｨﾝﾄﾞｳは現在使用しない設定になっています"),
                        QStringLiteral("設定情報確認"));
            return;
        }
        if (!pane->document()->isEmpty() &&
            showMessage(QStringLiteral("すでに<原文>ｳｨﾝﾄﾞｳに入力されています。\r\n"
                                       "新しいﾌｧｲﾙ内容と入れ替えますか？"),
                        QStringLiteral("原文入替え確認"), MessageButtons::YesNo,
                        MessageIcon::Question) != Answer::Yes)
            return;
        p.pickedOrgPath.clear();
        p.pickedOrgName.clear();
        FileRequest request;
        request.title = QStringLiteral("利用する<原文>ﾌｧｲﾙを選択して下さい");
        request.filter =
            QStringLiteral("ﾘｯﾁﾃｷｽﾄ形式(*.rtf);;ﾃｷｽﾄ形式(*.txt);;") +
            (DocumentSettings::read(session().appFolder).enabled ? DocumentSettings::OpenFilters
                                                                 : QString()) +
            QStringLiteral("すべて(*)");
        request.selectedFilter = QStringLiteral("すべて(*)");
        const std::optional<QString> path = dialogs().openFile(request);
        if (!path)
            return;
        p.pickedOrgPath = *path;
        p.pickedOrgName = QFileInfo(*path).fileName();

        pane->setRightMargin(twips::fromPixels(pane->width()) - 400);
        QString error;
        const documentimport::Read read = documentimport::loadDocument(pane, *path, &error);
        if (read == documentimport::Read::Cancelled)
            return;
        if (read != documentimport::Read::Loaded) {
            showMessage(QStringLiteral("ﾌｧｲﾙを読み込めませんでした。\r\n") + *path +
                            QStringLiteral("\r\n") + error,
                        QStringLiteral("読み込みｴﾗｰ"), MessageButtons::Ok,
                        MessageIcon::Exclamation);
            // An unreadable file leaves the pane as it was; a damaged one shows what was read.
            if (read == documentimport::Read::Failed)
                return;
        }
        f->setPanelText(2, *path);
    });
}
