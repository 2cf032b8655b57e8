// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/projects/projectfiles.h"
#include "core/settings/languageset.h"
#include "core/settings/session.h"
#include "core/settings/settings.h"
#include "core/store/book.h"
#include "core/text/cp932.h"
#include "support/bookbuilder.h"
#include "support/scripteddialogs.h"
#include "support/tempappfolder.h"
#include "support/terminatorspy.h"
#include "translator/frmtranslatorl.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// An application folder with settings and the book "英単語", and the editor started on it with
// scripted dialogs.
class EditorTest : public ::testing::Test {
protected:
    TempAppFolder app;
    ScriptedDialogs dialogs;
    TerminatorSpy terminator;
    std::unique_ptr<FrmTranslatorL> editor;

    void SetUp() override {
        session() = Session();
        Session& s = session();
        s.appFolder = app.path();
        s.display = SetDefaultDisplaySettings();
        s.current = {QStringLiteral("英単語"), languageset::DefaultSetName};
        s.bookInUse = true;
    }
    void TearDown() override {
        editor.reset();
        session() = Session();
    }

    QString bookFolder() const { return app.file(QStringLiteral("英単語")); }

    // Words with meanings "m:" + word and examples "e:" + word.
    void writeBook(const QStringList& words) {
        BookBuilder b(bookFolder());
        for (const QString& w : words)
            b.add(w, QStringLiteral("m:") + w, QStringLiteral("e:") + w);
        b.write();
    }

    // The project in use, as the project dialog leaves it in ctrinfo.vtd.
    void writeCurrentProject(const QString& name, const QString& orgPath, const QString& transPath,
                             bool useOrg) {
        const auto fileName = [](const QString& path) { return path.section(u'/', -1); };
        PlanInfo plan;
        plan.planName = name;
        plan.orgFilePath = orgPath;
        plan.orgFileName = orgPath.isEmpty() ? QString() : fileName(orgPath);
        plan.transFilePath = transPath;
        plan.transFileName = fileName(transPath);
        plan.useOrgFile = useOrg;
        plan.useCmnt = false;
        projectfiles::saveCurrentPlan(app.path(), plan);
    }

    void writeDocument(const QString& path, const QString& plainText) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(cp932::encode(plainText));
    }

    void start(const QStringList& words = {"apple", "banana", "cherry"}) {
        writeBook(words);
        editor = std::make_unique<FrmTranslatorL>();
        ASSERT_TRUE(editor->formLoad());
        form()->show();
        form()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form()));
    }

    // Starts on the project name in use, over a book of words: the original 原文.txt holding
    // orgText and the translation transName holding transText, both in the application folder.
    void startWithProject(const QString& name, const QString& orgText, const QString& transName,
                          const QString& transText,
                          const QStringList& words = {"apple", "banana", "cherry"}) {
        const QString org = app.file(QStringLiteral("原文.txt"));
        const QString trans = app.file(transName);
        writeDocument(org, orgText);
        writeDocument(trans, transText);
        writeCurrentProject(name, org, trans, true);
        start(words);
    }
    // The project "猫": "吾輩は猫である。" and its translation 訳文.rtf, "I am a cat.".
    void startWithCatProject() {
        startWithProject(QStringLiteral("猫"), QStringLiteral("吾輩は猫である。"),
                         QStringLiteral("訳文.rtf"),
                         QStringLiteral("{\\rtf1\\ansi I am a cat.\\par}"));
    }

    TranslatorLForm* form() const { return editor->form(); }
};
