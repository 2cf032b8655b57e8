// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtdialogservice.h"

#include "japanesefiledialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {

QWidget* parentWindow() {
    return QApplication::activeWindow();
}

QMessageBox::Icon toQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// Runs a file dialog in the program's Japanese, with the request's file name and filter chosen
// in it; the first chosen path, or nullopt on Cancel.
std::optional<QString> chosenFile(QFileDialog& dialog, const FileRequest& request) {
    makeFileDialogJapanese(dialog);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    // After the file name, as Qt's own dialogs do: a save dialog's filter sets the name's suffix.
    if (!request.selectedFilter.isEmpty())
        dialog.selectNameFilter(request.selectedFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

Answer QtDialogService::message(const MessageRequest& request) {
    QMessageBox box(toQt(request.icon), request.title, request.text, toQt(request.buttons),
                    parentWindow());
    if (request.foreground)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (request.defaultAnswer) {
        switch (*request.defaultAnswer) {
        case Answer::Ok:
            box.setDefaultButton(QMessageBox::Ok);
            break;
        case Answer::Cancel:
            box.setDefaultButton(QMessageBox::Cancel);
            break;
        case Answer::Yes:
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case Answer::No:
            box.setDefaultButton(QMessageBox::No);
            break;
        case Answer::Retry:
            box.setDefaultButton(QMessageBox::Retry);
            break;
        }
    }
    box.show();
    box.raise();
    box.activateWindow();
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Retry:
        return Answer::Retry;
    default:
        // Closing a box with a Cancel button by its close box counts as Cancel.
        return request.buttons == MessageButtons::Ok      ? Answer::Ok
               : request.buttons == MessageButtons::YesNo ? Answer::No
                                                          : Answer::Cancel;
    case QMessageBox::Ok:
        return Answer::Ok;
    }
}

std::optional<QString> QtDialogService::inputBox(const QString& title, const QString& prompt,
                                                 const QString& initial) {
    bool ok = false;
    QString text =
        QInputDialog::getText(parentWindow(), title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> QtDialogService::openFile(const FileRequest& request) {
    QFileDialog dialog(parentWindow(), request.title, request.folder, request.filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog, request);
}

std::optional<QString> QtDialogService::saveFile(const FileRequest& request) {
    QFileDialog dialog(parentWindow(), request.title, request.folder, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    std::optional<QString> chosen = chosenFile(dialog, request);
    if (!chosen)
        return std::nullopt;
    QString path = *chosen;
    if (!request.defaultSuffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += u'.' + request.defaultSuffix;
    return path;
}

std::optional<QString> QtDialogService::folder(const QString& title, const QString& start) {
    QFileDialog dialog(parentWindow(), title, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return chosenFile(dialog, FileRequest());
}

std::optional<QFont> QtDialogService::font(const QFont& initial) {
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, initial, parentWindow());
    if (!ok)
        return std::nullopt;
    return chosen;
}

std::optional<QColor> QtDialogService::color(const QColor& initial) {
    QColor chosen = QColorDialog::getColor(initial, parentWindow());
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

bool QtDialogService::print(QPrinter& printer) {
    QPrintDialog dialog(&printer, parentWindow());
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogService::printWith(QPrinter& printer, const PrintChoices& choices) {
    QPrintDialog dialog(&printer, parentWindow());
    dialog.setOption(QAbstractPrintDialog::PrintSelection, choices.selection);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, choices.pageRange);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, choices.printToFile);
    // The dialog keeps the range of the last print; a pane without a selection prints all.
    if (!choices.selection && printer.printRange() == QPrinter::Selection)
        printer.setPrintRange(QPrinter::AllPages);
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogService::printerSetup(QPrinter& printer) {
    QPageSetupDialog dialog(&printer, parentWindow());
    return dialog.exec() == QDialog::Accepted;
}
