// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings/languageset.h"
#include "core/settings/session.h"
#include "core/settings/settings.h"
#include "support/bookbuilder.h"
#include "support/scripteddialogs.h"
#include "support/tempappfolder.h"
#include "support/terminatorspy.h"
#include "support/widgets.h"
#include "translator/frmtranslatorl.h"
#include "ui/mainform.h"
#include "ui/selectfolderform.h"
#include "ui/translatorlform.h"
#include "ui/wordlistmodel.h"
#include "wordbook/frmmain.h"
#include "wordbook/program.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

// A temporary application folder holding settings and one book "英単語", and the program started
// on it with scripted dialogs.
class MainWindowTest : public ::testing::Test {
protected:
    TempAppFolder app;
    ScriptedDialogs dialogs;
    TerminatorSpy terminator;
    std::unique_ptr<Program> program;

    void SetUp() override { session() = Session(); }
    void TearDown() override {
        program.reset();
        session() = Session();
    }

    QString bookFolder() const { return app.file(QStringLiteral("英単語")); }

    void writeSettings(const PaletteRows& palette = SetDefaultLanguageSet()) {
        WriteDisplaySettings(app.path(), SetDefaultDisplaySettings());
        WritePaletteFont(app.path(), SetDefaultPaletteFont());
        writeCurrentBook(app.path(), {QStringLiteral("英単語"), QStringLiteral("英語ｾｯﾄ")});
        languageset::write(app.path(), QStringLiteral("英語ｾｯﾄ"), palette);
        languageset::writeList(app.path(), {QStringLiteral("英語ｾｯﾄ")});
    }

    // Words with meanings "m:" + word and examples "e:" + word.
    void writeBook(const QStringList& words) {
        BookBuilder b(bookFolder());
        for (const QString& w : words)
            b.add(w, QStringLiteral("m:") + w, QStringLiteral("e:") + w);
        b.write();
    }

    bool start() {
        program = std::make_unique<Program>();
        const bool ready = program->start();
        if (ready)
            EXPECT_TRUE(QTest::qWaitForWindowExposed(form()));
        return ready;
    }

    // In the book chooser: Cancel, then Yes to end the program.
    void leaveChooser() {
        whenShown("frmSelectFolder", [this](QWidget* w) {
            dialogs.expectMessage(Answer::Yes);
            QTest::mouseClick(static_cast<SelectFolderForm*>(w)->cmdCancelFolder, Qt::LeftButton);
        });
    }

    // Starts over a book that cannot be used: its error and the next box answered OK, then the
    // chooser left; the program ends without a crash report.
    void startAndLeaveTheChooser() {
        dialogs.expectMessage(Answer::Ok).expectMessage(Answer::Ok);
        leaveChooser();
        EXPECT_FALSE(start());
        program.reset();
        EXPECT_EQ(terminator.calls(), 0);
    }

    void startWith(const QStringList& words) {
        writeSettings();
        writeBook(words);
        ASSERT_TRUE(start());
    }

    // Goes over to the translation editor through the menu, as the user does: its window, or null
    // when it did not open.
    TranslatorLForm* goToEditor() {
        form()->IdmGotoTransL->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return program->translator() ? program->translator()->form() : nullptr;
    }

    FrmMain* main() const { return program->main(); }
    MainForm* form() const { return program->main()->form(); }
    WordListModel* model() const { return program->main()->listModel(); }

    QStringList listed() const {
        QStringList out;
        for (int r = 0; r < model()->rowCount(); ++r)
            out << model()->data(model()->index(r), Qt::DisplayRole).toString();
        return out;
    }
    QStringList checked() const {
        QStringList out;
        for (int r = 0; r < model()->rowCount(); ++r)
            if (model()->isChecked(r))
                out << model()->data(model()->index(r), Qt::DisplayRole).toString();
        return out;
    }
    QString selected() const {
        const QModelIndex i = form()->List1->currentIndex();
        return i.isValid() ? i.data().toString() : QString();
    }
    void clickRow(int row) {
        QListView* list = form()->List1;
        const QRect rect = list->visualRect(model()->index(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void type(const QString& text) { QTest::keyClicks(form()->txtInput, text); }
    void enter() { QTest::keyClick(form()->txtInput, Qt::Key_Return); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(form()->txtInput, k, mods);
    }
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
};
