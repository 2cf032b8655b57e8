#include "core/failure.h"
#include "core/textrecord.h"

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
    for (const QByteArray bytes :
         {QByteArray("\"apple\",1\r\n\"pear, ripe\",-2\r\n"),
          QByteArray("\"apple\"\r\n1\r\n\"pear, ripe\"\r\n-2\r\n"),
          QByteArray("\"apple\"\n1\n\"pear, ripe\"\n-2"), QByteArray("\"apple\",1\r\"pear, ripe\",-2\r")}) {
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
    EXPECT_EQ(failureOf("\"a\",1\r\n", [](auto& r) {
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
    EXPECT_EQ(failureOf("99999999999999999999999", [](auto& r) { r.readInt32(); }), failure::Overflow);
    // The extremes themselves are fine.
    EXPECT_EQ(failureOf("-32768,32767,-2147483648,2147483647", [](auto& r) {
                  r.readInt16();
                  r.readInt16();
                  r.readInt32();
                  r.readInt32();
              }),
              0);
}

} // namespace
