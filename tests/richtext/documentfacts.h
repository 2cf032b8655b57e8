// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

class QTextDocument;

// Checks a document against the facts a fixture's sidecar file states about it: paragraph count,
// paragraph texts and formats, run formats, text that must be absent.
namespace documentfacts {

// The document's text as the fixtures' expected files give it: one line per paragraph, a line
// break inside a paragraph as a new line, each line ending in LF.
QString expectedStyleText(const QTextDocument& document);

// The facts that do not hold, one message each.
QStringList violations(const QTextDocument& document, const QJsonObject& sidecar);

} // namespace documentfacts
