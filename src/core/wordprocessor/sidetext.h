// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A converted document's headers, footers, footnotes and comments are groups the editor's panes do
// not show; rather than lose them silently, their text is put after the body, each kind under a
// heading line of its own.
namespace wordprocessor {

struct SideTexts {
    QByteArray rtf;       // the document with the side texts after its body
    QStringList headings; // the heading lines added, in order; empty when there were none
};

SideTexts withSideTexts(const QByteArray& rtf);

} // namespace wordprocessor
