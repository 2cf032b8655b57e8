// SPDX-License-Identifier: GPL-3.0-or-later
#include "pagesetup.h"

#include <QTextDocument>
#include <QTextFrame>
#include <QVariantList>

namespace richtext {
namespace {

// Kept in the format of the document's root frame, which belongs to its content: clearing the
// document makes a new root frame without it.
constexpr int PageSetupProperty = QTextFormat::UserProperty + 20;

} // namespace

PageSetup pageSetup(const QTextDocument& document) {
    const QVariantList values =
        document.rootFrame()->frameFormat().property(PageSetupProperty).toList();
    if (values.size() != 7)
        return {};
    PageSetup setup;
    setup.paperWidth = values[0].toInt();
    setup.paperHeight = values[1].toInt();
    setup.marginLeft = values[2].toInt();
    setup.marginRight = values[3].toInt();
    setup.marginTop = values[4].toInt();
    setup.marginBottom = values[5].toInt();
    setup.landscape = values[6].toBool();
    return setup;
}

void setPageSetup(QTextDocument& document, const PageSetup& setup) {
    QTextFrame* root = document.rootFrame();
    QTextFrameFormat format = root->frameFormat();
    if (setup.isEmpty()) {
        if (!format.hasProperty(PageSetupProperty))
            return;
        format.clearProperty(PageSetupProperty);
    } else {
        format.setProperty(PageSetupProperty,
                           QVariantList{setup.paperWidth, setup.paperHeight, setup.marginLeft,
                                        setup.marginRight, setup.marginTop, setup.marginBottom,
                                        setup.landscape});
    }
    root->setFrameFormat(format);
}

} // namespace richtext
