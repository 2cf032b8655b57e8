// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Synthetic books for the benchmarks: n words in random order with their meanings and examples,
// written in the program's own file formats. Made once per size and kept in a cache folder.
namespace bookgen {

// The folder of a generated book of n words (made on first use). The same n always gives the
// same book.
QString book(int n);

// The words of a generated book, in file order.
QStringList words(int n);

// n Japanese words of two to six characters (kana and kanji), the same for the same n.
QStringList japaneseWords(int n);

// English-looking text of `chars` characters: words of the book of n words (some with "ed"
// added) among common words that are not in it, with sentence ends now and then.
QString englishText(int n, int chars);

// Realistic Japanese prose of about `bytes` bytes in CP932, for rich-text benchmarks.
QString japaneseText(int bytes);

} // namespace bookgen
