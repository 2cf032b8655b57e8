// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorcommands.h"

#include "commentcommands.h"
#include "frmfind.h"
#include "optioncommands.h"
#include "originalimport.h"
#include "projectcommands.h"
#include "recovery.h"
#include "sentencesplit.h"
#include "translationexport.h"
#include "translator/frmtranslatorl.h"

EditorCommands* EditorCommands::attach(FrmTranslatorL& window) {
    return new EditorCommands(window);
}

EditorCommands::EditorCommands(FrmTranslatorL& window) : QObject(&window), m_window(window) {
    m_projects = new ProjectCommands(window, this);
    m_options = new OptionCommands(window, this);
    new OriginalImport(window, this);
    new TranslationExport(window, this);
    new SentenceSplit(window, this);
    new FindCommand(window, this);
    m_comments = new CommentCommands(window, *m_projects, *m_options, this);
    // Last: copies of unsaved work are offered once every pane, the comment pane included, is
    // loaded with the project.
    m_recovery = new Recovery(window, *m_comments, this);
}
