// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: check marks and the deletion of checked words.
#include "core/store/book.h"
#include "frmmain.h"
#include "mainwindowhistory.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/limitedtextedit.h"
#include "ui/mainform.h"
#include "ui/wordlistmodel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

// ---- Check marks ---------------------------------------------------------------------------

void FrmMain::cmdCheckedClick() {
    guarded(reportOnly(u"ﾁｪｯｸをつける時", "Error220"), [this] {
        m_model->setAllChecked(true);
        selectListItem(0);
    });
}

void FrmMain::cmdUncheckedClick() {
    guarded(reportOnly(u"ﾁｪｯｸをはずす時", "Error224"), [this] { m_model->setAllChecked(false); });
}

void FrmMain::cmdChkRevClick() {
    guarded(reportOnly(u"ﾁｪｯｸﾏｰｸ反転時", "Error222"), [this] {
        m_model->invertChecks();
        selectListItem(0);
    });
}

void FrmMain::IdmCheckDelClick() {
    if (!m_book)
        return;
    MainForm* f = m_form;
    if (showMessage(QStringLiteral("現在ﾁｪｯｸﾏｰｸが付いている単語をすべて削除します"),
                    QStringLiteral("ﾁｪｯｸ項目の削除確認"), MessageButtons::OkCancel,
                    MessageIcon::None) != Answer::Ok)
        return;
    std::vector<WordState> checked;
    if (!m_history->beforeDeleteChecked(checked))
        return;
    m_mode = Deleting;
    if (!changeBook(QStringLiteral("ﾁｪｯｸ項目の削除"), [this] { m_book->deleteChecked(); })) {
        m_mode = Normal;
        m_model->refresh();
        return;
    }
    m_history->deletedChecked(std::move(checked));
    // Positions the search remembers no longer hold once words come or go.
    m_search.reset();
    if (m_book->index().isEmpty()) {
        showMessage(QStringLiteral("ﾃﾞｰﾀがひとつもなくなりました"));
        m_model->showAll(&m_book->index());
        f->txtWord->clear();
        f->txtMean->setText({});
        f->txtRei->setText({});
        f->IdmTrial->setEnabled(false);
        m_mode = Normal;
        m_currentPosition = 0;
        setEditGroup(false);
        f->lblMaxRec->setText(QStringLiteral("0"));
        return;
    }
    m_model->showAll(&m_book->index());
    m_currentPosition = 0;
    selectListItem(0);
    f->lblMaxRec->setText(QString::number(m_model->rowCount()));
    m_mode = Normal;
}
