// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QTextDocument;

namespace richtext {

// The page a loaded document was laid out for by the word processor that wrote it, in twips. The
// panes show no pages, so these only travel with the document, and saving it again keeps them.
// A negative value is one the document did not give. Emptying or replacing the document's content
// drops them with it.
struct PageSetup {
    int paperWidth = -1;
    int paperHeight = -1;
    int marginLeft = -1;
    int marginRight = -1;
    int marginTop = -1;
    int marginBottom = -1;
    bool landscape = false;
    bool isEmpty() const { return *this == PageSetup{}; }
    bool operator==(const PageSetup&) const = default;
};

PageSetup pageSetup(const QTextDocument& document);
void setPageSetup(QTextDocument& document, const PageSetup& setup);

} // namespace richtext
