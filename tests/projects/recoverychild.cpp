// SPDX-License-Identifier: GPL-3.0-or-later
// A translator at work, for the kill test of the copies of unsaved work: opens the editor on the
// application folder given, types the text given into the translation pane, prints "typed" and
// goes on running, timers and all, until it is killed.
//   recoverychild FOLDER TEXT
#include "core/settings/session.h"
#include "core/settings/settings.h"
#include "projects/editorcommands.h"
#include "support/cancellingdialogs.h"
#include "translator/frmtranslatorl.h"
#include "translator/frmtrsplash.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QApplication>
#include <cstdio>

namespace {

// Nobody is there to answer: every box gets No or OK, every dialog is cancelled.
class NobodyAnswers : public CancellingDialogs {
public:
    Answer message(const MessageRequest& r) override {
        return r.buttons == MessageButtons::Ok ? Answer::Ok : Answer::No;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    NobodyAnswers nobody;
    setDialogService(&nobody);
    Session& s = session();
    s.appFolder = QString::fromLocal8Bit(argv[1]);
    s.display = SetDefaultDisplaySettings();
    s.current = readCurrentBook(s.appFolder);
    s.bookInUse = true;
    std::unique_ptr<FrmTranslatorL> editor = frmtrsplash::openEditor();
    if (!editor)
        return 3;
    EditorCommands::attach(*editor);
    RichTextPane* pane = editor->form()->Rtxt2;
    pane->setFocus();
    pane->moveCursor(QTextCursor::End);
    pane->insertPlainText(QString::fromUtf8(argv[2]));
    std::puts("typed");
    std::fflush(stdout);
    return app.exec();
}
