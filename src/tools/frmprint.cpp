// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/frmprint.h"

#include "core/files/failure.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "platform/qtprintsurface.h"
#include "ui/printform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>

namespace {

PrintFontChoice fontOf(const FontGroup& group) {
    return {group.name, double(group.size), group.bold, group.italic};
}

QFont qfontOf(const PrintFontChoice& choice) {
    QFont font(choice.name);
    font.setPointSizeF(choice.size > 0 ? choice.size : 1);
    font.setBold(choice.bold);
    font.setItalic(choice.italic);
    return font;
}

int wholeNumber(const QLineEdit* box) {
    bool ok = false;
    const int value = box->text().trimmed().toInt(&ok);
    if (!ok)
        throw RuntimeFailure(failure::TypeMismatch);
    return value;
}

} // namespace

FrmPrint::FrmPrint(PrintSnapshot snapshot, std::function<Book*()> book, QWidget* parent)
    : m_snapshot(std::move(snapshot)), m_book(std::move(book)), m_form(new PrintForm(parent)),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    m_form->setAttribute(Qt::WA_DeleteOnClose);
    PrintForm* f = m_form;
    connect(f->Check3, &QCheckBox::clicked, this, [this] {
        guarded(reportOnly(u"ﾍｯﾀﾞ印刷ﾁｪｯｸ時", "Error258"), [this] { Check3Click(); });
    });
    connect(f->cmdCancel, &QPushButton::clicked, this,
            [this] { guarded(reportOnly(u"閉じる時", "Error259"), [this] { cmdCancelClick(); }); });
    connect(f->cmdFontImi, &QPushButton::clicked, this, [this] {
        guarded(reportOnly(u"意味部のﾌｫﾝﾄ選択時", "Error260"), [this] { cmdFontImiClick(); });
    });
    connect(f->cmdFontWord, &QPushButton::clicked, this, [this] {
        guarded(reportOnly(u"単語部のﾌｫﾝﾄ選択時", "Error261"), [this] { cmdFontWordClick(); });
    });
    connect(f->cmdPrint, &QPushButton::clicked, this, [this] {
        guarded(reportOnly(u"印刷開始時", "Error262"), [this] { cmdPrintClick(); });
    });
    connect(f->cmdPreview, &QPushButton::clicked, this, [this] {
        guarded(reportOnly(u"印刷開始時", "Error262"), [this] { cmdPreviewClick(); });
    });
    connect(f->cmdPrintSetup, &QPushButton::clicked, this, [this] {
        guarded(reportOnly(u"ﾌﾟﾘﾝﾀ設定ﾀﾞｲｱﾛｸﾞ表示時", "Error263"),
                [this] { cmdPrintSetupClick(); });
    });
    // The spinner steps the rule width in its box; typing in the box moves the spinner along.
    connect(f->ud_3, &QSpinBox::valueChanged, this,
            [this](int value) { m_form->Text4->setText(QString::number(value)); });
    connect(f->Text4, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QSignalBlocker block(m_form->ud_3);
        m_form->ud_3->setValue(text.toInt());
    });
    // The dialog goes with its window; this object goes with it.
    connect(f, &QObject::destroyed, this, &QObject::deleteLater);
}

FrmPrint::~FrmPrint() {
    delete m_form.data();
}

void FrmPrint::show() {
    formLoad();
    m_form->show();
    m_form->raise();
    m_form->activateWindow();
}

void FrmPrint::close() {
    if (m_form)
        m_form->close();
}

void FrmPrint::formLoad() {
    guarded(reportOnly(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error269"), [this] {
        PrintForm* f = m_form;
        f->Text1->setText(QStringLiteral("10"));
        f->Text2->setText(QStringLiteral("10"));
        f->Combo1->setCurrentIndex(1);
        f->Combo2->setCurrentIndex(1);
        f->Check1->setChecked(false);
        f->Check2->setChecked(false);
        f->Check2->setEnabled(m_snapshot.filtered);
        f->Check3->setChecked(true);
        f->ud_3->setValue(3);
        f->Text4->setText(QStringLiteral("3"));
        Check3Click();
        m_wordFont = fontOf(session().display.word);
        m_meaningFont = fontOf(session().display.meaning);
    });
}

void FrmPrint::Check3Click() {
    const bool header = m_form->Check3->isChecked();
    for (QWidget* w :
         {static_cast<QWidget*>(m_form->Text4), static_cast<QWidget*>(m_form->lblRule),
          static_cast<QWidget*>(m_form->lblRuleUnit), static_cast<QWidget*>(m_form->ud_3)})
        w->setVisible(header);
}

void FrmPrint::cmdFontWordClick() {
    // Like the word-book's own font box, a cancelled dialog gives back what it was preset with.
    const PrintFontChoice preset = fontOf(session().display.word);
    const std::optional<QFont> font = dialogs().font(qfontOf(preset));
    m_wordFont =
        font ? PrintFontChoice{font->family(), font->pointSizeF(), font->bold(), font->italic()}
             : preset;
}

void FrmPrint::cmdFontImiClick() {
    const PrintFontChoice preset = fontOf(session().display.meaning);
    const std::optional<QFont> font = dialogs().font(qfontOf(preset));
    m_meaningFont =
        font ? PrintFontChoice{font->family(), font->pointSizeF(), font->bold(), font->italic()}
             : preset;
}

WordListPrintSettings FrmPrint::settings() const {
    static constexpr int Spacings[] = {10, 15, 20};
    WordListPrintSettings s;
    s.rightMargin = wholeNumber(m_form->Text1);
    s.leftMargin = wholeNumber(m_form->Text2);
    s.ruleWidth = wholeNumber(m_form->Text4);
    s.spacing = Spacings[std::clamp(m_form->Combo1->currentIndex(), 0, 2)];
    s.gapLines = std::clamp(m_form->Combo2->currentIndex(), 0, 3);
    s.checkedOnly = m_form->Check1->isChecked();
    s.header = m_form->Check3->isChecked();
    s.wordFont = m_wordFont;
    s.meaningFont = m_meaningFont;
    s.bookName = m_snapshot.bookName;
    return s;
}

std::vector<IndexEntry> FrmPrint::printList() const {
    const Book* book = m_book ? m_book() : nullptr;
    if (!book || !book->isOpen())
        return {};
    const WordIndex& index = book->index();
    // The whole book is printed as it is now, words registered since the dialog opened included.
    const bool allInitials = !m_form->Check2->isEnabled() || m_form->Check2->isChecked();
    if (allInitials)
        return index.entries();
    std::vector<IndexEntry> list;
    list.reserve(m_snapshot.listed.size());
    for (const IndexEntry& word : m_snapshot.listed) {
        // Found again by word and record number; its check mark is the one it has now. Copies of
        // one word (a merge keeps both) sit side by side and differ in their record.
        for (int p = index.find(word.word);
             p >= 0 && p < index.size() && index.at(p).word == word.word; ++p) {
            if (index.at(p).recordNo == word.recordNo) {
                list.push_back(index.at(p));
                break;
            }
        }
    }
    return list;
}

bool FrmPrint::printOn(PrintSurface& surface) {
    const Book* book = m_book ? m_book() : nullptr;
    if (!book)
        return false;
    const PrintRecords records{[book](qint32 r) { return book->meaning(r); },
                               [book](qint32 r) { return book->example(r); }};
    return printWordList(surface, settings(), printList(), records);
}

// Whether there is anything to print, told before any print dialog: a printer that has begun a
// document has already opened (and emptied) the file it prints to.
bool FrmPrint::readyToPrint(const std::vector<IndexEntry>& list,
                            const WordListPrintSettings& settings) {
    if (list.empty()) {
        showMessage(QStringLiteral("印刷する単語がありません"));
        return false;
    }
    if (settings.checkedOnly &&
        std::none_of(list.begin(), list.end(), [](const IndexEntry& e) { return e.checkMark; })) {
        showMessage(QStringLiteral("「ﾁｪｯｸされた単語のみ印刷する」を選択しましたが\r\n"
                                   "ﾁｪｯｸ語はひとつもなかったようです"));
        return false;
    }
    return true;
}

void FrmPrint::cmdPrintClick() {
    // A margin that is not a number stops here, before the print dialog.
    const WordListPrintSettings s = settings();
    if (!readyToPrint(printList(), s))
        return;
    if (!dialogs().print(*m_printer))
        return;
    QtPrintSurface surface(*m_printer);
    printOn(surface);
    close();
}

void FrmPrint::cmdPreviewClick() {
    const WordListPrintSettings s = settings();
    if (!readyToPrint(printList(), s))
        return;
    auto* preview = new QPrintPreviewDialog(m_printer.get(), m_form);
    preview->setObjectName(QStringLiteral("dlgPreview"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    connect(preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) {
        guarded(reportOnly(u"印刷ﾒｲﾝﾌﾟﾛｸﾞﾗﾑ実行時", "Error264"), [&] {
            QtPrintSurface surface(*printer);
            printOn(surface);
        });
    });
    preview->open();
}

void FrmPrint::cmdPrintSetupClick() {
    dialogs().printerSetup(*m_printer);
}

void FrmPrint::cmdCancelClick() {
    close();
}
