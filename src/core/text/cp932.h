// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The one place where text meets the Japanese code page (CP932, the Microsoft mapping of
// Shift-JIS). Everything on disk is in it; everything in memory is QString.
namespace cp932 {

// Decodes CP932 bytes. A byte sequence that is not CP932 (including a lead byte with no trail
// byte at the end) becomes U+FFFD and clears *ok, so callers can tell a damaged record apart.
QString decode(QByteArrayView bytes, bool* ok = nullptr);

// The characters of text that CP932 cannot hold, each once, in order of appearance.
QString unencodable(const QString& text);

// Encodes text. Characters CP932 cannot hold are not replaced silently: callers check with
// unencodable() first; anything left over becomes '?'.
QByteArray encode(const QString& text);

// The text as it reads back after a trip through CP932: the characters a Japanese input method
// types where Windows keeps another one (U+301C WAVE DASH, MINUS SIGN, ...) become that one. A
// name that becomes a file name and is also stored in a list file is taken in this form, so the
// file and the list agree. Callers check unencodable() first.
QString roundTrip(const QString& text);

// Encodes into a fixed-size record field: cut at the field size but never inside a double-byte
// character, then padded with spaces to exactly fieldSize bytes.
QByteArray encodeField(const QString& text, int fieldSize);

// The CP932 bytes of one UTF-16 unit when they decode back to exactly that unit: writes one or
// two bytes to out and returns how many, or returns 0 (no such bytes, or the bytes would read back
// as a different character, like U+301C WAVE DASH, which reads back as U+FF5E).
int encodeExact(char16_t c, unsigned char out[2]);

// True for a byte that starts a double-byte character.
inline bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace cp932
