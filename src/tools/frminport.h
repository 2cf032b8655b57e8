// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/wordindex.h"
#include "core/exchange/exchange.h"
#include "frmgetdir.h"

#include <QObject>
#include <vector>

class BookHost;
class InportForm;
class QWidget;
class WordListModel;

// The import and export dialog: replaces a registered book with another book folder's words or
// with a comma-separated file's, and writes the current book's list into another book folder or a
// comma-separated file.
class FrmInport : public QObject, public PickReceiver {
    Q_OBJECT
public:
    // list: the main window's list as shown when the dialog was asked for, with its check marks.
    FrmInport(BookHost* host, std::vector<IndexEntry> list, QWidget* parent = nullptr);
    ~FrmInport() override;

    // The main window's list as it is shown: the whole index or the filtered view, with the
    // check marks of the list's boxes.
    static std::vector<IndexEntry> listSnapshot(const WordListModel& model, const WordIndex& index);

    InportForm* form() const { return m_form; }
    int exec();

    void formLoad();
    void Combo1Click();
    void cmdReadClick();
    void cmdRead2Click();
    void cmdReadCsvClick();
    void cmdInportClick();
    void cmdExportClick();
    void cmdCloseClick();

    void acceptPick(PickPurpose purpose, const QString& path, const QString& name) override;

private:
    QString receivingFolder() const;
    void closeCurrentBook();
    void reopenCurrentBook();
    void importExchangeFile(const QString& path, exchange::Format format);
    bool exportExchangeFile(exchange::Format format, const QString& source,
                            const std::vector<IndexEntry>& words);

    BookHost* m_host;
    std::vector<IndexEntry> m_list;
    InportForm* m_form;
    bool m_bookClosed = false;
};
