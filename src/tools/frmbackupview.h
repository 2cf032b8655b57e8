// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/history/bookbackup.h"

#include <QAbstractTableModel>
#include <QObject>
#include <memory>

class Book;
class BackupViewForm;
class QWidget;

// The words of a book opened read-only, with their meanings and examples, for a table.
class BookWordsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit BookWordsModel(const Book& book, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const Book& m_book;
};

// Shows one backup of a book read-only: nothing in it or in the book can be changed from here.
class FrmBackupView : public QObject {
    Q_OBJECT
public:
    // Raises BookMissing (BookBroken for a backup with a file missing or cut short) or
    // RuntimeFailure when the backup cannot be read whole.
    FrmBackupView(const BookBackup& backup, const QString& bookName, QWidget* parent = nullptr);
    ~FrmBackupView() override;

    BackupViewForm* form() const { return m_form; }
    int exec();

private:
    std::unique_ptr<Book> m_book;
    BackupViewForm* m_form;
};

// For a book whose files do not belong together: offers its newest backup that reads whole, to be
// looked at read-only, and shows it when the user agrees. Nothing is offered without one.
void offerNewestBackup(const QString& bookName, QWidget* parent = nullptr);
