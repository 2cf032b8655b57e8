// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmbackupview.h"

#include "core/store/book.h"
#include "core/files/failure.h"
#include "platform/appfolder.h"
#include "platform/dialogservice.h"
#include "ui/backupviewform.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>

BookWordsModel::BookWordsModel(const Book& book, QObject* parent)
    : QAbstractTableModel(parent), m_book(book) {}

int BookWordsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_book.index().size();
}

int BookWordsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant BookWordsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rowCount())
        return {};
    const IndexEntry& e = m_book.index().at(index.row());
    switch (index.column()) {
    case 0:
        return e.word;
    case 1:
        return Book::storedWord(m_book.meaning(e.recordNo));
    case 2:
        return Book::storedWord(m_book.example(e.recordNo));
    }
    return {};
}

QVariant BookWordsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 2)
        return {};
    const char16_t* titles[] = {u"単語", u"意味", u"例文"};
    return QString::fromUtf16(titles[section]);
}

FrmBackupView::FrmBackupView(const BookBackup& backup, const QString& bookName, QWidget* parent)
    : m_book(std::make_unique<Book>(backup.folder)) {
    // Read-only: the open changes nothing in the backup's folder.
    m_book->open(/*readOnly=*/true);
    // A backup missing a file or cut short is no whole version to offer.
    if (!m_book->problems().isEmpty())
        throw BookBroken(m_book->problems().join(u'\n'));
    m_form = new BackupViewForm(parent);
    m_form->lblBackup->setText(
        QStringLiteral(
            "ブック「%1」の %2 のバックアップ（%3語）です。読み取り専用で、変更はできません。")
            .arg(bookName, backup.when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")))
            .arg(m_book->index().size()));
    m_form->tblWords->setModel(new BookWordsModel(*m_book, m_form));
    connect(m_form->cmdClose, &QPushButton::clicked, m_form, &QDialog::reject);
}

FrmBackupView::~FrmBackupView() {
    delete m_form;
}

int FrmBackupView::exec() {
    return m_form->exec();
}

void offerNewestBackup(const QString& bookName, QWidget* parent) {
    for (const BookBackup& backup : BookBackups(appfolder::path()).list(bookName)) {
        std::unique_ptr<FrmBackupView> view;
        try {
            view = std::make_unique<FrmBackupView>(backup, bookName, parent);
        } catch (const BookMissing&) {
            continue; // not whole either: an older one may be
        } catch (const RuntimeFailure&) {
            continue;
        }
        if (showMessage(QStringLiteral("最後にそろっていた版（%1 のバックアップ、%2語）を"
                                       "読み取り専用で開きますか？")
                            .arg(backup.when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")))
                            .arg(view->form()->tblWords->model()->rowCount()),
                        QStringLiteral("ブックエラー"), MessageButtons::YesNo,
                        MessageIcon::Question) == Answer::Yes)
            view->exec();
        return;
    }
}
