// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

class QPrinter;

// Every message box, input box and common dialog of the program goes through this interface, so
// tests can answer them from a script and read their exact texts.

inline const QString AppTitle = QStringLiteral("Verbanta");

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageIcon { None, Question, Information, Exclamation, Critical };
enum class Answer { Ok, Cancel, Yes, No, Retry };

struct MessageRequest {
    QString title = AppTitle;
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    bool foreground = true; // raise the box above other windows
    // The button Enter presses; none: the toolkit's usual first button.
    std::optional<Answer> defaultAnswer;
};

// What the print dialog offers besides the choice of printer. The range the user picked comes back
// in the printer's printRange().
struct PrintChoices {
    bool selection = false; // print only the selection
    bool pageRange = true;  // print pages "from ... to"
    bool printToFile = true;
};

struct FileRequest {
    QString title;
    QString folder;
    QString fileName;
    QString filter;         // Qt filter syntax: "RTF (*.rtf);;すべてのファイル (*)"
    QString selectedFilter; // the entry of filter shown first; empty: the first
    QString defaultSuffix;  // added by a save dialog to a name typed without one
};

class DialogService {
public:
    virtual ~DialogService() = default;

    virtual Answer message(const MessageRequest& request) = 0;
    // nullopt when cancelled.
    virtual std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                            const QString& initial) = 0;
    virtual std::optional<QString> openFile(const FileRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileRequest& request) = 0;
    virtual std::optional<QString> folder(const QString& title, const QString& start) = 0;
    virtual std::optional<QFont> font(const QFont& initial) = 0;
    virtual std::optional<QColor> color(const QColor& initial) = 0;
    // The print dialog and the printer set-up dialog; false when cancelled.
    virtual bool print(QPrinter& printer) = 0;
    virtual bool printerSetup(QPrinter& printer) = 0;
    // The print dialog offering these choices; false when cancelled. A service that cannot offer
    // them shows its plain print dialog.
    virtual bool printWith(QPrinter& printer, const PrintChoices& choices);
};

// The service in use. The program installs the Qt one at start; tests install a scripted one.
DialogService& dialogs();
void setDialogService(DialogService* service);

// The common case: a box with the application title unless another is given.
Answer showMessage(const QString& text, const QString& title = AppTitle,
                   MessageButtons buttons = MessageButtons::Ok,
                   MessageIcon icon = MessageIcon::None, bool foreground = true);
