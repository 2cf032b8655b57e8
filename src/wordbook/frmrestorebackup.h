// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/history/bookbackup.h"

#include <QObject>
#include <vector>

class BookHost;
class RestoreBackupForm;
class QWidget;

// The list of the current book's backups: date, time, word count and the operation each was
// taken before; restoring one keeps the present book as a backup first.
class FrmRestoreBackup : public QObject {
    Q_OBJECT
public:
    FrmRestoreBackup(BookHost* host, QWidget* parent = nullptr);
    ~FrmRestoreBackup() override;

    RestoreBackupForm* form() const { return m_form; }
    int exec();
    void fill();
    void cmdRestoreClick();

private:
    BookHost* m_host;
    RestoreBackupForm* m_form;
    std::vector<BookBackup> m_backups;
};
