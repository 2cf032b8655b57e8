// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/appearance.h"
#include "tools/frmcustom.h"
#include "ui/customform.h"
#include "wordbook/mainwindow_fixture.h"

#include <QComboBox>
#include <QFontInfo>

namespace {

class CustomiseTest : public MainWindowTest {
protected:
    // Opens the dialog from the menu and runs act on it while it waits; a dialog act leaves open
    // is closed.
    template <class Act> void withCustom(Act act) {
        bool ran = false;
        QTimer::singleShot(0, form(), [&] {
            auto* dialog = form()->findChild<CustomForm*>(QStringLiteral("frmCustom"));
            ASSERT_NE(dialog, nullptr);
            ran = true;
            act(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        form()->IdmCustomize->trigger();
        EXPECT_TRUE(ran);
    }
    static QColor backOf(QWidget* w) { return w->palette().color(w->backgroundRole()); }
};

TEST_F(CustomiseTest, CancelLeavesTheFileAndTheMainWindowAsTheyWere) {
    startWith({QStringLiteral("apple")});
    const QByteArray before = app.read(settingsfile::DisplaySettings);
    const QColor wordBack = backOf(form()->txtWord);
    withCustom([&](CustomForm* f) {
        EXPECT_EQ(f->windowTitle(), QStringLiteral("属性のカスタマイズ"));
        EXPECT_EQ(f->cmdT1Color->text(), QStringLiteral("変更"));
        EXPECT_EQ(f->cmdJEFColor->toolTip(), QStringLiteral("単語当てｳｨﾝﾄﾞｳのﾗﾍﾞﾙ文字色設定"));
        dialogs.expectColor(QColor(Qt::red));
        click(f->cmdT1Color);
        EXPECT_EQ(backOf(f->lblT1), QColor(Qt::red)) << "the sample shows the change at once";
        dialogs.expectColor(QColor(Qt::blue));
        click(f->cmdBColor);
        EXPECT_EQ(backOf(f->lblSample), QColor(Qt::blue));
        // A cancelled font dialog asks for no colour and changes nothing.
        dialogs.expectFont(std::nullopt);
        click(f->cmdText2);
        click(f->cmdCancel);
    });
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(app.read(settingsfile::DisplaySettings), before);
    EXPECT_EQ(session().display, SetDefaultDisplaySettings());
    EXPECT_EQ(backOf(form()->txtWord), wordBack);
    EXPECT_TRUE(dialogs.boxes().isEmpty());
}

TEST_F(CustomiseTest, OkAppliesTheFontAndColourAndWritesThem) {
    startWith({QStringLiteral("apple")});
    withCustom([&](CustomForm* f) {
        QFont chosen(QStringLiteral("Serif"));
        chosen.setPointSizeF(15.6);
        chosen.setBold(true);
        dialogs.expectFont(chosen).expectColor(QColor(0, 0, 255));
        click(f->cmdText1);
        EXPECT_EQ(f->lblT1->font().pointSize(), 16);
        // Cancelling the colour after a font keeps the colour.
        dialogs.expectFont(chosen).expectColor(std::nullopt);
        click(f->cmdText3);
        click(f->cmdOK);
    });
    EXPECT_TRUE(dialogs.done());
    const DisplaySettings stored = ReadDisplaySettings(app.path());
    EXPECT_EQ(stored.word.size, 16);
    EXPECT_TRUE(stored.word.bold);
    EXPECT_EQ(stored.word.textColor, 0xFF0000); // 0x00BBGGRR
    EXPECT_EQ(stored.input.size, 16);
    EXPECT_EQ(stored.input.textColor, SetDefaultDisplaySettings().input.textColor);
    EXPECT_EQ(session().display, stored);
    EXPECT_EQ(form()->txtWord->font().pointSize(), 16);
    EXPECT_TRUE(form()->txtWord->font().bold());

    // A font left as the dialog showed it keeps the stored Windows name.
    const QString stored3 = SetDefaultDisplaySettings().meaning.name;
    withCustom([&](CustomForm* f) {
        QFont unchanged(QFontInfo(QFont(stored3)).family());
        unchanged.setPointSize(12);
        dialogs.expectFont(unchanged).expectColor(std::nullopt);
        click(f->cmdText2);
        click(f->cmdOK);
    });
    EXPECT_EQ(ReadDisplaySettings(app.path()).meaning.name, stored3);
    EXPECT_EQ(ReadDisplaySettings(app.path()).meaning.size, 12);
}

TEST_F(CustomiseTest, AFontNameTheFileCannotHoldIsRefusedWithAWord) {
    startWith({QStringLiteral("apple")});
    withCustom([&](CustomForm* f) {
        QFont korean(QStringLiteral("Noto Sans CJK 한국어"));
        korean.setPointSize(20);
        // No colour is asked for after the refusal.
        dialogs.expectFont(korean).expectMessage(Answer::Ok, QStringLiteral("：한국어"));
        click(f->cmdText1);
        EXPECT_EQ(f->lblT1->font().pointSize(), 11) << "the sample is unchanged";
        click(f->cmdOK);
    });
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(ReadDisplaySettings(app.path()), SetDefaultDisplaySettings());
}

TEST_F(CustomiseTest, DefaultsThenCancelKeepsTheDefaults) {
    writeSettings();
    DisplaySettings changed = SetDefaultDisplaySettings();
    changed.word.size = 20;
    changed.mainBackColor = 0x123456;
    WriteDisplaySettings(app.path(), changed);
    writeBook({QStringLiteral("apple")});
    ASSERT_TRUE(start());
    ASSERT_EQ(session().display, changed);
    withCustom([&](CustomForm* f) {
        click(f->Command1);
        EXPECT_EQ(f->lblT1->font().pointSize(), 20) << "the samples keep their look";
        click(f->cmdCancel);
    });
    EXPECT_EQ(ReadDisplaySettings(app.path()), SetDefaultDisplaySettings());
    EXPECT_EQ(session().display, SetDefaultDisplaySettings());
}

TEST_F(CustomiseTest, TheInputMethodModeComesBackWhenTheDialogReopens) {
    startWith({QStringLiteral("apple")});
    withCustom([&](CustomForm* f) {
        EXPECT_EQ(f->cboT3->count(), 9);
        EXPECT_EQ(f->cboT3->itemText(6), QStringLiteral("ｶﾀｶﾅ"));
        EXPECT_EQ(f->cboT2->currentIndex(), 4);
        f->cboT3->setCurrentIndex(6);
        emit f->cboT3->activated(6);
        click(f->cmdOK);
    });
    EXPECT_EQ(ReadDisplaySettings(app.path()).input.imeMode, 6);
    withCustom([&](CustomForm* f) { EXPECT_EQ(f->cboT3->currentIndex(), 6); });
}

} // namespace
