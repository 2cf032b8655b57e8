// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/failure.h"
#include "core/text/numbertext.h"

#include <gtest/gtest.h>

namespace {

int failureOf(const QString& text) {
    try {
        numbertext::toInt16(text);
    } catch (const RuntimeFailure& f) {
        return f.number();
    }
    return 0;
}

TEST(NumberText, SignReservingForm) {
    EXPECT_EQ(numbertext::signReserving(53), QStringLiteral(" 53"));
    EXPECT_EQ(numbertext::signReserving(0), QStringLiteral(" 0"));
    EXPECT_EQ(numbertext::signReserving(-7), QStringLiteral("-7"));
}

TEST(NumberText, TypedTextToWholeNumber) {
    EXPECT_EQ(numbertext::toInt16(QStringLiteral(" 12 ")), 12);
    EXPECT_EQ(numbertext::toInt16(QStringLiteral("2.5")), 2);
    EXPECT_EQ(numbertext::toInt16(QStringLiteral("3.5")), 4);
    EXPECT_EQ(numbertext::toInt16(QStringLiteral("-2.5")), -2);
    EXPECT_EQ(numbertext::toInt16(QStringLiteral("32767.4")), 32767);
    EXPECT_EQ(failureOf(QStringLiteral("32767.5")), failure::Overflow);
    EXPECT_EQ(failureOf(QStringLiteral("-40000")), failure::Overflow);
    EXPECT_EQ(failureOf(QString()), failure::TypeMismatch);
    EXPECT_EQ(failureOf(QStringLiteral("12pt")), failure::TypeMismatch);
}

} // namespace
