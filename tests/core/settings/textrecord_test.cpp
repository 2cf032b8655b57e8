// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/failure.h"
#include "core/settings/textrecord.h"
#include "core/text/cp932.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

int failureOf(const QByteArray& bytes, const std::function<void(TextRecordReader&)>& read) {
    TextRecordReader r(QString::fromLatin1(bytes));
    try {
        read(r);
    } catch (const RuntimeFailure& f) {
        return f.number();
    }
    return 0;
}

TEST(TextRecord, WriterProducesTheExactLineFormat) {
    TextRecordWriter w;
    w.addString(QStringLiteral("語")).addInt(-12).addBool(true).addBool(false).endRecord();
    w.lineInt(7);
    EXPECT_EQ(w.bytes(), QByteArray("\"\x8c\xea\",-12,#TRUE#,#FALSE#\r\n7\r\n"));
}

TEST(TextRecord, FieldPerLineAndRecordPerLineReadTheSame) {
    for (const QByteArray bytes : {QByteArray("\"apple\",1\r\n\"pear, ripe\",-2\r\n"),
                                   QByteArray("\"apple\"\r\n1\r\n\"pear, ripe\"\r\n-2\r\n"),
                                   QByteArray("\"apple\"\n1\n\"pear, ripe\"\n-2"),
                                   QByteArray("\"apple\",1\r\"pear, ripe\",-2\r")}) {
        TextRecordReader r(QString::fromLatin1(bytes));
        EXPECT_EQ(r.readString(), QStringLiteral("apple"));
        EXPECT_EQ(r.readInt32(), 1);
        EXPECT_EQ(r.readString(), QStringLiteral("pear, ripe"));
        EXPECT_EQ(r.readInt32(), -2);
        EXPECT_TRUE(r.atEnd()) << bytes.constData();
    }
}

TEST(TextRecord, MalformedFilesRaiseTheirFailure) {
    // Unterminated quote: the reader does not run past the data.
    EXPECT_EQ(failureOf("\"abc", [](auto& r) { r.readString(); }), failure::InputPastEnd);
    // Text where a number belongs.
    EXPECT_EQ(failureOf("abc\r\n", [](auto& r) { r.readInt16(); }), failure::TypeMismatch);
    EXPECT_EQ(failureOf("\"12\"\r\n", [](auto& r) { r.readInt32(); }), failure::TypeMismatch);
    EXPECT_EQ(failureOf("1x\r\n", [](auto& r) { r.readInt32(); }), failure::TypeMismatch);
    EXPECT_EQ(failureOf("-\r\n", [](auto& r) { r.readInt32(); }), failure::TypeMismatch);
    EXPECT_EQ(failureOf("yes\r\n", [](auto& r) { r.readBool(); }), failure::TypeMismatch);
    // End of file before the last field.
    EXPECT_EQ(failureOf("\"a\",1\r\n",
                        [](auto& r) {
                            r.readString();
                            r.readInt16();
                            r.readString();
                        }),
              failure::InputPastEnd);
    EXPECT_EQ(failureOf("", [](auto& r) { r.readBool(); }), failure::InputPastEnd);
    // Numbers out of their range.
    EXPECT_EQ(failureOf("32768", [](auto& r) { r.readInt16(); }), failure::Overflow);
    EXPECT_EQ(failureOf("-32769", [](auto& r) { r.readInt16(); }), failure::Overflow);
    EXPECT_EQ(failureOf("2147483648", [](auto& r) { r.readInt32(); }), failure::Overflow);
    EXPECT_EQ(failureOf("99999999999999999999999", [](auto& r) { r.readInt32(); }),
              failure::Overflow);
    // The extremes themselves are fine.
    EXPECT_EQ(failureOf("-32768,32767,-2147483648,2147483647",
                        [](auto& r) {
                            r.readInt16();
                            r.readInt16();
                            r.readInt32();
                            r.readInt32();
                        }),
              0);
}

} // namespace

namespace {

TEST(TextRecord, ArbitraryBytesEndInAFailureOrTheEndNeverACrash) {
    // Damaged files are made of the same characters as good ones: quotes, commas, line ends,
    // digits, signs and the boolean tokens, in any order.
    const QByteArray alphabet("\",\r\n-+0123456789#TRUEFALSx \x82\xa0");
    QRandomGenerator rng(2026);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes;
        for (int i = 0, n = rng.bounded(40); i < n; ++i)
            bytes += alphabet[rng.bounded(int(alphabet.size()))];
        TextRecordReader r(cp932::decode(bytes));
        int fields = 0;
        try {
            while (!r.atEnd() && fields < 1000) {
                switch (fields++ % 4) {
                case 0:
                    r.readString();
                    break;
                case 1:
                    r.readInt16();
                    break;
                case 2:
                    r.readInt32();
                    break;
                default:
                    r.readBool();
                    break;
                }
            }
        } catch (const RuntimeFailure& f) {
            EXPECT_TRUE(f.number() == failure::TypeMismatch || f.number() == failure::Overflow ||
                        f.number() == failure::InputPastEnd)
                << f.number();
        }
        // Every field takes at least one character, so the reader always comes to an end.
        EXPECT_LE(fields, bytes.size() + 1);
    }
}

} // namespace
