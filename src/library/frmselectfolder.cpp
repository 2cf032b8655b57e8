// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmselectfolder.h"

#include "bookhost.h"
#include "core/files/systemerror.h"
#include "core/settings/languageset.h"
#include "core/settings/session.h"
#include "frmlangset.h"
#include "frmselectpaletteset.h"
#include "listreport.h"
#include "platform/appfolder.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/selectfolderform.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

FrmSelectFolder::FrmSelectFolder(BookHost* main, QWidget* parent)
    : m_main(main), m_form(new SelectFolderForm(parent)) {
    connect(m_form->cboFldName, &QComboBox::activated, this, [this] { cboFldNameClick(); });
    connect(m_form->cmdOKFolder, &QPushButton::clicked, this, [this] { cmdOKFolderClick(); });
    connect(m_form->cmdCancelFolder, &QPushButton::clicked, this,
            [this] { cmdCancelFolderClick(); });
    connect(m_form->cmdAddFolder, &QPushButton::clicked, this, [this] { cmdAddFolderClick(); });
    connect(m_form->cmdDelFolder, &QPushButton::clicked, this, [this] { cmdDelFolderClick(); });
    connect(m_form->cmdModLangSet, &QPushButton::clicked, this, [this] { cmdModLangSetClick(); });
    m_form->installEventFilter(this);
    m_form->cboFldName->installEventFilter(this);
}

FrmSelectFolder::~FrmSelectFolder() {
    // The dialog sends events while it is taken down; they must not reach this half-gone filter.
    m_form->cboFldName->removeEventFilter(this);
    m_form->removeEventFilter(this);
    delete m_form;
}

int FrmSelectFolder::exec() {
    formLoad();
    // The book list takes no typing, so the dialog starts where Enter means OK.
    m_form->cmdOKFolder->setFocus();
    return m_form->exec();
}

namespace {

// Keys that move around the dialog or the list rather than type into it.
bool isNavigationKey(const QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_F4:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
        return true;
    default:
        return false;
    }
}

} // namespace

bool FrmSelectFolder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_form->cboFldName && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            cmdOKFolderClick();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            cmdCancelFolderClick();
            return true;
        }
        if (isNavigationKey(key))
            return false;
        cboFldNameKeyDown();
        return true;
    }
    if (watched == m_form && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cmdCancelFolderClick();
        return true;
    }
    if (watched == m_form && event->type() == QEvent::Close && m_form->isVisible()) {
        // The close box is the Cancel button.
        event->ignore();
        cmdCancelFolderClick();
        return true;
    }
    return false;
}

void FrmSelectFolder::fillCombo() {
    m_form->cboFldName->clear();
    for (const BookEntry& b : m_books)
        m_form->cboFldName->addItem(b.name);
}

void FrmSelectFolder::selectCurrentBook() {
    m_form->cboFldName->setCurrentIndex(m_form->cboFldName->findText(session().current.bookName));
}

void FrmSelectFolder::formLoad() {
    guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error117"), [this] {
        const ListRead<BookEntry> list = booklist::read(session().appFolder);
        m_books = list.items;
        reportSkippedEntries(booklist::File, list.problems);
        fillCombo();
        selectCurrentBook();
        m_form->Text1->setText(session().current.setName);
        m_form->cmdModLangSet->setEnabled(session().bookInUse);
    });
}

void FrmSelectFolder::cboFldNameClick() {
    guarded(reportOnly(u"ｺﾝﾎﾞﾎﾞｯｸｽｸﾘｯｸ時", "Error111"), [this] {
        const int i = m_form->cboFldName->currentIndex();
        if (i >= 0 && i < m_books.size())
            m_form->Text1->setText(m_books[i].setName);
    });
}

void FrmSelectFolder::cboFldNameKeyDown() {
    guarded(reportOnly(u"ｺﾝﾎﾞﾎﾞｯｸｽ入力", "Error270"), [this] {
        QApplication::beep();
        showMessage(QStringLiteral("ここに直接入力することは出来ません\r\n新規ﾌﾞｯｸを作成する場合は"
                                   "『新規作成ﾎﾞﾀﾝ』をｸﾘｯｸして下さい"));
        fillCombo();
        selectCurrentBook();
    });
}

void FrmSelectFolder::addCreatedBook(const BookEntry& book) {
    // The list file first: when it cannot be written the list stays as it was.
    QList<BookEntry> books = m_books;
    books.append(book);
    booklist::write(session().appFolder, books);
    m_books = std::move(books);
    m_form->cboFldName->addItem(book.name);
    m_form->Text1->setText(book.setName);
}

void FrmSelectFolder::cmdOKFolderClick() {
    guarded(terminating(u"ＯＫ時", "Error116"), [this] {
        const int i = m_form->cboFldName->currentIndex();
        if (m_form->cboFldName->count() == 0 || i < 0) {
            showMessage(QStringLiteral("使用するﾌﾞｯｸが選ばれていません"),
                        QStringLiteral("ﾌﾞｯｸの選択"));
            return;
        }
        Session& s = session();
        const CurrentBook chosen{m_form->cboFldName->currentText(), m_form->Text1->text()};
        // A book that cannot be opened is never made current: the user picks again.
        if (!languageset::fileExists(s.appFolder, chosen.setName)) {
            showMessage(QStringLiteral("言語ｾｯﾄ『") + chosen.setName +
                            QStringLiteral("』のﾌｧｲﾙが見当たらないため、ﾌﾞｯｸ『") + chosen.bookName +
                            QStringLiteral("』を開けません。\r\n別のﾌﾞｯｸを選んで下さい。"),
                        QStringLiteral("ブックエラー"));
            return;
        }
        if (booklist::leadsOutside(s.appFolder, chosen.bookName)) {
            showMessage(booklist::outsideReason(chosen.bookName) +
                            QStringLiteral("\r\n別のﾌﾞｯｸを選んで下さい。"),
                        QStringLiteral("ブックエラー"));
            return;
        }
        const CurrentBook previous = s.current;
        const PaletteRows previousPalette = s.palette;
        s.current = chosen;
        s.palette = languageset::read(s.appFolder, chosen.setName);
        if (m_main) {
            m_main->closeBook();
            if (!m_main->ReopenBook()) {
                s.current = previous;
                s.palette = previousPalette;
                m_mustChoose = true;
                showMessage(QStringLiteral("ﾌﾞｯｸ『") + chosen.bookName +
                                QStringLiteral("』のﾌｫﾙﾀﾞか、その中のﾌｧｲﾙが見当たらないため開けま"
                                               "せん。\r\n別のﾌﾞｯｸを選んで下さい。"),
                            QStringLiteral("ブックエラー"));
                return;
            }
        }
        writeCurrentBook(s.appFolder, s.current);
        s.bookInUse = true;
        showMessage(QStringLiteral("これから『") + s.current.bookName +
                        QStringLiteral("』を使用します。"),
                    QStringLiteral("設定確認"));
        m_mustChoose = false;
        m_form->accept();
        if (m_main)
            m_main->showChosenBook();
    });
}

void FrmSelectFolder::cmdCancelFolderClick() {
    guarded(terminating(u"ｷｬﾝｾﾙ時", "Error113"), [this] {
        if (session().bookInUse) {
            if (m_mustChoose) {
                showMessage(QStringLiteral("使用中のﾌﾞｯｸが閉じられました。\r\n使用するﾌﾞｯｸを選んで "
                                           "[OK] を押して下さい。"),
                            QStringLiteral("ﾌﾞｯｸの選択"));
                return;
            }
            m_form->reject();
            return;
        }
        if (showMessage(QStringLiteral("使用するﾌﾞｯｸがありません。\r\nｱﾌﾟﾘｹｰｼｮﾝを終了しますか？"),
                        QStringLiteral("終了処理"), MessageButtons::YesNo,
                        MessageIcon::Question) == Answer::Yes) {
            m_endRequested = true;
            m_form->reject();
        }
    });
}

void FrmSelectFolder::cmdAddFolderClick() {
    guarded(terminating(u"ﾌﾞｯｸ追加時", "Error112"), [this] {
        FrmSelectPaletteSet dialog(this, m_main);
        dialog.exec();
    });
}

namespace {

// The book's folder when it is a real folder right below the application folder; anything else
// (missing, a file, a link that leads elsewhere) is no book folder and nothing in it is deleted.
std::optional<QDir> bookFolderOf(const QString& appFolder, const QString& name) {
    const QFileInfo info(QDir(appFolder).filePath(name));
    if (!info.isDir() || info.isSymLink())
        return std::nullopt;
    if (QFileInfo(info.canonicalFilePath()).path() != QFileInfo(appFolder).canonicalFilePath())
        return std::nullopt;
    return QDir(info.filePath());
}

} // namespace

void FrmSelectFolder::cmdDelFolderClick() {
    guarded(terminating(u"ﾌﾞｯｸ削除時", "Error114"), [this] {
        const int i = m_form->cboFldName->currentIndex();
        if (i < 0 || i >= m_books.size()) {
            showMessage(QStringLiteral("削除するﾌﾞｯｸ名をﾘｽﾄから選び直して下さい"),
                        QStringLiteral("m(__)m"));
            return;
        }
        const QString name = m_books[i].name;
        if (showMessage(QStringLiteral("一度削除すると元に戻せません。\r\n本当に『") + name +
                            QStringLiteral("』を削除してもよろしいですか？"),
                        QStringLiteral("削除処理の確認"), MessageButtons::YesNo,
                        MessageIcon::Exclamation) != Answer::Yes)
            return;
        Session& s = session();
        if (m_main)
            m_main->closeBook();
        m_mustChoose = true;

        // Only the book's own files go; anything else the user put there stays, and so does the
        // folder then.
        QString done;
        if (std::optional<QDir> folder = bookFolderOf(s.appFolder, name)) {
            for (const QString& file :
                 folder->entryList({QStringLiteral("*.vtd")}, QDir::Files | QDir::Hidden)) {
                QFile f(folder->filePath(file));
                if (!f.remove()) {
                    showMessage(QStringLiteral("ﾌﾞｯｸ『") + name + QStringLiteral("』のﾌｧｲﾙ「") +
                                    file + QStringLiteral("」を削除できませんでした：") +
                                    systemerror::fromSystemText(f.errorString()) +
                                    QStringLiteral("\r\nﾌﾞｯｸは一覧に残してあります。"),
                                QStringLiteral("削除確認"), MessageButtons::Ok,
                                MessageIcon::Exclamation);
                    return;
                }
            }
            const bool folderKept =
                !folder->isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden) ||
                !QDir(s.appFolder).rmdir(name);
            done = QStringLiteral("選択されたﾌﾞｯｸ『") + name + QStringLiteral("』を削除しました。");
            if (folderKept)
                done += QStringLiteral(
                    "\r\nﾌｫﾙﾀﾞにはﾌﾞｯｸ以外のﾌｧｲﾙがあるため、ﾌｫﾙﾀﾞは残してあります。");
        } else if (booklist::leadsOutside(s.appFolder, name)) {
            done =
                QStringLiteral("ﾌﾞｯｸ『") + name +
                QStringLiteral("』のﾌｫﾙﾀﾞはｱﾌﾟﾘｹｰｼｮﾝのﾌｫﾙﾀﾞの外を指しているため、その先の"
                               "ﾌｫﾙﾀﾞには手を付けていません。\r\nﾌﾞｯｸの一覧からだけ外しました。");
        } else {
            done = QStringLiteral("ﾌﾞｯｸ『") + name +
                   QStringLiteral("』のﾌｫﾙﾀﾞが見当たらないため、何も削除していません。\r\n"
                                  "ﾌﾞｯｸの一覧からだけ外しました。");
        }
        m_books.removeAt(i);
        booklist::write(s.appFolder, m_books);
        fillCombo();
        if (m_books.isEmpty()) {
            m_form->Text1->clear();
            s.bookInUse = false;
            s.current = {};
            QFile::remove(s.appFolder + u'/' + settingsfile::CurrentBook);
            m_form->cmdModLangSet->setEnabled(false);
        } else {
            m_form->cboFldName->setCurrentIndex(0);
            m_form->Text1->setText(m_books[0].setName);
            s.current = {m_books[0].name, m_books[0].setName};
            writeCurrentBook(s.appFolder, s.current);
        }
        showMessage(done, QStringLiteral("削除確認"));
    });
}

void FrmSelectFolder::cmdModLangSetClick() {
    guarded(terminating(u"言語ｾｯﾄ修正時", "Error115"), [this] {
        if (m_form->Text1->text().isEmpty()) {
            showMessage(QStringLiteral("ﾌﾞｯｸを作成して言語ｾｯﾄとの関連付けをして下さい。"),
                        QStringLiteral("関連付けｴﾗｰ"));
            return;
        }
        Session& s = session();
        if (QFile::exists(s.appFolder + u'/' + languageset::ListFile)) {
            const ListRead<QString> sets = languageset::readList(s.appFolder);
            s.setList = sets.items;
            reportSkippedEntries(languageset::ListFile, sets.problems);
        }
        FrmLangSet editor(FrmLangSet::Origin::Modify, m_form->Text1->text(), m_main, m_form);
        editor.exec();
    });
}
