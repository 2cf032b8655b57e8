// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMainWindow>

class LimitedTextEdit;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QToolBar;
class RichTextPane;

// The translation editor's window: the word pane at the top, the formatting bar, the two
// rich-text panes, the status bar and the menus, with their captions and tool tips. Geometry is
// designed in twips; the panes' arrangement is applied by FrmTranslatorL. Behaviour lives there.
class TranslatorLForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TranslatorLForm(QWidget* parent = nullptr);

    // The window's inner area (below the menu bar) that the layout works in.
    QWidget* client() const { return m_client; }
    // The tool-bar button with this key ("save", "Qsearch", ...), or null.
    QAction* toolButton(const QString& key) const;
    // Status-bar panels 1 to 3: project name, original-file path, translation-file name.
    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;

    RichTextPane* Rtxt1;
    RichTextPane* Rtxt2;
    QLabel* Label1;
    QLabel* Label2;
    QToolBar* Toolbar1;
    QComboBox* cboFname;
    QComboBox* cboFsize;
    QComboBox* ImcboFcolor;
    QStatusBar* StBar;
    QList<QLabel*> StBarPanel; // panels 1..3 at 0..2

    QLineEdit* txtInput;
    QLineEdit* txtWord;
    LimitedTextEdit* txtMean;
    LimitedTextEdit* txtRei;
    QPushButton* cmdModify;
    QPushButton* cmdDel;
    QPushButton* cmdDo;
    QPushButton* cmdCancel;
    QLabel* lblMode;
    QLabel* lblCount;
    QLabel* lblMaxRec;
    QSpinBox* ud;
    QLabel* lblud;
    QList<QLabel*> lblF;
    QList<QLabel*> lblStock;
    QPushButton* cmdAdd;
    QPushButton* cmdCL;
    QPushButton* cmdAC;
    QList<QFrame*> Line1;

    QMenu* mnuFile;
    QAction* mnuNew;
    QAction* mnuOpen;
    QAction* mnuGetOrgFile;
    QAction* mnuExportTrans;
    QAction* mnuSave;
    QAction* mnuPrint;
    QAction* mnuCmntLoading;
    QAction* mnuExit;
    QAction* mnuEnd;
    QMenu* mnuEdit;
    QAction* mnuCut;
    QAction* mnuCopy;
    QAction* mnuPaste;
    QAction* mnuSelectAll;
    QAction* mnuFind;
    QMenu* mnuWordPart;
    QAction* mnuModify;
    QAction* mnuDel;
    QAction* mnuCancel;
    QAction* mnuDo;
    QMenu* mnuTransPart;
    QAction* mnuFontSetting;
    QAction* mnuTabs;
    QMenu* mnuIndent;
    QAction* mnuIndentDo;
    QAction* mnuIndentRelease;
    QAction* mnuIndentSetting;
    QMenu* mnuAlignment;
    QAction* mnuLeftAlignment;
    QAction* mnuCenterAlignment;
    QAction* mnuRightAlignment;
    QMenu* mnuBullet;
    QAction* mnuBulletDo;
    QAction* mnuBulletRelease;
    QMenu* mnuBunkatu;
    QAction* mnuGoBunkatu;
    QAction* mnuBunkatuSet;
    QAction* mnuQuickSearch;
    QAction* mnuComment;
    QAction* mnuLayout;
    QAction* mnuOption;
    QMenu* mnuHelp;
    QAction* mnuHelpOpen;
    QMenu* popPopup;
    QAction* popCut;
    QAction* popCopy;
    QAction* popPaste;
    QAction* popSelectAll;
    QAction* popFont;
    QAction* popQSrch;
    QAction* popShowCmnt;
    QAction* popTransOption;
    QList<QAction*> popSep; // popSep1..popSep4 at 0..3

private:
    void nameUncaptionedControls();
    void createWordPane();
    void createFormatBar();
    void createPanes();
    void createToolBar();
    void createMenus();
    void createPopup();

    QWidget* m_client;
};
