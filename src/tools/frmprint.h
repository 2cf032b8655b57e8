// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/wordindex.h"
#include "tools/wordlistprint.h"
#include "ui/printform.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class Book;
class PrintSurface;
class QPrinter;
class QWidget;

// The words the print dialog was opened on: the main list as it was.
struct PrintSnapshot {
    std::vector<IndexEntry> listed; // filled only when the list showed one initial
    bool filtered = false;          // the list showed one initial only
    QString bookName;
};

// The word-list print dialog. It is not modal, so the book may change while it is open: the whole
// book is taken as it is when printing starts, and the words of one initial are found again by
// word and record number, those no longer there left out.
class FrmPrint : public QObject {
    Q_OBJECT
public:
    // book gives the open book, or null once it is closed.
    FrmPrint(PrintSnapshot snapshot, std::function<Book*()> book, QWidget* parent = nullptr);
    ~FrmPrint() override;

    PrintForm* form() const { return m_form; }
    QPrinter& printer() { return *m_printer; }
    // Loads the settings and shows the dialog without waiting.
    void show();
    void close();

    // The settings as the controls say; raises a type mismatch for a margin or rule width that is
    // not a number.
    WordListPrintSettings settings() const;
    // The words to print, as the book holds them now.
    std::vector<IndexEntry> printList() const;
    // Prints the list onto surface with the current settings; true when the document was sent.
    bool printOn(PrintSurface& surface);

    void formLoad();
    void Check3Click();
    void cmdFontWordClick();
    void cmdFontImiClick();
    void cmdPrintClick();
    void cmdPreviewClick();
    void cmdPrintSetupClick();
    void cmdCancelClick();

private:
    bool readyToPrint(const std::vector<IndexEntry>& list, const WordListPrintSettings& settings);

    PrintSnapshot m_snapshot;
    std::function<Book*()> m_book;
    QPointer<PrintForm> m_form;
    std::unique_ptr<QPrinter> m_printer;
    PrintFontChoice m_wordFont;
    PrintFontChoice m_meaningFont;
};
