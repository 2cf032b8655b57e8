// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorhelp.h"

#include "platform/helpviewer.h"

#include <QListWidget>
#include <QWidget>

namespace editorhelp {

void open(QWidget* parent) {
    if (!showHelp(HelpBook::TranslationEditor, parent) || !parent)
        return;
    // A help window left open at some page comes back at the contents, as a fresh one does.
    for (QWidget* help : parent->findChildren<QWidget*>(QStringLiteral("helpWindow")))
        if (auto* contents = help->findChild<QListWidget*>(QStringLiteral("helpContents")))
            contents->setCurrentRow(0);
}

} // namespace editorhelp
