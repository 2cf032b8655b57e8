// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/failure.h"
#include "core/settings/languageset.h"
#include "core/settings/settings.h"
#include "core/text/cp932.h"
#include "support/tempappfolder.h"

#include <gtest/gtest.h>

namespace {

QStringList linesOf(const QByteArray& bytes) {
    QStringList lines = cp932::decode(bytes).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.takeLast(), QString()) << "file must end with CR LF";
    return lines;
}

TEST(Settings, DefaultDisplaySettingsFile) {
    TempAppFolder app;
    WriteDisplaySettings(app.path(), SetDefaultDisplaySettings());
    const QStringList lines = linesOf(app.read(settingsfile::DisplaySettings));
    ASSERT_EQ(lines.size(), 34);
    EXPECT_EQ(lines.mid(0, 7), QStringList({QStringLiteral("\"ＭＳ Ｐゴシック\""), "11", "#FALSE#",
                                            "#FALSE#", "0", "16777215", "3"}));
    EXPECT_EQ(lines[13], "4"); // meaning group: hiragana
    EXPECT_EQ(lines[21], "\"Arial\"");
    EXPECT_EQ(lines[22], "10");
    EXPECT_EQ(lines[29], "12632256");
    EXPECT_EQ(lines[31], "12632256");
    EXPECT_EQ(lines[33], "12632256");
}

TEST(Settings, ValuesRoundTrip) {
    TempAppFolder app;
    DisplaySettings s = SetDefaultDisplaySettings();
    s.word = {QStringLiteral("IPAGothic"), -3, true, false, -1, 255, 8};
    s.list.italic = true;
    s.mainBackColor = -2147483647 - 1;
    s.meaningToWordQuizTextColor = 2147483647;
    WriteDisplaySettings(app.path(), s);
    EXPECT_EQ(ReadDisplaySettings(app.path()), s);

    PaletteFont f{QStringLiteral("ＭＳ ゴシック"), 20, true, true, 255};
    WritePaletteFont(app.path(), f);
    EXPECT_EQ(ReadPaletteFont(app.path()), f);
    WritePaletteFont(app.path(), SetDefaultPaletteFont());
    EXPECT_EQ(
        linesOf(app.read(settingsfile::PaletteFont)),
        QStringList({QStringLiteral("\"ＭＳ Ｐゴシック\""), "14", "#FALSE#", "#FALSE#", "0"}));
}

TEST(Settings, FontNamesTheFilesCannotHoldGiveWayToTheDefaults) {
    TempAppFolder app;
    const DisplaySettings defaults = SetDefaultDisplaySettings();
    DisplaySettings s = defaults;
    s.word = {QStringLiteral("Noto Sans CJK 한국어"), 20, true, false, 255, 0, 8};
    s.meaning.name = QStringLiteral("Say \"Hi\" Sans");
    s.input.name = QStringLiteral("Emoji \U0001F600");
    s.list.name = QStringLiteral("IPAGothic");
    s.mainBackColor = 0x123456;
    WriteDisplaySettings(app.path(), s);
    DisplaySettings expected = s;
    expected.word.name = defaults.word.name;
    expected.meaning.name = defaults.meaning.name;
    expected.input.name = defaults.input.name;
    EXPECT_EQ(ReadDisplaySettings(app.path()), expected);
    EXPECT_EQ(unstorableInFontName(s.word.name), QStringLiteral("한국어"));
    EXPECT_EQ(unstorableInFontName(s.meaning.name), QStringLiteral("\""));
    EXPECT_EQ(unstorableInFontName(QStringLiteral("ＭＳ Ｐゴシック")), QString());

    PaletteFont f{s.word.name, 20, true, false, 255};
    WritePaletteFont(app.path(), f);
    f.name = SetDefaultPaletteFont().name;
    EXPECT_EQ(ReadPaletteFont(app.path()), f);
}

TEST(Settings, CurrentBookReadsInBothShapes) {
    TempAppFolder app;
    writeCurrentBook(app.path(), {QStringLiteral("英単語"), QStringLiteral("英語ｾｯﾄ")});
    EXPECT_EQ(linesOf(app.read(settingsfile::CurrentBook)),
              QStringList({QStringLiteral("\"英単語\",\"英語ｾｯﾄ\"")}));
    app.write(settingsfile::CurrentBook,
              cp932::encode(QStringLiteral("\"英単語\"\r\n\"英語ｾｯﾄ\"\r\n")));
    EXPECT_EQ(readCurrentBook(app.path()),
              (CurrentBook{QStringLiteral("英単語"), QStringLiteral("英語ｾｯﾄ")}));
}

TEST(Settings, TruncatedOrMissingFilesFail) {
    TempAppFolder app;
    try {
        ReadDisplaySettings(app.path());
        FAIL();
    } catch (const RuntimeFailure& f) {
        EXPECT_EQ(f.number(), failure::FileNotFound);
    }
    QByteArray bytes = app.read(settingsfile::DisplaySettings);
    WriteDisplaySettings(app.path(), SetDefaultDisplaySettings());
    bytes = app.read(settingsfile::DisplaySettings);
    app.write(settingsfile::DisplaySettings, bytes.left(bytes.size() / 2));
    try {
        ReadDisplaySettings(app.path());
        FAIL();
    } catch (const RuntimeFailure& f) {
        EXPECT_TRUE(f.number() == failure::InputPastEnd || f.number() == failure::TypeMismatch);
    }
}

TEST(LanguageSet, DefaultSetFileAndList) {
    TempAppFolder app;
    languageset::write(app.path(), languageset::DefaultSetName, SetDefaultLanguageSet());
    const QStringList lines = linesOf(app.read(QStringLiteral("英語ｾｯﾄ.vtd")));
    ASSERT_EQ(lines.size(), 26);
    EXPECT_EQ(lines.first(), "\"A\",\"A\",1");
    EXPECT_EQ(lines.last(), "\"Z\",\"Z\",1");
    EXPECT_EQ(languageset::read(app.path(), languageset::DefaultSetName), SetDefaultLanguageSet());

    languageset::write(app.path(), QStringLiteral("独語"), SetDefaultLanguageSet());
    languageset::writeList(app.path(), {languageset::DefaultSetName, QStringLiteral("独語")});
    EXPECT_EQ(languageset::readList(app.path()).items,
              QStringList({languageset::DefaultSetName, QStringLiteral("独語")}));
}

} // namespace
