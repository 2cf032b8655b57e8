// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMainWindow>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class RichTextPane;

// The comment window: a search box with its button above one rich-text pane, a status bar with
// the comment file's path, and the menus for printing, leaving, the clipboard and formatting.
// Geometry is designed in twips; FrmComment places the pane on every resize.
class CommentForm : public QMainWindow {
    Q_OBJECT
public:
    explicit CommentForm(QWidget* parent = nullptr);

    // The window's inner area below the menu bar, in which the controls are placed.
    QWidget* client() const { return m_client; }
    // Inner size in twips.
    int innerWidth() const;
    int innerHeight() const;

    RichTextPane* Rtxt3;
    QLineEdit* Text1;
    QPushButton* cmdFind;
    QStatusBar* StatusBar1;
    QLabel* StatusBar1Panel1;
    QList<QFrame*> Line1; // Line1_0, Line1_1

    QMenu* mnuFile;
    QAction* mnuPrint;
    QAction* mnuGotoTrans;
    QAction* mnuClose;
    QMenu* mnuEdit;
    QAction* mnuCut;
    QAction* mnuCopy;
    QAction* mnuPaste;
    QAction* mnuSelectAll;
    QMenu* mnuFormat;
    QAction* mnuFont;
    QMenu* mnuIndent;
    QAction* mnuIndentDo;
    QAction* mnuIdtRelease;
    QAction* mnuIndentSetting;
    QMenu* mnuAlignment;
    QAction* mnuLeft;
    QAction* mnuCenter;
    QAction* mnuRight;
    QMenu* mnuBullet;
    QAction* mnuBulletDo;
    QAction* mnuBulletRelease;

signals:
    // The frame's close button: the behaviour decides whether the window goes.
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenus();

    QWidget* m_client;
};
