// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class CommentForm;
class RichTextPane;
struct ProjectState;

// The comment window's behaviour: its start loads the project's comment file (creating it when
// missing), every unload saves the pane back, and it has its own find, formatting, clipboard and
// print commands. Hiding and unloading are asked of the editor's comment commands, which own it.
class FrmComment : public QObject {
    Q_OBJECT
public:
    explicit FrmComment(ProjectState& project, QObject* parent = nullptr);
    ~FrmComment() override;

    CommentForm* form() const { return m_form; }
    RichTextPane* pane() const;

    // The window start: an empty pane, then the comment file when the project uses one (created
    // from the empty pane when missing), the indent width reset and the tab stops given. False
    // when it failed and the program is to end.
    bool formLoad();
    // Writes the pane to the comment file; nothing to do without a comment path. A failure is
    // reported with the file and its reason, and false comes back with the work still here.
    bool savePane();
    // Every unload saves the pane first. False when that failed: the window is then to stay.
    bool queryUnload();
    // Whether the pane changed since it was loaded or saved.
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // Handlers.
    void formResize();
    void cmdFindClick();
    void mnuGotoTransClick();
    void mnuCloseClick();
    void mnuPrintClick();
    void mnuCopyClick();
    void mnuCutClick();
    void mnuPasteClick();
    void mnuSelectAllClick();
    void mnuFontClick();
    void mnuIndentDoClick();
    void mnuIdtReleaseClick();
    void mnuIndentSettingClick();
    void mnuLeftClick();
    void mnuCenterClick();
    void mnuRightClick();
    void mnuBulletDoClick();
    void mnuBulletReleaseClick();

signals:
    // "翻訳ｳｨﾝﾄﾞｳへ(&E)": the window is hidden and stays loaded.
    void hidden();
    // "閉じる(&X)" or the frame's close button: the window is to be unloaded.
    void unloadRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectEvents();
    void loadCommentFile(const QString& path);
    // The control of this window that has or last had the keyboard focus.
    QWidget* activeControl() const;

    ProjectState& m_project;
    CommentForm* m_form;
    // A comment file that could not be read whole is not overwritten by what was read of it
    // unless the user changes the pane.
    bool m_fileReadWhole = true;
    bool m_modified = false;
};
