#include "japanesefiledialog.h"

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

} // namespace

void makeFileDialogJapanese(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new JapaneseFileList(&dialog));
}
