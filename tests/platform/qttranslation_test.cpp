// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own dialogs in the program's Japanese: the texts Qt's catalogue lacks, and the dates and
// sizes Qt would take from the system's (often English) locale.
#include "platform/japanesefiledialog.h"
#include "platform/qtdialogservice.h"
#include "platform/qttranslation.h"
#include "support/tempappfolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QtTest/QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QLocale Japanese(QLocale::Japanese, QLocale::Japan);

QStringList englishWordsIn(const QString& text) {
    static const QRegularExpression word(QStringLiteral("(?<![A-Za-z])[A-Za-z]{4,}(?![A-Za-z])"));
    QStringList found;
    for (auto it = word.globalMatch(QString(text).remove(u'&')); it.hasNext();)
        found << it.next().captured();
    return found;
}

// The texts of a dialog's labels, buttons, frames and tabs that contain English words.
QStringList englishTextsOf(QWidget* dialog) {
    QStringList texts;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts << button->text();
        if (auto* group = qobject_cast<QGroupBox*>(w))
            texts << group->title();
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        texts << w->toolTip();
    }
    QStringList english;
    for (const QString& text : texts)
        if (!englishWordsIn(text).isEmpty())
            english << text;
    return english;
}

// The rows the detail view of a file dialog shows for its folder, once Qt has read the folder:
// file name -> the texts of all columns.
QMap<QString, QStringList> detailRows(QFileDialog& dialog, int expected) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    QMap<QString, QStringList> rows;
    if (!view)
        return rows;
    // Qt reads the folder on a thread of its own; a loaded machine may take long.
    for (QDeadlineTimer deadline(60000); !deadline.hasExpired();) {
        QAbstractItemModel* model = view->model();
        const QModelIndex root = view->rootIndex();
        rows.clear();
        bool complete = model->rowCount(root) == expected;
        for (int r = 0; complete && r < model->rowCount(root); ++r) {
            QStringList columns;
            for (int c = 0; c < model->columnCount(root); ++c)
                columns << model->index(r, c, root).data().toString();
            complete = !columns.value(3).isEmpty();
            rows.insert(columns.value(0), columns);
        }
        if (complete)
            return rows;
        QTest::qWait(10);
    }
    return rows;
}

// Runs body on the file dialog once it is up, then cancels it.
void whenFileDialogShown(std::function<void(QFileDialog&)> body,
                         QDeadlineTimer deadline = QDeadlineTimer(60000)) {
    QTimer::singleShot(10, [body, deadline] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            body(*dialog);
            dialog->reject();
        } else if (!deadline.hasExpired()) {
            whenFileDialogShown(body, deadline);
        } else {
            ADD_FAILURE() << "the file dialog never came";
        }
    });
}

TEST(JapaneseInterface, QtsDialogTextsAreJapaneseWhereQtsCatalogueHasNone) {
    useJapaneseInterface();
    EXPECT_EQ(QLocale().language(), QLocale::Japanese);
    EXPECT_EQ(
        QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"),
        QStringLiteral("フォルダ"));
    EXPECT_EQ(QCoreApplication::translate("QPrintSettingsOutput", "Pages"),
              QStringLiteral("ページ指定"));
    // A page list the dialog cannot read is refused in Japanese, naming what was typed.
    const QString badPages =
        QCoreApplication::translate("QPrintDialog",
                                    "%1 does not follow the correct syntax. Please use ',' to "
                                    "separate ranges and pages, '-' to define ranges and make sure "
                                    "ranges do not intersect with each other.")
            .arg(QStringLiteral("3-"));
    EXPECT_TRUE(badPages.startsWith(QStringLiteral("「3-」"))) << badPages.toStdString();
    EXPECT_EQ(englishWordsIn(badPages), QStringList());
    // Qt's own catalogue still answers for the rest.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
              QStringLiteral("キャンセル"));
    EXPECT_EQ(QCoreApplication::translate("QPrintSettingsOutput", "Print range"),
              QStringLiteral("印刷範囲"));

    // The print dialog as the user sees it, page ranges offered.
    QPrinter printer;
    QPrintDialog dialog(&printer);
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintSelection |
                      QAbstractPrintDialog::PrintToFile);
    auto* pages = dialog.findChild<QRadioButton*>(QStringLiteral("pagesRadioButton"));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->text(), QStringLiteral("ページ指定"));
    EXPECT_EQ(englishTextsOf(&dialog), QStringList());
}

TEST(JapaneseInterface, FileListShowsDatesSizesAndTypesInJapanese) {
    useJapaneseInterface();
    TempAppFolder app;
    app.write(QStringLiteral("訳文.rtf"), "{\\rtf1}");
    QDir(app.path()).mkdir(QStringLiteral("原稿"));
    QFileDialog dialog(nullptr, QStringLiteral("開く"), app.path());
    makeFileDialogJapanese(dialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    const auto rows = detailRows(dialog, 2);
    ASSERT_EQ(rows.size(), 2) << "the dialog did not list the folder";
    const QStringList file = rows.value(QStringLiteral("訳文.rtf"));
    const QStringList folder = rows.value(QStringLiteral("原稿"));
    ASSERT_EQ(file.size(), 4);
    ASSERT_EQ(folder.size(), 4);
    const QDateTime modified = QFileInfo(app.file(QStringLiteral("訳文.rtf"))).lastModified();
    EXPECT_EQ(file[3], Japanese.toString(modified, QLocale::ShortFormat));
    EXPECT_EQ(file[1], Japanese.formattedDataSize(7));
    EXPECT_EQ(folder[2], QStringLiteral("フォルダ"));
    for (const QStringList& row : {file, folder})
        for (const QString& text : row)
            EXPECT_EQ(englishWordsIn(text), QStringList()) << text.toStdString();
    EXPECT_EQ(englishTextsOf(&dialog), QStringList());
}

// Qt opens file dialogs of its own too (the print dialog's output file): they list in Japanese
// once the interface is set up.
TEST(JapaneseInterface, QtsOwnFileDialogsListInJapaneseToo) {
    useJapaneseInterface();
    TempAppFolder app;
    app.write(QStringLiteral("print.pdf"), "%PDF");
    QFileDialog dialog(nullptr, QStringLiteral("Print To File ..."), app.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    const auto rows = detailRows(dialog, 1);
    const QDateTime modified = QFileInfo(app.file(QStringLiteral("print.pdf"))).lastModified();
    EXPECT_EQ(rows.value(QStringLiteral("print.pdf")).value(3),
              Japanese.toString(modified, QLocale::ShortFormat));
}

TEST(JapaneseInterface, TheProgramsFileDialogsAreJapaneseAndStartAsAsked) {
    useJapaneseInterface();
    TempAppFolder app;
    app.write(QStringLiteral("単語.csv"), "a,b,c\r\n");
    QtDialogService service;
    FileRequest request;
    request.title = QStringLiteral("書出し");
    request.folder = app.path();
    request.fileName = QStringLiteral("単語.csv");
    request.filter = QStringLiteral("ｶﾝﾏ区切り(*.csv);;すべて (*)");
    request.selectedFilter = QStringLiteral("ｶﾝﾏ区切り(*.csv)");
    bool seen = false;
    whenFileDialogShown([&](QFileDialog& dialog) {
        seen = true;
        EXPECT_EQ(dialog.windowTitle(), request.title);
        EXPECT_EQ(QFileInfo(dialog.directory().path()).canonicalFilePath(),
                  QFileInfo(app.path()).canonicalFilePath());
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), request.fileName);
        EXPECT_EQ(dialog.selectedNameFilter(), request.selectedFilter);
        dialog.setViewMode(QFileDialog::Detail);
        const auto rows = detailRows(dialog, 1);
        const QDateTime modified = QFileInfo(app.file(request.fileName)).lastModified();
        EXPECT_EQ(rows.value(request.fileName).value(3),
                  Japanese.toString(modified, QLocale::ShortFormat));
    });
    EXPECT_EQ(service.saveFile(request), std::nullopt);
    EXPECT_TRUE(seen);

    seen = false;
    whenFileDialogShown([&](QFileDialog& dialog) {
        seen = true;
        EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
        EXPECT_EQ(englishTextsOf(&dialog), QStringList());
    });
    EXPECT_EQ(service.folder(QStringLiteral("ﾌｫﾙﾀﾞの選択"), app.path()), std::nullopt);
    EXPECT_TRUE(seen);
}

} // namespace
