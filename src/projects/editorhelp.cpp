#include "editorhelp.h"

#include "platform/helpviewer.h"

namespace editorhelp {

void open(QWidget* parent) {
    showHelp(HelpBook::TranslationEditor, parent);
}

} // namespace editorhelp
