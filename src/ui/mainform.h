// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMainWindow>

class LimitedTextEdit;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QRadioButton;

// The word book's main window: its controls, captions, tool tips, menus and the two window sizes.
// Behaviour lives in FrmMain.
class MainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit MainForm(QWidget* parent = nullptr);

    // Large: 9210 x 6915 twips; small: 4215 x 3885 twips.
    void setLarge(bool large);
    // What a screen reader calls palette button i while it has no caption.
    static QString paletteButtonName(int i);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLineEdit* txtInput;
    QLineEdit* txtWord;
    LimitedTextEdit* txtMean;
    LimitedTextEdit* txtRei;
    QLabel* lblCount;
    QLabel* lblCount2;
    QListView* List1;
    QLabel* lblMaxRec;
    QLabel* lblMode;
    QFrame* Frame1;
    QList<QRadioButton*> Option1; // 0..25 palette letters, 26 all words
    QPushButton* cmdDo;
    QPushButton* cmdCancel;
    QPushButton* cmdModify;
    QPushButton* cmdDel;
    QPushButton* cmdScale;
    QPushButton* cmdGoTrans;
    QPushButton* cmdChecked;
    QPushButton* cmdUnchecked;
    QPushButton* cmdChkRev;
    QPushButton* cmdExit;

    QMenu* IdmFile;
    QAction* IdmBookSetting;
    QAction* IdmInport;
    QAction* IdmMerge;
    QAction* IdmCustomize;
    QAction* IdmPrint;
    QAction* IdmGotoTransL;
    QAction* IdmExit;
    QMenu* IdmEdit;
    QAction* IdmCopy;
    QAction* IdmCut;
    QAction* IdmPaste;
    QAction* IdmResize;
    QMenu* IdmRegistration;
    QAction* IdmModify;
    QAction* IdmDel;
    QAction* IdmCheckDel;
    QAction* IdmCancel;
    QAction* IdmDo;
    QAction* IdmTrial;
    // The review: today's due words and the progress charts, shown only while the review is on.
    QAction* IdmReview;
    QAction* IdmProgress;
    QLabel* lblDue;
    QMenu* IdmHelp;
    QAction* IdmHelpshow;
    QAction* IdmVersion;

private:
    void createControls();
    void createMenus();
};
