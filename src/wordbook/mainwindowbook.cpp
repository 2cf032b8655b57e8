// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: opening and closing the book, and applying the display settings.
#include "core/history/bookbackup.h"
#include "core/settings/booklist.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "core/store/bookmanifest.h"
#include "core/store/booksession.h"
#include "core/store/conflictcopies.h"
#include "frmmain.h"
#include "library/frmselectfolder.h"
#include "mainwindowhistory.h"
#include "mainwindowparts.h"
#include "platform/appearance.h"
#include "platform/appfolder.h"
#include "platform/bookfollower.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "tools/conflictmergeoffer.h"
#include "tools/frmbackupview.h"
#include "ui/limitedtextedit.h"
#include "ui/mainform.h"
#include "ui/wordlistmodel.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
using mainwindow::AllWords;

// ---- Opening the book ----------------------------------------------------------------------

FrmMain::LoadResult FrmMain::formLoad() {
    LoadResult result = LoadResult::Ready;
    guarded(terminating(u"ﾒｲﾝﾌｫｰﾑﾛｰﾄﾞ時", "Error72"), [&] {
        if (session().bookInUse) {
            try {
                openBook(/*reopen=*/false);
                return;
            } catch (const BookMissing& missing) {
                // Nothing is created in the broken book; the user chooses another one.
                m_book.reset();
                session().bookInUse = false;
                QString text = QStringLiteral(
                    "すでに作成されて存在しているはずのブック（フォルダ）が見当たりません。"
                    "Verbantaのあるフォルダ内にあるべきブックが無いようです。\r\n\r\n"
                    "Verbantaをインストール直後の場合は、付属の『インストールの前に』ファイルを"
                    "もう一度読んで、データフォルダを適切な位置に移動して下さい。"
                    "もし誤って、作成したフォルダを削除してしまった場合はVerbantaを"
                    "再度インストールし直す必要があります。");
                const auto* mixed = dynamic_cast<const BookMixed*>(&missing);
                if (mixed)
                    text = mixed->reason(); // files of two versions, not a missing book
                else if (const auto* broken = dynamic_cast<const BookBroken*>(&missing))
                    text += QStringLiteral("\r\n\r\n（") + broken->reason() + QStringLiteral("）");
                showMessage(text, QStringLiteral("ブックエラー"), MessageButtons::Ok,
                            MessageIcon::None);
                // The last version known whole can still be read while the sync completes.
                if (mixed)
                    offerNewestBackup(session().current.bookName, m_form);
            }
        }
        showMessage(
            QStringLiteral("使用するブックが見つかりません。\r\nﾌﾞｯｸ設定ﾀﾞｲｱﾛｸﾞﾎﾞｯｸｽを開きます。"));
        // The start-up window makes way for the chooser.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == u"frmSplash")
                w->hide();
        // Choosing a book there opens it here; leaving without one ends the program.
        FrmSelectFolder chooser(this, nullptr);
        chooser.exec();
        if (chooser.endRequested() || !session().bookInUse || !m_book)
            result = LoadResult::EndProgram;
    });
    return result;
}

bool FrmMain::ReopenBook() {
    bool opened = false;
    guarded(terminating(u"ﾒｲﾝｳｨﾝﾄﾞｳﾘﾛｰﾄﾞ時", "Error190"), [&] {
        // Another book may be open now: positions found in the last one mean nothing.
        m_search.reset();
        try {
            openBook(/*reopen=*/true);
            opened = true;
        } catch (const BookMissing&) {
            m_book.reset();
        }
    });
    return opened;
}

void FrmMain::closeBook() {
    // The print dialog's words belong to this book.
    closeToolWindows();
    m_model->clear();
    // The list is gone: a reload at the last write changes no view, though a word both sides
    // changed is still asked about.
    if (m_follower)
        disconnect(m_follower.get(), nullptr, this, nullptr);
    if (m_book && m_book->isOpen())
        m_history->writeBack(*m_book);
    m_follower.reset();
    m_book.reset();
    m_history->bookClosed();
    m_form->txtWord->clear();
    m_form->txtMean->setText({});
    m_form->txtRei->setText({});
    m_form->lblMaxRec->setText(QStringLiteral("0"));
    setEditGroup(false);
}

void FrmMain::showChosenBook() {
    m_form->setWindowTitle(QStringLiteral("Verbanta - ") + session().current.bookName);
    if (m_model->rowCount() > 0) {
        m_model->setChecked(0, true);
        m_model->setChecked(0, false);
    }
    m_form->txtInput->setFocus();
    appearance::setInputMethodMode(m_form->txtInput, session().display.input.imeMode);
    m_form->show();
}

void FrmMain::IdmBookSettingClick() {
    FrmSelectFolder chooser(this, m_form);
    chooser.exec();
    if (chooser.endRequested()) {
        m_endRequested = true;
        // Nothing is open any more: the book went with its deletion.
        m_form->hide();
        QCoreApplication::quit();
    }
}

void FrmMain::openBook(bool reopen) {
    MainForm* f = m_form;
    ApplyPalette();
    m_large = true;
    session().handOver = false;
    m_currentPosition = 0;
    m_currentRecord = 0;
    m_follower.reset();
    m_book.reset();
    f->txtWord->clear();
    f->txtMean->setText({});
    f->txtRei->setText({});
    m_mode = Normal;
    if (!reopen) {
        m_search.reset();
        m_loading = true;
    }
    f->txtInput->blockSignals(true);
    f->txtInput->clear();
    f->txtInput->blockSignals(false);
    m_model->clear();

    // A book folder that leads out of the application folder would take registrations there.
    if (booklist::leadsOutside(appfolder::path(), session().current.bookName))
        throw BookBroken(booklist::outsideReason(session().current.bookName));
    offerConflictMerges(appfolder::bookFolder(session().current.bookName),
                        session().current.bookName);
    auto book = std::make_unique<Book>(appfolder::bookFolder(session().current.bookName));
    const Book::OpenResult opened = book->open();
    m_book = std::move(book);
    followBook();
    if (!opened.setAside.isEmpty())
        showMessage(QStringLiteral("ブックのフォルダに、途中で終わった作業の一時ファイルが"
                                   "残っていました。\r\n内容が不完全なため使わずに、次の名前で"
                                   "残してあります。\r\n\r\n") +
                        opened.setAside.join(QStringLiteral("\r\n")),
                    QStringLiteral("ブックの確認"), MessageButtons::Ok, MessageIcon::Exclamation);
    // An interrupted compaction was finished on open; deletions found there are not pending.
    f->IdmTrial->setEnabled(opened.wordFileFound);
    m_model->showAll(&m_book->index());

    setEditGroup(!m_book->index().isEmpty());
    setExecuteGroup(false);
    f->cmdScale->setEnabled(true);
    f->IdmResize->setEnabled(true);
    f->IdmBookSetting->setEnabled(true);
    f->IdmCustomize->setEnabled(true);
    applyNormalControls();
    f->IdmTrial->setEnabled(opened.wordFileFound);

    f->lblMaxRec->setText(QString::number(m_book->index().size()));
    f->Option1[AllWords]->setChecked(true);
    m_paletteButton = AllWords;
    if (reopen && !m_book->index().isEmpty())
        setEditGroup(true);
    updateCounters();
    setModeLabel(Normal);
    m_loading = false;
    m_form->setLarge(true);
    m_form->cmdScale->setText(QStringLiteral("<<"));
    m_history->bookOpened();
}

// ---- Applying settings ---------------------------------------------------------------------

void FrmMain::ApplyDisplaySettings() {
    guarded(terminating(u"ﾌﾟﾛﾊﾟﾃｨ一括設定時", "Error189"), [this] {
        const DisplaySettings& s = session().display;
        MainForm* f = m_form;
        appearance::applyFontGroup(f->txtWord, s.word);
        appearance::applyFontGroup(f->txtMean, s.meaning);
        appearance::applyFontGroup(f->txtRei, s.meaning);
        appearance::applyFontGroup(f->txtInput, s.input);
        appearance::applyFontGroup(f->List1, s.list);
        // The window's own background only (the menu bar keeps its colours); its buttons and
        // boxes keep theirs so that no chosen colour can hide their text.
        appearance::setWindowColor(f->centralWidget(), s.mainBackColor);
        for (QLabel* label : {f->Label1, f->Label2, f->Label3, f->Label4, f->Label5, f->Label6,
                              f->lblMaxRec, f->lblCount, f->lblCount2}) {
            appearance::setBackColor(label, s.mainBackColor);
            appearance::setTextColor(label, s.mainTextColor);
        }
        appearance::setWindowColor(f->Frame1, s.mainBackColor);
    });
}

void FrmMain::ApplyPaletteFont() {
    guarded(reportOnly(u"ｲﾆｼｬﾙﾊﾟﾚｯﾄのﾌｫﾝﾄ設定時", "Error210"), [this] {
        const PaletteFont& p = session().paletteFont;
        for (int i = 0; i < AllWords; ++i) {
            appearance::setFittingFont(m_form->Option1[i], p.name, p.size, p.bold, p.italic);
            appearance::setTextColor(m_form->Option1[i], p.color);
        }
    });
}

void FrmMain::ApplyPalette() {
    guarded(terminating(u"ｲﾆｼｬﾙﾊﾟﾚｯﾄの設定時", "Error192"), [this] {
        for (int i = 0; i < AllWords; ++i) {
            const QString caption = session().palette[size_t(i)].rangeStart;
            m_form->Option1[i]->setText(caption);
            // A captioned button is read by its caption.
            m_form->Option1[i]->setAccessibleName(caption.isEmpty() ? MainForm::paletteButtonName(i)
                                                                    : QString());
            m_form->Option1[i]->setEnabled(session().palette[size_t(i)].enabled != 0);
            // A new caption may need another size to fit.
            const PaletteFont& p = session().paletteFont;
            if (!p.name.isEmpty())
                appearance::setFittingFont(m_form->Option1[i], p.name, p.size, p.bold, p.italic);
        }
    });
}

void FrmMain::followBook() {
    m_follower = std::make_unique<BookFollower>(*m_book);
    connect(m_follower.get(), &BookFollower::reloaded, this,
            [this](const QString& message) { bookReloaded(message); });
}

// Another program changed the book and it was read again: the list follows, on the word shown.
void FrmMain::bookReloaded(const QString& message) {
    if (auto* bar = m_form->findChild<QStatusBar*>())
        bar->showMessage(message);
    // A command under way shows its own result once its write is done.
    if (m_mode != Normal || !m_book)
        return;
    WordIndex& index = m_book->index();
    const int found = index.find(m_form->txtWord->text());
    m_currentPosition = found >= 0 ? found : 0;
    m_currentRecord = index.isEmpty() ? 0 : index.at(m_currentPosition).recordNo;
    m_model->showAll(&index);
    m_form->lblMaxRec->setText(QString::number(index.size()));
    setEditGroup(!index.isEmpty());
    updateCounters();
}
