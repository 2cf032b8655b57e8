// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "core/richtext/twips.h"
#include "editor/editor_fixture.h"
#include "projects/editorcommands.h"
#include "projects/frmindent.h"
#include "projects/frmtabs.h"
#include "projects/frmtransoption.h"
#include "translator/panelayout.h"
#include "ui/indentform.h"
#include "ui/tabsform.h"
#include "ui/transoptionform.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

class OptionsTest : public EditorTest {
protected:
    std::unique_ptr<EditorCommands> commands;

    void TearDown() override {
        commands.reset();
        EditorTest::TearDown();
    }
    // A project with an original and a translation, or with a translation only.
    void startProject(bool withOriginal) {
        const QString org = app.file(QStringLiteral("原文.rtf"));
        const QString trans = app.file(QStringLiteral("訳文.rtf"));
        writeDocument(org, QStringLiteral("{\\rtf1\\ansi Original.\\par}"));
        writeDocument(trans, QStringLiteral("{\\rtf1\\ansi Translation.\\par}"));
        writeCurrentProject(QStringLiteral("猫"), withOriginal ? org : QString(), trans,
                            withOriginal);
        startWithCommands();
    }
    void startWithCommands() {
        start();
        commands = std::make_unique<EditorCommands>(*editor);
    }
    ProjectState& project() const { return editor->project(); }

    // Runs act on the modal dialog that the next step opens.
    static void whenModal(std::function<void(QWidget*)> act) {
        QTimer::singleShot(0, [act] { act(QApplication::activeModalWidget()); });
    }
};

TEST_F(OptionsTest, OriginalFileBoxesActAtOnceAndCancelKeepsWhatTheyDid) {
    startProject(true);
    TranslatorLForm* f = form();
    EXPECT_TRUE(f->Rtxt1->isReadOnly()) << "the original is only read until editing is allowed";
    project().transModified = true;

    FrmTransOption dialog(*editor);
    TransOptionForm* o = dialog.form();
    dialog.formLoad();
    EXPECT_TRUE(o->Check1->isChecked() && o->Check1->isEnabled());
    EXPECT_FALSE(o->Check2->isChecked());
    EXPECT_FALSE(o->Check3->isChecked());
    EXPECT_TRUE(o->Check2->isEnabled() && o->Check3->isEnabled() && o->Command1->isEnabled());

    o->Check3->click();
    EXPECT_TRUE(project().allowOrgEdit);
    EXPECT_FALSE(f->Rtxt1->isReadOnly());
    o->Check2->click();
    EXPECT_TRUE(project().saveOrgToo);
    o->Command2->click();
    EXPECT_TRUE(project().allowOrgEdit && project().saveOrgToo);
    EXPECT_FALSE(f->Rtxt1->isReadOnly()) << "Cancel keeps the original editable";

    // Opened again, the boxes show the switches.
    FrmTransOption again(*editor);
    again.formLoad();
    EXPECT_TRUE(again.form()->Check2->isChecked() && again.form()->Check3->isChecked());

    // Not using the original clears saving and editing at once, and hides the pane on OK while
    // the project keeps its original file.
    again.form()->Check1->click();
    EXPECT_FALSE(again.form()->Check2->isChecked() || again.form()->Check2->isEnabled());
    EXPECT_FALSE(again.form()->Check3->isChecked() || again.form()->Check3->isEnabled());
    EXPECT_FALSE(project().saveOrgToo || project().allowOrgEdit);
    EXPECT_TRUE(f->Rtxt1->isReadOnly());
    EXPECT_TRUE(f->Rtxt1->isVisible()) << "the pane goes only on OK";
    again.form()->Command1->click();
    EXPECT_FALSE(f->Rtxt1->isVisible());
    EXPECT_FALSE(f->mnuLayout->isEnabled());
    EXPECT_EQ(f->Label1->text(), QStringLiteral("<訳文>"));
    EXPECT_TRUE(project().useOrgFile) << "Save still treats the project as having an original";
    EXPECT_TRUE(project().transModified) << "OK changes no text and keeps the save question";
    f->resize(f->width() + 40, f->height() + 40);
    QApplication::processEvents();
    EXPECT_FALSE(f->Rtxt1->isVisible()) << "a resize keeps the hidden original out of sight";
    EXPECT_TRUE(dialogs.boxes().isEmpty());
}

TEST_F(OptionsTest, AProjectWithoutOriginalOffersOnlyTheQuickSearchAndCancel) {
    startProject(false);
    FrmTransOption dialog(*editor);
    TransOptionForm* o = dialog.form();
    dialog.formLoad();
    EXPECT_FALSE(o->Check1->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{o->Check1, o->Check2, o->Check3, o->Command1})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(o->Check4->isEnabled() && o->Check5->isEnabled() && o->Command2->isEnabled());
    o->Check4->click();
    EXPECT_TRUE(project().quickSearch.approxSearch);
}

TEST_F(OptionsTest, WithoutAProjectOkShowsOrHidesTheOriginalAndSetsTheWorkingSwitch) {
    startWithCommands();
    TranslatorLForm* f = form();
    ASSERT_FALSE(project().projectInUse());
    {
        FrmTransOption dialog(*editor);
        dialog.formLoad();
        EXPECT_TRUE(dialog.form()->Check1->isChecked()) << "the working switch starts on";
        dialog.form()->Check1->click();
        dialog.form()->Command1->click();
    }
    EXPECT_FALSE(project().useOrgFile);
    EXPECT_FALSE(f->Rtxt1->isVisible());
    EXPECT_FALSE(f->mnuLayout->isEnabled());
    EXPECT_EQ(f->Label1->text(), QStringLiteral("<訳文>"));
    const int width = panelayout::windowWidth(*f);
    EXPECT_EQ(twips::fromPixels(f->Rtxt2->x()), 105); // 100 twips, at whole pixels
    EXPECT_NEAR(twips::fromPixels(f->Rtxt2->width()), width - 200, 15);
    EXPECT_EQ(f->Rtxt2->rightMargin(), width - 200 - 400);
    {
        FrmTransOption dialog(*editor);
        dialog.formLoad();
        TransOptionForm* o = dialog.form();
        EXPECT_FALSE(o->Check1->isChecked());
        EXPECT_TRUE(o->Check1->isEnabled());
        EXPECT_FALSE(o->Check2->isEnabled() || o->Check3->isEnabled());
        o->Check1->click();
        EXPECT_TRUE(o->Check2->isEnabled() && o->Check3->isEnabled());
        o->Command1->click();
    }
    EXPECT_TRUE(project().useOrgFile);
    EXPECT_TRUE(f->Rtxt1->isVisible());
    EXPECT_TRUE(f->mnuLayout->isEnabled());
    EXPECT_EQ(f->Label1->text(), QStringLiteral("<原文>"));
}

TEST_F(OptionsTest, RegisteringAMissingWordIsOfferedOnlyWithFocusMoveAndWithoutNearWords) {
    startWithCommands();
    FrmTransOption dialog(*editor);
    TransOptionForm* o = dialog.form();
    QuickSearchOptions& q = project().quickSearch;
    dialog.formLoad();
    EXPECT_FALSE(o->Check6->isEnabled());

    o->Check5->click();
    EXPECT_TRUE(q.focusWordPaneAfterSearch);
    EXPECT_TRUE(o->Check6->isEnabled());
    o->Check6->click();
    EXPECT_TRUE(q.registerWhenMissing);

    o->Check4->click();
    EXPECT_TRUE(q.approxSearch);
    EXPECT_FALSE(o->Check6->isEnabled() || o->Check6->isChecked() || q.registerWhenMissing);
    o->Check4->click();
    EXPECT_FALSE(q.approxSearch);
    EXPECT_TRUE(o->Check6->isEnabled());

    o->Check6->click();
    o->Check5->click();
    EXPECT_FALSE(q.focusWordPaneAfterSearch);
    EXPECT_FALSE(o->Check6->isEnabled() || o->Check6->isChecked() || q.registerWhenMissing);

    // A new dialog shows the switches; the register box only where it is offered.
    q = {false, true, true};
    FrmTransOption shown(*editor);
    shown.formLoad();
    EXPECT_TRUE(shown.form()->Check5->isChecked() && shown.form()->Check6->isChecked());
    q = {true, true, true};
    FrmTransOption nearWords(*editor);
    nearWords.formLoad();
    EXPECT_FALSE(nearWords.form()->Check6->isChecked() || nearWords.form()->Check6->isEnabled());
}

TEST_F(OptionsTest, TheMenuAndThePopUpItemOpenTheDialogModally) {
    startWithCommands();
    for (QAction* item : {form()->mnuOption, form()->popTransOption}) {
        QString title;
        whenModal([&title](QWidget* dialog) {
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            dialog->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        });
        item->trigger();
        EXPECT_EQ(title, QStringLiteral("ｵﾌﾟｼｮﾝ")) << item->objectName().toStdString();
    }
}

// ---- Tab stops ----------------------------------------------------------------------------

class TabsTest : public OptionsTest {
protected:
    QStringList entries(const TabsForm* t) const {
        QStringList texts;
        for (const QLineEdit* box : t->Text1)
            texts << box->text();
        return texts;
    }
};

TEST_F(TabsTest, StopsAreShownInCharactersAndStoredInTwips) {
    startProject(true);
    TranslatorLForm* f = form();
    ASSERT_FALSE(app.exists(QStringLiteral("trtabs.vtd")));
    FrmTabs dialog(
        project(),
        [f] {
            return QList<RichTextPane*>{f->Rtxt1, f->Rtxt2};
        },
        f);
    TabsForm* t = dialog.form();
    dialog.formLoad();
    EXPECT_EQ(entries(t), (QStringList{"4", "8", "12", "16"}));
    EXPECT_EQ(t->Label1[0]->text(), QStringLiteral("１番目"));

    t->show();
    t->Text1[0]->setText(QStringLiteral("5"));
    t->Text1[3]->setText(QStringLiteral("２０")); // typed through the input method
    t->cmdOKSave->click();
    EXPECT_EQ(t->result(), QDialog::Accepted);
    EXPECT_EQ(app.read(QStringLiteral("trtabs.vtd")), QByteArray("600\r\n960\r\n1440\r\n2400\r\n"));
    EXPECT_EQ(project().tabStops, (TabStops{600, 960, 1440, 2400}));
    EXPECT_EQ(f->Rtxt2->selTabs(), (QList<int>{600, 960, 1440, 2400}));
    EXPECT_EQ(f->Rtxt1->selTabs(), (QList<int>{600, 960, 1440, 2400}));
    EXPECT_TRUE(dialogs.boxes().isEmpty());

    // The next editor reads them back.
    FrmTabs next(
        project(), [] { return QList<RichTextPane*>{}; }, f);
    next.formLoad();
    EXPECT_EQ(entries(next.form()), (QStringList{"5", "8", "12", "20"}));
}

TEST_F(TabsTest, EntriesThatAreNotWholeNumbersInRangeAreRefusedAndNothingIsWritten) {
    startProject(true);
    TranslatorLForm* f = form();
    FrmTabs dialog(
        project(), [f] { return QList<RichTextPane*>{f->Rtxt2}; }, f);
    TabsForm* t = dialog.form();
    dialog.formLoad();
    t->show();
    for (const char* bad : {"abc", "2.5", "274", "-274", "", "99999999999"}) {
        t->Text1[1]->setText(QString::fromUtf8(bad));
        dialogs.expectMessage(Answer::Ok, QStringLiteral("-273 から 273 までの整数"));
        t->cmdOKSave->click();
        EXPECT_TRUE(t->isVisible()) << bad;
        EXPECT_EQ(dialogs.lastBox().text,
                  QStringLiteral("2番目の値は-273 から 273 までの整数で指定して下さい。"));
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("タブの設定"));
    }
    EXPECT_FALSE(app.exists(QStringLiteral("trtabs.vtd")));
    EXPECT_EQ(project().tabStops, DefaultTabStops);
    EXPECT_EQ(terminator.calls(), 0);

    // The ends of the range are taken.
    t->Text1[1]->setText(QStringLiteral("273"));
    t->Text1[2]->setText(QStringLiteral(" -273 "));
    t->cmdOKSave->click();
    EXPECT_FALSE(t->isVisible());
    EXPECT_EQ(project().tabStops, (TabStops{480, 32760, -32760, 1920}));
}

TEST_F(TabsTest, CancelChangesNothing) {
    startProject(true);
    TranslatorLForm* f = form();
    FrmTabs dialog(
        project(), [f] { return QList<RichTextPane*>{f->Rtxt2}; }, f);
    dialog.formLoad();
    dialog.form()->show();
    dialog.form()->Text1[0]->setText(QStringLiteral("9"));
    dialog.form()->cmdCancel->click();
    EXPECT_FALSE(dialog.form()->isVisible());
    EXPECT_FALSE(app.exists(QStringLiteral("trtabs.vtd")));
    EXPECT_EQ(project().tabStops, DefaultTabStops);
}

TEST_F(TabsTest, TheMenuOpensTheDialogModally) {
    startWithCommands();
    whenModal([](QWidget* dialog) {
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("タブの設定"));
        dialog->findChild<QLineEdit*>(QStringLiteral("Text1_0"))->setText(QStringLiteral("3"));
        dialog->findChild<QPushButton*>(QStringLiteral("cmdOKSave"))->click();
    });
    form()->mnuTabs->trigger();
    EXPECT_EQ(app.read(QStringLiteral("trtabs.vtd")).left(5), QByteArray("360\r\n"));
}

// ---- Indent -------------------------------------------------------------------------------

TEST_F(OptionsTest, IndentDialogStartsFromThePaneAndZeroMeansSixCharacters) {
    startProject(true);
    TranslatorLForm* f = form();
    {
        FrmIndent dialog(project(), f->Rtxt2, f);
        dialog.formLoad();
        EXPECT_EQ(dialog.form()->Text1->text(), QStringLiteral("6")) << "no indent shows 6";
        dialog.form()->show();
        dialog.form()->Command1->click();
        EXPECT_FALSE(dialog.form()->isVisible());
        EXPECT_EQ(project().indentWidth, 720);
    }
    {
        f->Rtxt2->setSelIndent(960);
        FrmIndent dialog(project(), f->Rtxt2, f);
        dialog.formLoad();
        EXPECT_EQ(dialog.form()->Text1->text(), QStringLiteral("8"));
        dialog.form()->Text1->setText(QStringLiteral("0"));
        dialog.form()->Command1->click();
        EXPECT_EQ(project().indentWidth, 720) << "0 gives 720, not 0";
    }
    {
        FrmIndent dialog(project(), nullptr, f);
        dialog.formLoad();
        EXPECT_EQ(dialog.form()->Text1->text(), QStringLiteral("6")) << "no pane keeps the width";
        dialog.form()->show();
        for (const char* bad : {"x", "1.5", "274"}) {
            dialog.form()->Text1->setText(QString::fromUtf8(bad));
            dialogs.expectMessage(Answer::Ok);
            dialog.form()->Command1->click();
            EXPECT_TRUE(dialog.form()->isVisible()) << bad;
            EXPECT_EQ(dialogs.lastBox().text,
                      QStringLiteral("-273 から 273 までの整数で指定して下さい。"));
            EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ｲﾝﾃﾞﾝﾄ値の設定"));
        }
        EXPECT_EQ(project().indentWidth, 720);
        dialog.form()->Text1->setText(QStringLiteral("10"));
        dialog.form()->Command1->click();
        EXPECT_EQ(project().indentWidth, 1200);
    }
    EXPECT_EQ(terminator.calls(), 0);
}

TEST_F(OptionsTest, TheIndentCommandsUseTheWidthTheMenuDialogSets) {
    startProject(true);
    TranslatorLForm* f = form();
    f->Rtxt2->setFocus();
    ASSERT_EQ(editor->activePane(), QStringLiteral("Rtxt2"));
    whenModal([](QWidget* dialog) {
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(),
                  QStringLiteral("6"));
        dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("3"));
        dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    f->mnuIndentSetting->trigger();
    EXPECT_EQ(project().indentWidth, 360);
    f->mnuIndentDo->trigger();
    EXPECT_EQ(f->Rtxt2->selIndent(), 360);
    f->mnuIndentRelease->trigger();
    EXPECT_EQ(f->Rtxt2->selIndent(), 0);

    // Closing the dialog without OK keeps the width in use.
    whenModal([](QWidget* dialog) {
        ASSERT_NE(dialog, nullptr);
        dialog->close();
    });
    f->mnuIndentSetting->trigger();
    EXPECT_EQ(project().indentWidth, 360);
}

} // namespace
