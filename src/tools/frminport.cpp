// SPDX-License-Identifier: GPL-3.0-or-later
#include "frminport.h"

#include "backupbeforechange.h"
#include "core/exchange/exchange.h"
#include "core/files/atomicfile.h"
#include "core/files/folderidentity.h"
#include "core/settings/booklist.h"
#include "core/settings/session.h"
#include "core/store/booktransfer.h"
#include "library/bookhost.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/inportform.h"
#include "ui/wordlistmodel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString ExportTitle = QStringLiteral("ﾃﾞｰﾀ書出し確認");
const QString CsvFilter = QStringLiteral("ｶﾝﾏ区切りﾃｷｽﾄ(*.csv)形式 (*.csv)");

// The other programs' formats follow the described ones in the export list, in this order.
constexpr int FirstExchangeItem = 3;
constexpr exchange::Format ExchangeFormats[] = {exchange::Format::Anki, exchange::Format::Kvtml,
                                                exchange::Format::OmegaT, exchange::Format::Tbx};

// The comma-separated file first, as it always was, then the other programs' files.
QString importFilter() {
    QString filter = CsvFilter;
    for (exchange::Format format : ExchangeFormats)
        filter += QStringLiteral(";;") + exchange::filterOf(format);
    return filter;
}

// The summary of an import that adds words, each row not taken as it stood named; the whole
// list can be kept in a file.
void showImportReport(const booktransfer::CsvImportReport& report, const QStringList& leftOut) {
    QString text = QStringLiteral("ﾃﾞｰﾀの取込みが完了しました\r\n追加: %1 語\r\n"
                                  "取込まなかった語: %2 語")
                       .arg(report.added)
                       .arg(report.duplicates + report.repeatedInFile + report.refusedCount());
    if (report.duplicates > 0)
        text += QStringLiteral("\r\n　ﾌﾞｯｸにすでにある語: %1 語").arg(report.duplicates);
    if (report.repeatedInFile > 0)
        text += QStringLiteral("\r\n　ﾌｧｲﾙ内で重複した語: %1 語").arg(report.repeatedInFile);
    for (const auto& [reason, count] : report.refused)
        text += QStringLiteral("\r\n　%1 %2 語").arg(reason).arg(count);
    if (report.cut > 0)
        text += QStringLiteral("\r\n意味・用例を切り詰めた語: %1 語").arg(report.cut);
    if (!leftOut.isEmpty())
        text += QStringLiteral("\r\nﾌﾞｯｸに入れる場所がなく取込まなかった項目: %1")
                    .arg(leftOut.join(QStringLiteral("、")));
    if (report.notes.empty()) {
        showMessage(text);
        return;
    }
    constexpr int Shown = 30;
    text += QStringLiteral("\r\n\r\n");
    const QStringList lines = report.notesText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    text += lines.mid(0, Shown).join(QStringLiteral("\r\n"));
    if (lines.size() > Shown)
        text += QStringLiteral("\r\n（ほか %1 行）").arg(lines.size() - Shown);
    text += QStringLiteral("\r\n\r\nこの報告をﾌｧｲﾙに保存しますか？");
    if (showMessage(text, QStringLiteral("取込みの報告"), MessageButtons::YesNo,
                    MessageIcon::Information) != Answer::Yes)
        return;
    const std::optional<QString> reportPath =
        dialogs().saveFile({QStringLiteral("報告の保存先を選んでください"),
                            session().appFolder,
                            QStringLiteral("取込みの報告.txt"),
                            QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ (*.txt);;すべてのﾌｧｲﾙ (*)"),
                            {},
                            QStringLiteral("txt")});
    if (!reportPath || reportPath->isEmpty())
        return;
    // UTF-8, so refused words with characters the code page lacks are written as they were.
    writeFileAtomically(*reportPath, "\xEF\xBB\xBF" + report.notesText().toUtf8());
}
} // namespace

FrmInport::FrmInport(BookHost* host, std::vector<IndexEntry> list, QWidget* parent)
    : m_host(host), m_list(std::move(list)), m_form(new InportForm(parent)) {
    InportForm* f = m_form;
    connect(f->Combo1, &QComboBox::activated, this, [this] { Combo1Click(); });
    connect(f->cmdRead, &QPushButton::clicked, this, [this] { cmdReadClick(); });
    connect(f->cmdRead2, &QPushButton::clicked, this, [this] { cmdRead2Click(); });
    connect(f->cmdReadCsv, &QPushButton::clicked, this, [this] { cmdReadCsvClick(); });
    connect(f->cmdInport, &QPushButton::clicked, this, [this] { cmdInportClick(); });
    connect(f->cmdExport, &QPushButton::clicked, this, [this] { cmdExportClick(); });
    connect(f->cmdClose, &QPushButton::clicked, this, [this] { cmdCloseClick(); });
}

FrmInport::~FrmInport() {
    delete m_form;
}

std::vector<IndexEntry> FrmInport::listSnapshot(const WordListModel& model,
                                                const WordIndex& index) {
    std::vector<IndexEntry> out;
    out.reserve(size_t(model.rowCount()));
    for (int row = 0; row < model.rowCount(); ++row) {
        IndexEntry e = index.at(model.indexPosition(row));
        e.checkMark = model.isChecked(row);
        out.push_back(std::move(e));
    }
    return out;
}

int FrmInport::exec() {
    formLoad();
    const int result = m_form->exec();
    // Closed by its close box: the book comes back as it does through cmdClose.
    reopenCurrentBook();
    return result;
}

void FrmInport::formLoad() {
    guarded(reportOnly(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error250"), [this] {
        InportForm* f = m_form;
        const Session& s = session();
        f->cboBooks->clear();
        if (QFile::exists(s.appFolder + u'/' + booklist::File)) {
            for (const BookEntry& book : booklist::read(s.appFolder).items)
                f->cboBooks->addItem(book.name);
            f->cboBooks->setCurrentIndex(f->cboBooks->count() > 0 ? 0 : -1);
        }
        f->lblSourceBook->clear();
        f->cmdInport->setEnabled(false);
        f->lblExSource->setText(s.current.bookName);
        f->Combo1->clear();
        f->Combo1->addItems({QStringLiteral("Verbanta形式"), QStringLiteral("ｶﾝﾏ区切り(csv)形式"),
                             QStringLiteral("ｶﾝﾏ区切り(csv)形式 UTF-8")});
        for (exchange::Format format : ExchangeFormats)
            f->Combo1->addItem(exchange::filterOf(format));
        f->Combo1->setCurrentIndex(0);
        f->chkWord->setChecked(false);
        f->cmdRead2->setEnabled(true);
        f->cmdExport->setEnabled(false);
        f->txtCRLF->setText(QStringLiteral(" / "));
        f->lblCRLF->setVisible(false);
        f->txtCRLF->setVisible(false);
        f->lblSourcePath->clear();
    });
}

void FrmInport::Combo1Click() {
    guarded(reportOnly(u"書出し形式選択時", "Error249"), [this] {
        InportForm* f = m_form;
        const bool toFile = f->Combo1->currentIndex() >= 1;
        const bool csv = toFile && f->Combo1->currentIndex() < FirstExchangeItem;
        f->cmdRead2->setEnabled(!toFile);
        f->cmdExport->setEnabled(toFile);
        f->lblCRLF->setVisible(csv);
        f->txtCRLF->setVisible(csv);
        if (csv) {
            f->txtCRLF->selectAll();
            f->txtCRLF->setFocus();
        }
    });
}

void FrmInport::cmdReadClick() {
    guarded(reportOnly(u"ﾌﾞｯｸ選択ﾎﾞﾀﾝｸﾘｯｸ時", "Error247"), [this] {
        FrmGetDir picker(PickPurpose::ImportSource, this, m_form);
        picker.exec();
    });
}

void FrmInport::cmdRead2Click() {
    guarded(reportOnly(u"ﾌﾞｯｸ選択ﾎﾞﾀﾝｸﾘｯｸ時", "Error248"), [this] {
        FrmGetDir picker(PickPurpose::ExportTarget, this, m_form);
        picker.exec();
    });
}

void FrmInport::acceptPick(PickPurpose purpose, const QString& path, const QString& name) {
    m_form->lblSourcePath->setText(path);
    if (purpose == PickPurpose::ImportSource) {
        m_form->lblSourceBook->setText(name);
        m_form->cmdInport->setEnabled(true);
    } else if (purpose == PickPurpose::ExportTarget) {
        m_form->cmdExport->setEnabled(true);
    }
}

QString FrmInport::receivingFolder() const {
    return session().appFolder + u'/' + m_form->cboBooks->currentText();
}

// The current book's files are closed before any book is replaced, since it may be the one.
void FrmInport::closeCurrentBook() {
    if (!m_bookClosed && m_host) {
        m_host->closeBook();
        m_bookClosed = true;
    }
}

void FrmInport::reopenCurrentBook() {
    if (m_bookClosed && m_host) {
        m_bookClosed = false;
        m_host->ReopenBook();
    }
}

void FrmInport::cmdInportClick() {
    guarded(reportOnly(u"ﾃﾞｰﾀ読込み時", "Error246"), [this] {
        const QString receiving = receivingFolder();
        const QString sending = m_form->lblSourcePath->text();
        if (sameFolder(receiving, sending)) {
            showMessage(
                QStringLiteral("受け側と送り側のﾌﾞｯｸが同じです\r\n他のﾌﾞｯｸを選び直して下さい"));
            return;
        }
        const Answer answer = showMessage(QStringLiteral("ﾃﾞｰﾀの取込みを開始します"),
                                          QStringLiteral("取込み開始確認"), MessageButtons::YesNo,
                                          MessageIcon::Question);
        m_form->lblSourcePath->clear();
        if (answer != Answer::Yes)
            return;
        if (!backupBeforeChange(receiving, QStringLiteral("取込み")))
            return;
        closeCurrentBook();
        booktransfer::importBook(sending, receiving);
        showMessage(QStringLiteral("ﾃﾞｰﾀの取込みが完了しました"));
    });
}

void FrmInport::cmdReadCsvClick() {
    guarded(reportOnly(u"ﾃﾞｰﾀ読込み時", "Error246"), [this] {
        const std::optional<QString> path =
            dialogs().openFile({QStringLiteral("取り込むﾌｧｲﾙを選んでください"),
                                session().appFolder,
                                {},
                                importFilter()});
        if (!path || path->isEmpty())
            return;
        exchange::Format format;
        if (exchange::formatOfFile(*path, &format)) {
            importExchangeFile(*path, format);
            return;
        }
        const Answer answer = showMessage(QStringLiteral("ﾃﾞｰﾀの取込みを開始します"),
                                          QStringLiteral("取込み開始確認"), MessageButtons::YesNo,
                                          MessageIcon::Question);
        if (answer != Answer::Yes)
            return;
        if (!backupBeforeChange(receivingFolder(), QStringLiteral("取込み（ｶﾝﾏ区切り）")))
            return;
        closeCurrentBook();
        showImportReport(booktransfer::importCsv(*path, receivingFolder()), {});
    });
}

// A file of another program is read whole before anything else happens: a file that is not
// what it claims is refused with the book untouched and no backup taken.
void FrmInport::importExchangeFile(const QString& path, exchange::Format format) {
    const exchange::ReadResult file = exchange::readFile(format, path);
    if (!file.error.isEmpty()) {
        showMessage(file.error, QStringLiteral("取込み"), MessageButtons::Ok,
                    MessageIcon::Exclamation);
        return;
    }
    const Answer answer =
        showMessage(QStringLiteral("ﾃﾞｰﾀの取込みを開始します"), QStringLiteral("取込み開始確認"),
                    MessageButtons::YesNo, MessageIcon::Question);
    if (answer != Answer::Yes)
        return;
    if (!backupBeforeChange(receivingFolder(),
                            QStringLiteral("取込み（%1）").arg(exchange::nameOf(format))))
        return;
    closeCurrentBook();
    showImportReport(exchange::importRows(file.rows, receivingFolder()), file.leftOut);
}

void FrmInport::cmdExportClick() {
    guarded(reportOnly(u"ﾃﾞｰﾀの書出し時", "Error245"), [this] {
        InportForm* f = m_form;
        const std::vector<IndexEntry> words =
            booktransfer::selection(m_list, f->chkWord->isChecked());
        const QString source = session().appFolder + u'/' + f->lblExSource->text();
        if (f->Combo1->currentIndex() == 0) {
            const QString target = f->lblSourcePath->text();
            if (sameFolder(source, target)) {
                showMessage(QStringLiteral("書出し元と書出し先が同一ﾌﾞｯｸ（ﾌｫﾙﾀﾞ）です\r\n"
                                           "書出し先を違うﾌﾞｯｸ（ﾌｫﾙﾀﾞ）に設定し直してください"));
                return;
            }
            const Answer answer = showMessage(
                QStringLiteral(
                    "ﾃﾞｰﾀをVerbanta形式で書出しします。\r\n"
                    "書出し先のﾌﾞｯｸ（ﾌｫﾙﾀﾞ）にすでにVerbanta形式のﾃﾞｰﾀがあれば\r\n"
                    "新しいﾃﾞｰﾀで置き換えられます。書出し処理を実行してもよろしいですか？"),
                ExportTitle, MessageButtons::YesNo, MessageIcon::Question);
            if (answer != Answer::Yes)
                return;
            booktransfer::exportOwnFormat(source, words, target);
        } else if (f->Combo1->currentIndex() >= FirstExchangeItem) {
            if (!exportExchangeFile(ExchangeFormats[f->Combo1->currentIndex() - FirstExchangeItem],
                                    source, words))
                return;
        } else {
            std::optional<QString> path =
                dialogs().saveFile({QStringLiteral("書き出すﾌｧｲﾙ名を付けてください"),
                                    session().appFolder,
                                    {},
                                    CsvFilter});
            // A cancelled save dialog ends the command with nothing written.
            if (!path || path->isEmpty())
                return;
            if (QFileInfo(*path).suffix().isEmpty())
                *path += QStringLiteral(".csv");
            const Answer answer =
                showMessage(QStringLiteral("ﾃﾞｰﾀを ") + QFileInfo(*path).fileName() +
                                QStringLiteral(" へｶﾝﾏ区切り(csv)形式で書出しします。\r\n"
                                               "書出し処理を実行してもよろしいですか？"),
                            ExportTitle, MessageButtons::YesNo, MessageIcon::Question);
            if (answer != Answer::Yes)
                return;
            const CsvEncoding encoding =
                f->Combo1->currentIndex() == 2 ? CsvEncoding::Utf8WithBom : CsvEncoding::Cp932;
            booktransfer::exportCsv(source, words, *path, f->txtCRLF->text(), encoding);
        }
        showMessage(QStringLiteral("ﾃﾞｰﾀの書出しが終了しました"));
    });
}

bool FrmInport::exportExchangeFile(exchange::Format format, const QString& source,
                                   const std::vector<IndexEntry>& words) {
    std::optional<QString> path =
        dialogs().saveFile({QStringLiteral("書き出すﾌｧｲﾙ名を付けてください"),
                            session().appFolder,
                            {},
                            exchange::filterOf(format),
                            {},
                            exchange::suffixOf(format)});
    if (!path || path->isEmpty())
        return false;
    if (QFileInfo(*path).suffix().isEmpty())
        *path += u'.' + exchange::suffixOf(format);
    const Answer answer =
        showMessage(QStringLiteral("ﾃﾞｰﾀを %1 へ %2 形式で書出しします。\r\n"
                                   "書出し処理を実行してもよろしいですか？")
                        .arg(QFileInfo(*path).fileName(), exchange::nameOf(format)),
                    ExportTitle, MessageButtons::YesNo, MessageIcon::Question);
    if (answer != Answer::Yes)
        return false;
    const int dropped = exchange::exportFile(
        format, source, words, *path,
        exchange::infoFor(m_form->lblExSource->text(), session().current.setName));
    if (dropped > 0)
        showMessage(
            QStringLiteral("XML に書けない制御文字 %1 個を除いて書出しました。").arg(dropped));
    return true;
}

void FrmInport::cmdCloseClick() {
    guarded(reportOnly(u"閉じる時", "Error244"), [this] {
        reopenCurrentBook();
        m_form->accept();
    });
}
