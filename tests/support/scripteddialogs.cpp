// SPDX-License-Identifier: GPL-3.0-or-later
#include "scripteddialogs.h"

#include <gtest/gtest.h>

namespace {
DialogService* previousService = nullptr;
}

ScriptedDialogs::ScriptedDialogs() {
    previousService = &dialogs();
    setDialogService(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    setDialogService(previousService == this ? nullptr : previousService);
    EXPECT_TRUE(m_script.empty()) << m_script.size() << " scripted answer(s) were never asked for";
}

ScriptedDialogs& ScriptedDialogs::expectMessage(Answer answer, const QString& textPart) {
    Step s{Kind::Message};
    s.answer = answer;
    s.textPart = textPart;
    m_script.push_back(s);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectInput(std::optional<QString> answer) {
    Step s{Kind::Input};
    s.text = std::move(answer);
    m_script.push_back(s);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectOpenFile(std::optional<QString> path) {
    Step s{Kind::OpenFile};
    s.text = std::move(path);
    m_script.push_back(s);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectSaveFile(std::optional<QString> path) {
    Step s{Kind::SaveFile};
    s.text = std::move(path);
    m_script.push_back(s);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectFolder(std::optional<QString> path) {
    Step s{Kind::Folder};
    s.text = std::move(path);
    m_script.push_back(s);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectFont(std::optional<QFont> font) {
    Step s{Kind::Font};
    s.font = std::move(font);
    m_script.push_back(s);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectColor(std::optional<QColor> color) {
    Step s{Kind::Color};
    s.color = std::move(color);
    m_script.push_back(s);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectPrint(bool accept) {
    Step s{Kind::Print};
    s.accept = accept;
    m_script.push_back(s);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectPrint(std::function<void(QPrinter&)> choose) {
    Step s{Kind::Print};
    s.accept = true;
    s.choosePrint = std::move(choose);
    m_script.push_back(s);
    return *this;
}

std::optional<ScriptedDialogs::Step> ScriptedDialogs::take(Kind kind, const QString& what) {
    if (m_script.empty() || m_script.front().kind != kind) {
        ADD_FAILURE() << "unexpected dialog: " << what.toStdString();
        return std::nullopt;
    }
    Step s = m_script.front();
    m_script.pop_front();
    return s;
}

Answer ScriptedDialogs::message(const MessageRequest& r) {
    m_boxes.append({r.title, r.text, r.buttons, r.icon, r.defaultAnswer});
    const std::optional<Step> s = take(Kind::Message, r.title + QStringLiteral(": ") + r.text);
    if (!s)
        return r.buttons == MessageButtons::Ok      ? Answer::Ok
               : r.buttons == MessageButtons::YesNo ? Answer::No
                                                    : Answer::Cancel;
    EXPECT_TRUE(r.text.contains(s->textPart))
        << "box text " << r.text.toStdString() << " lacks " << s->textPart.toStdString();
    return s->answer;
}

std::optional<QString> ScriptedDialogs::inputBox(const QString& title, const QString& prompt,
                                                 const QString&) {
    m_boxes.append({title, prompt, MessageButtons::OkCancel, MessageIcon::None});
    const std::optional<Step> s = take(Kind::Input, title + QStringLiteral(": ") + prompt);
    return s ? s->text : std::nullopt;
}

std::optional<QString> ScriptedDialogs::openFile(const FileRequest& r) {
    m_fileRequests.append(r);
    const std::optional<Step> s = take(Kind::OpenFile, QStringLiteral("open file ") + r.title);
    return s ? s->text : std::nullopt;
}

std::optional<QString> ScriptedDialogs::saveFile(const FileRequest& r) {
    m_fileRequests.append(r);
    const std::optional<Step> s = take(Kind::SaveFile, QStringLiteral("save file ") + r.title);
    return s ? s->text : std::nullopt;
}

std::optional<QString> ScriptedDialogs::folder(const QString& title, const QString&) {
    const std::optional<Step> s = take(Kind::Folder, QStringLiteral("folder ") + title);
    return s ? s->text : std::nullopt;
}

std::optional<QFont> ScriptedDialogs::font(const QFont&) {
    const std::optional<Step> s = take(Kind::Font, QStringLiteral("font dialog"));
    return s ? s->font : std::nullopt;
}

std::optional<QColor> ScriptedDialogs::color(const QColor& initial) {
    m_lastColorInitial = initial;
    const std::optional<Step> s = take(Kind::Color, QStringLiteral("colour dialog"));
    return s ? s->color : std::nullopt;
}

bool ScriptedDialogs::print(QPrinter& printer) {
    const std::optional<Step> s = take(Kind::Print, QStringLiteral("print dialog"));
    if (s && s->accept && s->choosePrint)
        s->choosePrint(printer);
    return s && s->accept;
}

bool ScriptedDialogs::printWith(QPrinter& printer, const PrintChoices& choices) {
    m_lastPrintChoices = choices;
    return print(printer);
}

bool ScriptedDialogs::printerSetup(QPrinter&) {
    const std::optional<Step> s = take(Kind::Print, QStringLiteral("printer set-up dialog"));
    return s && s->accept;
}
