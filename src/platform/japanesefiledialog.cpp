// SPDX-License-Identifier: GPL-3.0-or-later
#include "japanesefiledialog.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace {

// The file system model's columns, as Qt numbers them.
constexpr int SizeColumn = 1;
constexpr int DateColumn = 3;

// The dialog's file list, unchanged except for the display texts of sizes and dates.
class JapaneseFileList : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QLocale japanese(QLocale::Japanese, QLocale::Japan);
        if (index.column() == DateColumn)
            return japanese.toString(files->lastModified(source), QLocale::ShortFormat);
        if (index.column() == SizeColumn && !files->isDir(source))
            return japanese.formattedDataSize(files->size(source));
        return QIdentityProxyModel::data(index, role);
    }
};

void showListInJapanese(QFileDialog& dialog) {
    if (!dynamic_cast<JapaneseFileList*>(dialog.proxyModel()))
        dialog.setProxyModel(new JapaneseFileList(&dialog));
}

// Qt opens file dialogs of its own (the print dialog's choice of an output file); each gets the
// Japanese list as it is shown.
class FileDialogWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QFileDialog*>(watched))
                showListInJapanese(*dialog);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void makeFileDialogJapanese(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    showListInJapanese(dialog);
}

void makeEveryFileDialogJapanese() {
    static FileDialogWatcher* watcher = nullptr;
    if (watcher || !QCoreApplication::instance())
        return;
    watcher = new FileDialogWatcher(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(watcher);
}
