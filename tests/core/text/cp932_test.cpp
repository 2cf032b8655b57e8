// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/cp932.h"

#include <gtest/gtest.h>

namespace {

QString repeat(const QString& s, int n) {
    return s.repeated(n);
}

TEST(Cp932, RecordFieldIsCutAtCharacterBoundaryAndPadded) {
    const QString a = QStringLiteral("あ");
    // 100 double-byte characters fill a 200-byte field exactly.
    QByteArray full = cp932::encodeField(repeat(a, 100), 200);
    EXPECT_EQ(full.size(), 200);
    EXPECT_EQ(cp932::decode(full), repeat(a, 100));

    // 101 lose the last one.
    EXPECT_EQ(cp932::encodeField(repeat(a, 101), 200), full);

    // One ASCII letter then 100 double-byte characters: the 100th would be split, so it goes and
    // a space pads the last byte.
    QByteArray cut = cp932::encodeField(u'x' + repeat(a, 100), 200);
    ASSERT_EQ(cut.size(), 200);
    EXPECT_EQ(cut.at(199), ' ');
    EXPECT_EQ(cp932::decode(cut), u'x' + repeat(a, 99) + u' ');

    // Short text is padded with spaces.
    EXPECT_EQ(cp932::encodeField(QStringLiteral("ab"), 5), QByteArray("ab   "));
}

TEST(Cp932, WindowsSpecificCharactersRoundTrip) {
    // Characters where the Microsoft mapping differs from plain Shift_JIS, and the NEC and IBM
    // extensions.
    const QString text = QStringLiteral("～∥－￢①㈱ⅰ髙﨑");
    EXPECT_TRUE(cp932::unencodable(text).isEmpty());
    const QByteArray bytes = cp932::encode(text);
    EXPECT_EQ(cp932::decode(bytes), text);
    EXPECT_EQ(bytes.left(2), QByteArray("\x81\x60"));
}

TEST(Cp932, WhatLinuxInputMethodsTypeIsStoredAsItsWindowsForm) {
    const QString typed = QStringLiteral("〜−‖¢£¬¥");
    EXPECT_TRUE(cp932::unencodable(typed).isEmpty());
    EXPECT_EQ(cp932::encode(typed),
              QByteArray("\x81\x60\x81\x7C\x81\x61\x81\x91\x81\x92\x81\xCA\x5C"));
}

TEST(Cp932, UnencodableCharactersAreReportedNotReplaced) {
    const QString text = QStringLiteral("abc😀def한😀");
    EXPECT_EQ(cp932::unencodable(text), QStringLiteral("😀한"));
    EXPECT_TRUE(cp932::unencodable(QStringLiteral("日本語 text")).isEmpty());
}

TEST(Cp932, DamagedBytesAreFlagged) {
    bool ok = true;
    // A lead byte with nothing after it.
    EXPECT_EQ(cp932::decode(QByteArray("ab\x82"), &ok), QStringLiteral("ab\uFFFD"));
    EXPECT_FALSE(ok);
    // A lead byte followed by a byte that cannot be a trail byte.
    cp932::decode(QByteArray("\x82\x20"), &ok);
    EXPECT_FALSE(ok);
    // A whole character and plain ASCII are fine.
    EXPECT_EQ(cp932::decode(QByteArray("\x82\xa0z"), &ok), QStringLiteral("あz"));
    EXPECT_TRUE(ok);
}

} // namespace
