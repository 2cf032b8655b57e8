// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// How the store keeps text: words as their CP932 bytes (plain ASCII as it is), meanings and
// examples in records padded with spaces.
namespace storedtext {

// The record's bytes without their padding.
QByteArrayView trimmedRight(QByteArrayView v);
QString trimmedRight(QString s);
// The bytes a word given as text is stored as.
QByteArray encodedWord(const QString& word);

} // namespace storedtext
