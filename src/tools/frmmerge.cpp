// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmmerge.h"

#include "backupbeforechange.h"
#include "core/text/numbertext.h"
#include "library/bookhost.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/mergeform.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

FrmMerge::FrmMerge(BookHost* host, QWidget* parent) : m_host(host), m_form(new MergeForm(parent)) {
    MergeForm* f = m_form;
    for (int i = 0; i < 3; ++i)
        connect(f->cmdRead[i], &QPushButton::clicked, this, [this, i] { cmdReadClick(i); });
    connect(f->cmdMerge, &QPushButton::clicked, this, [this] { cmdMergeClick(); });
    connect(f->cmdAchoice, &QPushButton::clicked, this, [this] { cmdAchoiceClick(); });
    connect(f->cmdBchoice, &QPushButton::clicked, this, [this] { cmdBchoiceClick(); });
    connect(f->cmdExit, &QPushButton::clicked, this, [this] { cmdExitClick(); });
}

FrmMerge::~FrmMerge() {
    abandon();
    delete m_form;
}

int FrmMerge::exec() {
    formLoad();
    const int result = m_form->exec();
    // Closed by its close box while a duplicate waits: as cmdExit.
    abandon();
    return result;
}

void FrmMerge::formLoad() {
    guarded(reportOnly(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error256"), [this] {
        MergeForm* f = m_form;
        for (QLabel* l : f->lblRead)
            l->clear();
        f->lblApathName->clear();
        f->lblBpathName->clear();
        f->lblMpathName->clear();
        clearDuplicate();
        f->cboPrio->clear();
        f->cboPrio->addItems({QStringLiteral("A、B両方を採用する"),
                              QStringLiteral("Aのみを採用する"), QStringLiteral("Bのみを採用する"),
                              QStringLiteral("そのつどﾕｰｻﾞｰが選択する")});
        f->cboPrio->setCurrentIndex(0);
    });
}

void FrmMerge::cmdReadClick(int i) {
    guarded(reportOnly(u"統合用ﾌﾞｯｸ選択時", "Error255"), [this, i] {
        FrmGetDir picker(PickPurpose(i), this, m_form);
        picker.exec();
    });
}

MergePicks FrmMerge::mergePicks() const {
    return {m_form->lblApathName->text(), m_form->lblBpathName->text(),
            m_form->lblMpathName->text()};
}

void FrmMerge::acceptPick(PickPurpose purpose, const QString& path, const QString& name) {
    QLabel* paths[] = {m_form->lblApathName, m_form->lblBpathName, m_form->lblMpathName};
    const int i = int(purpose);
    if (i < 0 || i > 2)
        return;
    paths[i]->setText(path);
    m_form->lblRead[i]->setText(name);
}

void FrmMerge::cmdMergeClick() {
    guarded(reportOnly(u"ﾌﾞｯｸ統合ﾎﾞﾀﾝｸﾘｯｸ時", "Error254"), [this] {
        MergeForm* f = m_form;
        if (!m_merge) {
            for (QLabel* l : f->lblRead)
                if (l->text().isEmpty()) {
                    showMessage(QStringLiteral("統合用ﾌｧｲﾙの準備が出来ていません"));
                    return;
                }
            const int policy = f->cboPrio->currentIndex();
            if (policy < 0 || policy > 3) {
                showMessage(QStringLiteral("重複した場合の処理を選び直して下さい"));
                return;
            }
            if (!backupBeforeChange(f->lblMpathName->text(), QStringLiteral("統合")))
                return;
            if (m_host && !m_bookClosed) {
                m_host->closeBook();
                m_bookClosed = true;
            }
            try {
                m_merge =
                    std::make_unique<BookMerge>(f->lblApathName->text(), f->lblBpathName->text(),
                                                f->lblMpathName->text(), BookMerge::Policy(policy));
            } catch (...) {
                abandon();
                throw;
            }
        }
        runMerge();
    });
}

// Runs until the next duplicate the user decides, or to the end. A failure abandons the merge:
// the target stays as it was and the current book comes back.
void FrmMerge::runMerge() {
    bool finished = false;
    try {
        finished = m_merge->run();
    } catch (...) {
        abandon();
        throw;
    }
    if (!finished) {
        showDuplicate(m_merge->pending());
        return;
    }
    const int duplicates = m_merge->duplicates();
    m_merge.reset();
    QString text = QStringLiteral("統合処理が完了しました");
    if (duplicates > 0)
        text += QStringLiteral("\r\n") + numbertext::signReserving(duplicates) +
                QStringLiteral("個の重複ﾃﾞｰﾀがありました");
    showMessage(text);
    abandon();
    m_form->accept();
}

void FrmMerge::showDuplicate(const BookMerge::Duplicate& d) {
    MergeForm* f = m_form;
    f->lblAword->setText(d.wordA);
    f->txtAmean->setPlainText(d.meaningA);
    f->txtArei->setPlainText(d.exampleA);
    f->lblBword->setText(d.wordB);
    f->txtBmean->setPlainText(d.meaningB);
    f->txtBrei->setPlainText(d.exampleB);
    f->cmdAchoice->setEnabled(true);
    f->cmdBchoice->setEnabled(true);
}

void FrmMerge::clearDuplicate() {
    MergeForm* f = m_form;
    f->lblAword->clear();
    f->txtAmean->clear();
    f->txtArei->clear();
    f->lblBword->clear();
    f->txtBmean->clear();
    f->txtBrei->clear();
    f->cmdAchoice->setEnabled(false);
    f->cmdBchoice->setEnabled(false);
}

// The boxes hold line breaks as the editor shows them; the book stores CR LF.
static QString storedText(const QPlainTextEdit* box) {
    QString text = box->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void FrmMerge::choose(BookMerge::Side side) {
    if (!m_merge || !m_merge->isPending())
        return;
    MergeForm* f = m_form;
    const bool a = side == BookMerge::Side::A;
    try {
        m_merge->take(side, storedText(a ? f->txtAmean : f->txtBmean),
                      storedText(a ? f->txtArei : f->txtBrei));
    } catch (const WordRefused& refused) {
        showMessage(refused.reason());
        return;
    }
    clearDuplicate();
    runMerge();
}

void FrmMerge::cmdAchoiceClick() {
    guarded(reportOnly(u"Ａを採用ﾎﾞﾀﾝｸﾘｯｸ時", "Error251"), [this] { choose(BookMerge::Side::A); });
}

void FrmMerge::cmdBchoiceClick() {
    guarded(reportOnly(u"Ｂを採用ﾎﾞﾀﾝｸﾘｯｸ時", "Error252"), [this] { choose(BookMerge::Side::B); });
}

void FrmMerge::cmdExitClick() {
    guarded(reportOnly(u"閉じる時", "Error253"), [this] {
        abandon();
        m_form->reject();
    });
}

// Drops an unfinished merge (its temporary files go, the target is untouched) and reopens the
// current book if the merge closed it.
void FrmMerge::abandon() {
    m_merge.reset();
    clearDuplicate();
    if (m_bookClosed && m_host) {
        m_bookClosed = false;
        m_host->ReopenBook();
    }
}
