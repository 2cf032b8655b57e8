// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialogservice.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>

// The dialog service of the tests: every box is recorded with its title, text, buttons and icon,
// and answered from a script. A box the script does not expect fails the test.
class ScriptedDialogs : public DialogService {
public:
    struct Box {
        QString title;
        QString text;
        MessageButtons buttons;
        MessageIcon icon;
        std::optional<Answer> defaultAnswer;
    };

    // Installs itself as the program's dialog service; the previous one comes back when it goes.
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Answer the next message box with this answer. textPart, when given, must occur in its text.
    ScriptedDialogs& expectMessage(Answer answer, const QString& textPart = {});
    ScriptedDialogs& expectInput(std::optional<QString> answer);
    ScriptedDialogs& expectOpenFile(std::optional<QString> path);
    ScriptedDialogs& expectSaveFile(std::optional<QString> path);
    ScriptedDialogs& expectFolder(std::optional<QString> path);
    ScriptedDialogs& expectFont(std::optional<QFont> font);
    ScriptedDialogs& expectColor(std::optional<QColor> color);
    ScriptedDialogs& expectPrint(bool accept);
    // Accept the next print dialog after choosing in it what choose sets on the printer (range,
    // output file).
    ScriptedDialogs& expectPrint(std::function<void(QPrinter&)> choose);

    const QList<Box>& boxes() const { return m_boxes; }
    // The open and save dialogs asked for, in order.
    const QList<FileRequest>& fileRequests() const { return m_fileRequests; }
    const Box& lastBox() const { return m_boxes.constLast(); }
    // What the last print dialog offered.
    const PrintChoices& lastPrintChoices() const { return m_lastPrintChoices; }
    // The colour the last colour dialog started from.
    QColor lastColorInitial() const { return m_lastColorInitial; }
    // True when every scripted answer was used.
    bool done() const { return m_script.empty(); }
    void clear() {
        m_boxes.clear();
        m_script.clear();
    }

    Answer message(const MessageRequest& request) override;
    std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                    const QString& initial) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    std::optional<QString> folder(const QString& title, const QString& start) override;
    std::optional<QFont> font(const QFont& initial) override;
    std::optional<QColor> color(const QColor& initial) override;
    bool print(QPrinter& printer) override;
    bool printerSetup(QPrinter& printer) override;
    bool printWith(QPrinter& printer, const PrintChoices& choices) override;

private:
    enum class Kind { Message, Input, OpenFile, SaveFile, Folder, Font, Color, Print };
    struct Step {
        Kind kind;
        Answer answer = Answer::Ok;
        QString textPart;
        std::optional<QString> text;
        std::optional<QFont> font;
        std::optional<QColor> color;
        bool accept = false;
        std::function<void(QPrinter&)> choosePrint;
    };
    // The next step if it is of this kind; otherwise the test fails and nullopt comes back.
    std::optional<Step> take(Kind kind, const QString& what);

    std::deque<Step> m_script;
    QList<Box> m_boxes;
    QList<FileRequest> m_fileRequests;
    PrintChoices m_lastPrintChoices;
    QColor m_lastColorInitial;
};
