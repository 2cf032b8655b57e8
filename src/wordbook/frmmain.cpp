#include "frmmain.h"

#include "core/book.h"
#include "core/booklist.h"
#include "core/collation.h"
#include "core/session.h"
#include "frmversion.h"
#include "library/frmselectfolder.h"
#include "platform/appearance.h"
#include "platform/appfolder.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "platform/helpviewer.h"
#include "platform/writerefusal.h"
#include "tools/frmcustom.h"
#include "tools/frminport.h"
#include "tools/frmmerge.h"
#include "tools/frmprint.h"
#include "tools/frmquiz.h"
#include "tools/frmtrysetting.h"
#include "ui/limitedtextedit.h"
#include "ui/mainform.h"
#include "ui/wordlistmodel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int AllWords = 26;

// Colours of the mode label, 0x00BBGGRR.
constexpr qint32 NormalColor = 16777152;
constexpr qint32 RegisterColor = 16761087;
constexpr qint32 ModifyColor = 16761024;

QString trimmedRight(QString s) {
    qsizetype end = s.size();
    while (end > 0 && s[end - 1] == u' ')
        --end;
    s.truncate(end);
    return s;
}

// A locked box can be read and selected but not edited; without its tab stop the Tab key skips it.
void lock(QWidget* box, bool locked, bool tabStop) {
    if (auto* line = qobject_cast<QLineEdit*>(box))
        line->setReadOnly(locked);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(box))
        text->setReadOnly(locked);
    box->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace

FrmMain::FrmMain(QObject* parent)
    : QObject(parent), m_form(new MainForm), m_model(new WordListModel(this)) {
    m_form->setAttribute(Qt::WA_DeleteOnClose, false);
    m_form->List1->setModel(m_model);
    connectEvents();
}

FrmMain::~FrmMain() {
    qApp->removeEventFilter(this);
    delete m_form;
}

void FrmMain::connectEvents() {
    MainForm* f = m_form;
    connect(f->txtInput, &QLineEdit::textChanged, this, [this] { txtInputChange(); });
    connect(f->List1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!m_inListClick)
            List1Click();
    });
    for (int i = 0; i < f->Option1.size(); ++i)
        connect(f->Option1[i], &QRadioButton::clicked, this, [this, i] { Option1Click(i); });
    connect(f->txtMean, &QPlainTextEdit::textChanged, this, [this] {
        guarded(reportOnly(u"意味欄処理時", "Error89"), [this] { updateCounters(); });
    });
    connect(f->txtRei, &QPlainTextEdit::textChanged, this, [this] {
        guarded(reportOnly(u"用例ﾎﾞｯｸｽの内容が変更された時", "Error236"),
                [this] { updateCounters(); });
    });

    connect(f->cmdDo, &QPushButton::clicked, this, [this] { cmdDoClick(); });
    connect(f->cmdCancel, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
    connect(f->cmdModify, &QPushButton::clicked, this, [this] { cmdModifyClick(); });
    connect(f->cmdDel, &QPushButton::clicked, this, [this] { cmdDelClick(); });
    connect(f->cmdScale, &QPushButton::clicked, this, [this] { cmdScaleClick(); });
    connect(f->cmdGoTrans, &QPushButton::clicked, this, [this] { cmdGoTransClick(); });
    connect(f->cmdChecked, &QPushButton::clicked, this, [this] { cmdCheckedClick(); });
    connect(f->cmdUnchecked, &QPushButton::clicked, this, [this] { cmdUncheckedClick(); });
    connect(f->cmdChkRev, &QPushButton::clicked, this, [this] { cmdChkRevClick(); });
    connect(f->cmdChecked, &QPushButton::released, this, [this] {
        guarded(reportOnly(u"ﾁｪｯｸをつける時ﾏｳｽｱｯﾌﾟ", "Error221"), [this] { focusInput(); });
    });
    connect(f->cmdUnchecked, &QPushButton::released, this, [this] {
        guarded(reportOnly(u"ﾁｪｯｸを外す時ﾏｳｽｱｯﾌﾟ", "Error225"), [this] { focusInput(); });
    });
    connect(f->cmdExit, &QPushButton::clicked, this, [this] {
        guarded(terminating(u"ｱﾌﾟﾘｹｰｼｮﾝの終了時", "Error223"), [this] { m_form->close(); });
    });

    // Menu items run the operation of their button, each under its own report context.
    auto menu = [this](QAction* action, ErrorContext where, void (FrmMain::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, where, handler] { guarded(where, [&] { (this->*handler)(); }); });
    };
    menu(f->IdmModify, terminating(u"修正ﾒﾆｭｰ選択時", "Error231"), &FrmMain::cmdModifyClick);
    menu(f->IdmDel, terminating(u"削除時", "Error227"), &FrmMain::cmdDelClick);
    menu(f->IdmDo, terminating(u"登録時", "Error228"), &FrmMain::cmdDoClick);
    menu(f->IdmCancel, terminating(u"ｷｬﾝｾﾙ時", "Error65"), &FrmMain::cmdCancelClick);
    menu(f->IdmCheckDel, terminating(u"ﾁｪｯｸﾏｰｸを削除する時", "Error226"),
         &FrmMain::IdmCheckDelClick);
    menu(f->IdmGotoTransL, terminating(u"ﾄﾗﾝｽｴﾃﾞｨﾀｵｰﾌﾟﾝ時", "Error229"), &FrmMain::cmdGoTransClick);
    menu(f->IdmResize, reportOnly(u"ｻｲｽﾞ変更時", "Error233"), &FrmMain::cmdScaleClick);
    menu(f->IdmCopy, reportOnly(u"ｺﾋﾟｰ時", "Error75"), &FrmMain::IdmCopyClick);
    menu(f->IdmCut, reportOnly(u"ｶｯﾄ時", "Error77"), &FrmMain::IdmCutClick);
    menu(f->IdmPaste, reportOnly(u"貼付け時", "Error82"), &FrmMain::IdmPasteClick);
    menu(f->IdmHelpshow, terminating(u"ﾍﾙﾌﾟを開く時", "Error80"), &FrmMain::IdmHelpshowClick);
    menu(f->IdmVersion, terminating(u"ﾊﾞｰｼﾞｮﾝ情報を開く時", "Error83"), &FrmMain::IdmVersionClick);
    menu(f->IdmBookSetting, reportOnly(u"ﾌﾞｯｸ設定をｸﾘｯｸ時", "Error74"),
         &FrmMain::IdmBookSettingClick);
    menu(f->IdmPrint, reportOnly(u"印刷ﾒﾆｭｰ選択時", "Error232"), &FrmMain::IdmPrintClick);
    menu(f->IdmTrial, reportOnly(u"ﾄﾗｲﾒﾆｭｰ選択時", "Error234"), &FrmMain::IdmTrialClick);
    connect(f->IdmInport, &QAction::triggered, this, [this] {
        guarded(reportOnly(u"ｲﾝﾎﾟｰﾄ時", "Error207"), [this] {
            std::vector<IndexEntry> list;
            if (m_book)
                list = FrmInport::listSnapshot(*m_model, m_book->index());
            FrmInport(this, std::move(list), m_form).exec();
        });
    });
    menu(f->IdmCustomize, terminating(u"ｶｽﾀﾏｲｽﾞｸﾘｯｸ時", "Error76"), &FrmMain::IdmCustomizeClick);
    connect(f->IdmMerge, &QAction::triggered, this, [this] {
        guarded(reportOnly(u"ﾌﾞｯｸ統合ﾒﾆｭｰ選択時", "Error230"),
                [this] { FrmMerge(this, m_form).exec(); });
    });
    connect(f->IdmExit, &QAction::triggered, this, [this] {
        guarded(terminating(u"終了ﾒﾆｭｰ選択時", "Error79"), [this] { m_form->close(); });
    });

    // One filter on the application sees every event of the window's controls, so the window sees
    // every key before its controls do, as the shortcuts need.
    qApp->installEventFilter(this);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    MainForm* f = m_form;
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != f || !f->isVisible())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (type == QEvent::ShortcutOverride)
            return false;
        // The keypad's Enter carries the keypad modifier; it is Enter all the same.
        if (watched == f->txtInput &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            // Enter is the look-up; the box itself never sees it.
            if (m_mode == Normal)
                txtInputEnter();
            return true;
        }
        bool handled = false;
        guarded(reportOnly(u"ｷｰｸﾘｯｸ時", "Error71"), [&] { handled = handleKey(key); });
        return handled;
    }
    if (watched == f && type == QEvent::Close) {
        bool allow = true;
        guarded(terminating(u"ﾌｫｰﾑｱﾝﾛｰﾄﾞ時", "Error73"), [&] { allow = closeCheck(); });
        if (!allow) {
            event->ignore();
            return true;
        }
        return false;
    }
    if (type == QEvent::FocusIn && m_mode == Normal) {
        const struct {
            QWidget* box;
            const char16_t* context;
            const char* code;
        } boxes[] = {{f->txtMean, u"意味ﾎﾞｯｸｽﾌｫｰｶｽ取得時", "Error235"},
                     {f->txtRei, u"用例ﾎﾞｯｸｽﾌｫｰｶｽ取得時", "Error237"},
                     {f->txtWord, u"単語ﾎﾞｯｸｽﾌｫｰｶｽ取得時", "Error238"}};
        for (const auto& b : boxes)
            if (watched == b.box) {
                // The display boxes are for reading in normal mode: typing goes to the input box.
                guarded(reportOnly(b.context, b.code), [this] {
                    QApplication::beep();
                    focusInput();
                });
                return false;
            }
    }
    if (type == QEvent::FocusIn) {
        for (QRadioButton* button : f->Option1)
            if (watched == button) {
                guarded(terminating(u"ﾊﾟﾚｯﾄﾌｫｰｶｽ時", "Error87"), [this] {
                    if (m_mode == Normal) {
                        focusInput();
                    } else if (m_mode == Register) {
                        m_form->txtMean->setFocus();
                        appearance::setInputMethodMode(m_form->txtMean,
                                                       session().display.meaning.imeMode);
                        appearance::setInputMethodMode(m_form->txtRei,
                                                       session().display.meaning.imeMode);
                    } else if (m_mode == Modify) {
                        m_form->txtWord->setFocus();
                        m_form->txtWord->selectAll();
                        appearance::setInputMethodMode(m_form->txtWord,
                                                       session().display.word.imeMode);
                    }
                });
                return false;
            }
    }
    if (watched == f->List1->viewport() && type == QEvent::MouseButtonRelease) {
        guarded(terminating(u"ﾘｽﾄﾎﾞｯｸｽｸﾘｯｸ時", "Error85"), [this] { focusInput(); });
        return false;
    }
    return false;
}

bool FrmMain::handleKey(QKeyEvent* key) {
    MainForm* f = m_form;
    const Qt::KeyboardModifiers mods =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int k = key->key();
    auto runIfEnabled = [](QPushButton* button, auto&& operation) {
        if (button->isEnabled())
            operation();
        return true;
    };
    auto runAction = [](QAction* action) {
        if (action->isEnabled())
            action->trigger();
        return true;
    };
    if (mods == Qt::NoModifier) {
        switch (k) {
        case Qt::Key_F2:
            if (f->Option1[AllWords]->isEnabled()) {
                f->Option1[AllWords]->setChecked(true);
                Option1Click(AllWords);
            }
            return true;
        case Qt::Key_F3:
            return runIfEnabled(f->cmdModify, [this] { cmdModifyClick(); });
        case Qt::Key_F4:
            return runIfEnabled(f->cmdDel, [this] { cmdDelClick(); });
        case Qt::Key_F5:
            return runIfEnabled(f->cmdDo, [this] { cmdDoClick(); });
        case Qt::Key_Escape:
            return runIfEnabled(f->cmdCancel, [this] { cmdCancelClick(); });
        default:
            break;
        }
    }
    if (mods == (Qt::ShiftModifier | Qt::ControlModifier) && k >= Qt::Key_A && k <= Qt::Key_Z) {
        QRadioButton* button = f->Option1[k - Qt::Key_A];
        if (button->isEnabled()) {
            button->setChecked(true);
            Option1Click(k - Qt::Key_A);
        }
        return true;
    }
    if (mods == (Qt::ControlModifier | Qt::AltModifier) && k == Qt::Key_A) {
        f->Option1[AllWords]->setChecked(true);
        Option1Click(AllWords);
        return true;
    }
    // The menu items' own shortcuts (Ctrl+M, Ctrl+Z, F1, ...), taken from the menus themselves.
    const QKeySequence pressed(QKeyCombination(mods, Qt::Key(k)));
    for (QAction* action : f->findChildren<QAction*>())
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed)
            return runAction(action);
    return false;
}

// ---- Opening the book ----------------------------------------------------------------------

FrmMain::LoadResult FrmMain::formLoad() {
    LoadResult result = LoadResult::Ready;
    guarded(terminating(u"ﾒｲﾝﾌｫｰﾑﾛｰﾄﾞ時", "Error72"), [&] {
        if (session().bookInUse) {
            try {
                openBook(/*reopen=*/false);
                return;
            } catch (const BookMissing& missing) {
                // Nothing is created in the broken book; the user chooses another one.
                m_book.reset();
                session().bookInUse = false;
                QString text = QStringLiteral(
                    "すでに作成されて存在しているはずのブック（フォルダ）が見当たりません。"
                    "Verbantaのあるフォルダ内にあるべきブックが無いようです。\r\n\r\n"
                    "Verbantaをインストール直後の場合は、付属の『インストールの前に』ファイルを"
                    "もう一度読んで、データフォルダを適切な位置に移動して下さい。"
                    "もし誤って、作成したフォルダを削除してしまった場合はVerbantaを"
                    "再度インストールし直す必要があります。");
                if (const auto* broken = dynamic_cast<const BookBroken*>(&missing))
                    text += QStringLiteral("\r\n\r\n（") + broken->reason() + QStringLiteral("）");
                showMessage(text, QStringLiteral("ブックエラー"), MessageButtons::Ok,
                            MessageIcon::None);
            }
        }
        showMessage(
            QStringLiteral("使用するブックが見つかりません。\r\nﾌﾞｯｸ設定ﾀﾞｲｱﾛｸﾞﾎﾞｯｸｽを開きます。"));
        // The start-up window makes way for the chooser.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == u"frmSplash")
                w->hide();
        // Choosing a book there opens it here; leaving without one ends the program.
        FrmSelectFolder chooser(this, nullptr);
        chooser.exec();
        if (chooser.endRequested() || !session().bookInUse || !m_book)
            result = LoadResult::EndProgram;
    });
    return result;
}

bool FrmMain::ReopenBook() {
    bool opened = false;
    guarded(terminating(u"ﾒｲﾝｳｨﾝﾄﾞｳﾘﾛｰﾄﾞ時", "Error190"), [&] {
        // Another book may be open now: positions found in the last one mean nothing.
        m_search.reset();
        try {
            openBook(/*reopen=*/true);
            opened = true;
        } catch (const BookMissing&) {
            m_book.reset();
        }
    });
    return opened;
}

void FrmMain::closeBook() {
    // The print dialog's words belong to this book.
    closeToolWindows();
    m_model->clear();
    if (m_book && m_book->isOpen())
        m_book->writeBack();
    m_book.reset();
    m_form->txtWord->clear();
    m_form->txtMean->setText({});
    m_form->txtRei->setText({});
    m_form->lblMaxRec->setText(QStringLiteral("0"));
    setEditGroup(false);
}

void FrmMain::showChosenBook() {
    m_form->setWindowTitle(QStringLiteral("Verbanta - ") + session().current.bookName);
    if (m_model->rowCount() > 0) {
        m_model->setChecked(0, true);
        m_model->setChecked(0, false);
    }
    m_form->txtInput->setFocus();
    appearance::setInputMethodMode(m_form->txtInput, session().display.input.imeMode);
    m_form->show();
}

void FrmMain::IdmBookSettingClick() {
    FrmSelectFolder chooser(this, m_form);
    chooser.exec();
    if (chooser.endRequested()) {
        m_endRequested = true;
        // Nothing is open any more: the book went with its deletion.
        m_form->hide();
        QCoreApplication::quit();
    }
}

void FrmMain::openBook(bool reopen) {
    MainForm* f = m_form;
    ApplyPalette();
    m_large = true;
    session().handOver = false;
    m_currentPosition = 0;
    m_currentRecord = 0;
    m_book.reset();
    f->txtWord->clear();
    f->txtMean->setText({});
    f->txtRei->setText({});
    m_mode = Normal;
    if (!reopen) {
        m_search.reset();
        m_loading = true;
    }
    f->txtInput->blockSignals(true);
    f->txtInput->clear();
    f->txtInput->blockSignals(false);
    m_model->clear();

    // A book folder that leads out of the application folder would take registrations there.
    if (booklist::leadsOutside(appfolder::path(), session().current.bookName))
        throw BookBroken(booklist::outsideReason(session().current.bookName));
    auto book = std::make_unique<Book>(appfolder::bookFolder(session().current.bookName));
    const Book::OpenResult opened = book->open();
    m_book = std::move(book);
    if (!opened.setAside.isEmpty())
        showMessage(QStringLiteral("ブックのフォルダに、途中で終わった作業の一時ファイルが"
                                   "残っていました。\r\n内容が不完全なため使わずに、次の名前で"
                                   "残してあります。\r\n\r\n") +
                        opened.setAside.join(QStringLiteral("\r\n")),
                    QStringLiteral("ブックの確認"), MessageButtons::Ok, MessageIcon::Exclamation);
    // An interrupted compaction was finished on open; deletions found there are not pending.
    f->IdmTrial->setEnabled(opened.wordFileFound);
    m_model->showAll(&m_book->index());

    setEditGroup(!m_book->index().isEmpty());
    setExecuteGroup(false);
    f->cmdScale->setEnabled(true);
    f->IdmResize->setEnabled(true);
    f->IdmBookSetting->setEnabled(true);
    f->IdmCustomize->setEnabled(true);
    applyNormalControls();
    f->IdmTrial->setEnabled(opened.wordFileFound);

    f->lblMaxRec->setText(QString::number(m_book->index().size()));
    f->Option1[AllWords]->setChecked(true);
    m_paletteButton = AllWords;
    if (reopen && !m_book->index().isEmpty())
        setEditGroup(true);
    updateCounters();
    setModeLabel(Normal);
    m_loading = false;
    m_form->setLarge(true);
    m_form->cmdScale->setText(QStringLiteral("<<"));
}

// ---- Applying settings ---------------------------------------------------------------------

void FrmMain::ApplyDisplaySettings() {
    guarded(terminating(u"ﾌﾟﾛﾊﾟﾃｨ一括設定時", "Error189"), [this] {
        const DisplaySettings& s = session().display;
        MainForm* f = m_form;
        appearance::applyFontGroup(f->txtWord, s.word);
        appearance::applyFontGroup(f->txtMean, s.meaning);
        appearance::applyFontGroup(f->txtRei, s.meaning);
        appearance::applyFontGroup(f->txtInput, s.input);
        appearance::applyFontGroup(f->List1, s.list);
        // The window's own background only (the menu bar keeps its colours); its buttons and
        // boxes keep theirs so that no chosen colour can hide their text.
        appearance::setWindowColor(f->centralWidget(), s.mainBackColor);
        for (QLabel* label : {f->Label1, f->Label2, f->Label3, f->Label4, f->Label5, f->Label6,
                              f->lblMaxRec, f->lblCount, f->lblCount2}) {
            appearance::setBackColor(label, s.mainBackColor);
            appearance::setTextColor(label, s.mainTextColor);
        }
        appearance::setWindowColor(f->Frame1, s.mainBackColor);
    });
}

void FrmMain::ApplyPaletteFont() {
    guarded(reportOnly(u"ｲﾆｼｬﾙﾊﾟﾚｯﾄのﾌｫﾝﾄ設定時", "Error210"), [this] {
        const PaletteFont& p = session().paletteFont;
        for (int i = 0; i < AllWords; ++i) {
            appearance::setFittingFont(m_form->Option1[i], p.name, p.size, p.bold, p.italic);
            appearance::setTextColor(m_form->Option1[i], p.color);
        }
    });
}

void FrmMain::ApplyPalette() {
    guarded(terminating(u"ｲﾆｼｬﾙﾊﾟﾚｯﾄの設定時", "Error192"), [this] {
        for (int i = 0; i < AllWords; ++i) {
            m_form->Option1[i]->setText(session().palette[size_t(i)].rangeStart);
            m_form->Option1[i]->setEnabled(session().palette[size_t(i)].enabled != 0);
            // A new caption may need another size to fit.
            const PaletteFont& p = session().paletteFont;
            if (!p.name.isEmpty())
                appearance::setFittingFont(m_form->Option1[i], p.name, p.size, p.bold, p.italic);
        }
    });
}

// ---- Control states ------------------------------------------------------------------------

void FrmMain::setModeLabel(int mode) {
    QLabel* label = m_form->lblMode;
    label->clear();
    const qint32 color = mode == Register ? RegisterColor
                         : mode == Modify ? ModifyColor
                                          : NormalColor;
    appearance::setBackColor(label, color);
    // Dark text on the light mode colours, whatever the desktop's text colour.
    appearance::setTextColor(label, 0);
    label->setText(mode == Register ? QStringLiteral("登録ﾓｰﾄﾞ")
                   : mode == Modify ? QStringLiteral("修正ﾓｰﾄﾞ")
                                    : QStringLiteral("通常ﾓｰﾄﾞ"));
}

void FrmMain::setEditGroup(bool enabled) {
    MainForm* f = m_form;
    for (QWidget* w : {static_cast<QWidget*>(f->cmdModify), static_cast<QWidget*>(f->cmdDel)})
        w->setEnabled(enabled);
    for (QAction* a : {f->IdmModify, f->IdmDel, f->IdmCheckDel})
        a->setEnabled(enabled);
}

void FrmMain::setExecuteGroup(bool enabled) {
    MainForm* f = m_form;
    f->cmdDo->setEnabled(enabled);
    f->cmdCancel->setEnabled(enabled);
    f->IdmDo->setEnabled(enabled);
    f->IdmCancel->setEnabled(enabled);
}

void FrmMain::setSettingsGroup(bool enabled) {
    m_form->IdmBookSetting->setEnabled(enabled);
    m_form->IdmCustomize->setEnabled(enabled);
    m_form->IdmTrial->setEnabled(enabled);
}

void FrmMain::applyNormalControls() {
    MainForm* f = m_form;
    lock(f->txtInput, false, true);
    f->txtInput->setEnabled(true);
    lock(f->txtWord, true, false);
    lock(f->txtMean, true, false);
    lock(f->txtRei, true, false);
    f->List1->setEnabled(true);
    setExecuteGroup(false);
    f->cmdScale->setEnabled(true);
    f->IdmResize->setEnabled(true);
}

void FrmMain::applyEditingControls(int mode) {
    MainForm* f = m_form;
    lock(f->txtInput, true, true);
    f->txtInput->setEnabled(false);
    lock(f->txtWord, mode != Modify, mode == Modify);
    lock(f->txtMean, false, true);
    lock(f->txtRei, false, true);
    f->List1->setEnabled(false);
    setExecuteGroup(true);
    setEditGroup(false);
    f->cmdScale->setEnabled(false);
    f->IdmResize->setEnabled(false);
    setSettingsGroup(false);
}

void FrmMain::focusInput() {
    m_form->txtInput->setFocus();
    appearance::setInputMethodMode(m_form->txtInput, session().display.input.imeMode);
}

void FrmMain::updateCounters() {
    m_form->lblCount->setText(QString::number(100 - trimmedRight(m_form->txtMean->text()).size()));
    m_form->lblCount2->setText(QString::number(200 - trimmedRight(m_form->txtRei->text()).size()));
}

void FrmMain::showRecords(qint32 recordNo, bool trimmed) {
    const QString meaning = m_book->meaning(recordNo);
    const QString example = m_book->example(recordNo);
    m_form->txtMean->setText(trimmed ? trimmedRight(meaning) : meaning);
    m_form->txtRei->setText(trimmed ? trimmedRight(example) : example);
}

int FrmMain::currentRow() const {
    return m_form->List1->currentIndex().isValid() ? m_form->List1->currentIndex().row() : -1;
}

QString FrmMain::currentWord() const {
    if (!m_book || m_currentPosition < 0 || m_currentPosition >= m_book->index().size())
        return {};
    return m_book->index().at(m_currentPosition).word;
}

void FrmMain::selectListItem(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    // Selecting a row runs the list click exactly once, whoever selects it.
    m_inListClick = true;
    m_form->List1->setCurrentIndex(m_model->index(row));
    m_inListClick = false;
    m_form->List1->scrollTo(m_model->index(row));
    List1Click();
}

void FrmMain::selectAllWordsButton() {
    if (m_form->Option1[AllWords]->isChecked() && !m_model->isFiltered())
        return;
    m_form->Option1[AllWords]->setChecked(true);
    Option1Click(AllWords);
}

// ---- The list and the palette --------------------------------------------------------------

void FrmMain::List1Click() {
    guarded(terminating(u"ﾘｽﾄﾎﾞｯｸｽｸﾘｯｸ時", "Error84"), [this] {
        const int row = currentRow();
        if (row < 0 || !m_book)
            return;
        const int position = m_model->indexPosition(row);
        const IndexEntry& entry = m_book->index().at(position);
        const QString word = entry.word;
        m_form->txtWord->setText(word);
        m_form->txtInput->setText(word);
        m_form->txtInput->selectAll();
        m_currentRecord = entry.recordNo;
        showRecords(m_currentRecord, /*trimmed=*/false);
        m_currentPosition = position;
        if (!m_model->isFiltered())
            setEditGroup(true);
        updateCounters();
    });
}

void FrmMain::Option1Click(int k) {
    guarded(terminating(u"ｲﾆｼｬﾙﾊﾟﾚｯﾄ選択時", "Error86"), [this, k] {
        if (m_loading || !m_book)
            return;
        if (m_mode != Normal) {
            // The list stays as it is, and so does the palette.
            m_form->Option1[m_paletteButton]->setChecked(true);
            showMessage(QStringLiteral("現在、通常ﾓｰﾄﾞでないので使用出来ません"));
            return;
        }
        const int prevRow = std::max(currentRow(), 0);
        const int prev = m_model->indexPosition(prevRow);
        WordIndex& index = m_book->index();
        m_paletteButton = k;
        if (k == AllWords) {
            m_model->showAll(&index);
            if (index.isEmpty())
                m_currentPosition = 0;
            else
                selectListItem(std::clamp(m_currentPosition, 0, index.size() - 1));
            if (!index.isEmpty())
                setEditGroup(true);
            updateCounters();
            return;
        }
        const PaletteRow& range = session().palette[size_t(k)];
        std::vector<int> positions = index.filterByInitial(range.rangeStart, range.rangeEnd);
        const bool any = !positions.empty();
        m_model->showFiltered(&index, std::move(positions));
        if (any) {
            selectListItem(0);
            // Stay on the word that was shown when it belongs to this letter too.
            if (prev >= 0) {
                const QString& word = index.at(prev).word;
                const QString start = range.rangeStart;
                if (collation::compare(QStringView(word).left(start.size()), start) == 0) {
                    m_currentRecord = index.at(prev).recordNo;
                    const int row = m_model->rowOfPosition(prev);
                    if (row >= 0)
                        selectListItem(row);
                }
            }
        }
        setEditGroup(false);
        if (!any) {
            showMessage(range.rangeStart + QStringLiteral("の頭文字(行)での登録はまだありません"));
            m_paletteButton = AllWords;
            m_form->Option1[AllWords]->setChecked(true);
            Option1Click(AllWords);
            return;
        }
        updateCounters();
    });
}

// ---- The input box -------------------------------------------------------------------------

void FrmMain::showEntry(int position) {
    const IndexEntry& e = m_book->index().at(position);
    m_form->txtWord->setText(e.word);
    m_currentRecord = e.recordNo;
    showRecords(m_currentRecord, /*trimmed=*/true);
}

void FrmMain::txtInputChange() {
    guarded(terminating(u"ｲﾝｸﾘﾒﾝﾀﾙｻｰﾁ時", "Error88"), [this] {
        setEditGroup(false);
        if (!m_book || m_book->index().isEmpty() || m_mode != Normal)
            return;
        const int position = m_search.textChanged(m_book->index(), m_form->txtInput->text());
        if (position >= 0)
            showEntry(position);
    });
}

void FrmMain::txtInputEnter() {
    guarded(terminating(u"入力ﾎﾞｯｸｽEnter時", "Error90"), [this] {
        const QString w = trimmedRight(m_form->txtInput->text());
        if (w.isEmpty() || !m_book)
            return;
        selectAllWordsButton();
        if (m_model->rowCount() == 0)
            setEditGroup(false);
        const int m = m_book->index().find(w);
        if (m >= 0) {
            m_form->txtWord->setText(w);
            m_currentPosition = m;
            m_currentRecord = m_book->index().at(m).recordNo;
            showRecords(m_currentRecord, /*trimmed=*/false);
            selectListItem(m);
            m_form->txtInput->selectAll();
            m_form->txtInput->setFocus();
            setEditGroup(true);
        } else {
            const Answer answer = showMessage(
                QStringLiteral("この単語はまだ登録されていません。\r\n登録しますか？"),
                QStringLiteral("未登録情報"), MessageButtons::YesNo, MessageIcon::Question);
            if (answer == Answer::Yes)
                enterRegisterMode(w);
            else
                cmdCancelClick();
        }
        updateCounters();
    });
}

// ---- Modes ---------------------------------------------------------------------------------

void FrmMain::enterRegisterMode(const QString& word) {
    MainForm* f = m_form;
    setModeLabel(Register);
    m_mode = Register;
    applyEditingControls(Register);
    f->txtWord->setText(word);
    f->txtMean->setText({});
    f->txtRei->setText({});
    f->txtMean->setFocus();
    appearance::setInputMethodMode(f->txtMean, session().display.meaning.imeMode);
    appearance::setInputMethodMode(f->txtRei, session().display.meaning.imeMode);
}

void FrmMain::cmdModifyClick() {
    guarded(terminating(u"修正ﾎﾞﾀﾝｸﾘｯｸ時", "Error69"), [this] {
        if (!m_book || m_book->index().isEmpty())
            return;
        MainForm* f = m_form;
        if (m_model->isFiltered()) {
            const int position = m_model->indexPosition(std::max(currentRow(), 0));
            f->Option1[AllWords]->setChecked(true);
            m_model->showAll(&m_book->index());
            m_currentPosition = position;
            f->txtWord->setText(m_book->index().at(position).word);
        }
        m_mode = Modify;
        setModeLabel(Modify);
        m_currentRecord = m_book->index().at(m_currentPosition).recordNo;
        showRecords(m_currentRecord, /*trimmed=*/true);
        selectListItem(m_currentPosition);
        applyEditingControls(Modify);
        appearance::setInputMethodMode(f->txtMean, session().display.meaning.imeMode);
        appearance::setInputMethodMode(f->txtRei, session().display.meaning.imeMode);
        appearance::setInputMethodMode(f->txtWord, session().display.word.imeMode);
        f->txtWord->selectAll();
        f->txtWord->setFocus();
    });
}

bool FrmMain::refuseUnstorable(const QString& word) {
    const QString reason = Book::refusalFor(word, m_form->txtMean->text(), m_form->txtRei->text());
    if (reason.isEmpty())
        return false;
    // In register mode the word box is locked: a refused word can only be typed again.
    const bool wordRefused =
        m_mode == Register && !Book::refusalFor(word, QString(), QString()).isEmpty();
    const QString advice =
        wordRefused ? QStringLiteral("[Esc]で登録を取り消してから、単語を入力し直して下さい。")
                    : QStringLiteral("内容を直してから、もう一度実行して下さい。");
    showMessage(reason + QStringLiteral("\r\n") + advice, QStringLiteral("登録できません"),
                MessageButtons::Ok, MessageIcon::Exclamation);
    return true;
}

void FrmMain::cmdDoClick() {
    guarded(terminating(u"実行ﾎﾞﾀﾝｸﾘｯｸ時", "Error67"), [this] {
        if (m_mode == Register)
            executeRegister();
        else if (m_mode == Modify)
            executeModify();
    });
}

void FrmMain::executeRegister() {
    MainForm* f = m_form;
    if (f->txtMean->text().isEmpty()) {
        showMessage(QStringLiteral("単語の意味を入力して下さい"));
        f->txtMean->setFocus();
        appearance::setInputMethodMode(f->txtMean, session().display.meaning.imeMode);
        return;
    }
    if (refuseUnstorable(f->txtWord->text()))
        return;
    if (showMessage(QStringLiteral("登録します。よろしいですか？"), QStringLiteral("登録の確認"),
                    MessageButtons::YesNo, MessageIcon::Question) != Answer::Yes) {
        cmdCancelClick();
        return;
    }
    const QString word = f->txtWord->text();
    int position = -1;
    if (!changeBook(QStringLiteral("登録"), [&] {
            position = m_book->registerWord(word, f->txtMean->text(), f->txtRei->text());
        }))
        return;
    m_savedWord = word;
    m_search.reset();
    m_currentRecord = m_book->index().at(position).recordNo;
    m_model->showAll(&m_book->index());
    f->lblMaxRec->setText(QString::number(m_model->rowCount()));
    m_mode = Normal;
    selectAllWordsButton();
    f->IdmTrial->setEnabled(true);
    reselect();
}

void FrmMain::executeModify() {
    MainForm* f = m_form;
    if (showMessage(QStringLiteral("変更内容を登録します。よろしいですか？"),
                    QStringLiteral("登録の確認"), MessageButtons::YesNo,
                    MessageIcon::Question) != Answer::Yes) {
        cmdCancelClick();
        return;
    }
    if (f->txtWord->text().isEmpty() || f->txtMean->text().isEmpty()) {
        showMessage(QStringLiteral("入力が不十分です"));
        cmdCancelClick();
        return;
    }
    if (refuseUnstorable(f->txtWord->text()))
        return;
    const QString word = f->txtWord->text();
    int position = -1;
    if (!changeBook(QStringLiteral("修正内容の登録"), [&] {
            position =
                m_book->modifyWord(m_currentPosition, word, f->txtMean->text(), f->txtRei->text());
        }))
        return;
    m_savedWord = word;
    m_search.reset();
    m_currentRecord = m_book->index().at(position).recordNo;
    m_currentPosition = position;
    f->List1->setEnabled(true);
    m_model->showAll(&m_book->index());
    m_mode = Normal;
    selectAllWordsButton();
    reselect();
}

void FrmMain::reselect() {
    MainForm* f = m_form;
    m_mode = Reselecting;
    lock(f->txtInput, false, true);
    f->txtInput->setEnabled(true);
    f->txtInput->clear();
    f->txtInput->setText(m_savedWord);
    const QString w = trimmedRight(m_savedWord);
    const int m = m_book->index().find(w);
    if (m >= 0) {
        f->txtWord->setText(w);
        m_currentPosition = m;
        m_currentRecord = m_book->index().at(m).recordNo;
        showRecords(m_currentRecord, /*trimmed=*/true);
        f->txtInput->selectAll();
        focusInput();
        setEditGroup(true);
    } else {
        showMessage(QStringLiteral("新規登録または修正処理で不具合が発生しました\r\n正しく処理され"
                                   "ているかどうか確認してみて下さい"),
                    QStringLiteral("新規登録・修正ｴﾗｰ"));
    }
    m_mode = Normal;
    if (m >= 0)
        selectListItem(m);
    applyNormalControls();
    setSettingsGroup(true);
    updateCounters();
    setModeLabel(Normal);
}

void FrmMain::cmdCancelClick() {
    guarded(terminating(u"ｷｬﾝｾﾙ時", "Error65"), [this] {
        MainForm* f = m_form;
        setSettingsGroup(true);
        const QString word = currentWord();
        if (m_mode == Register || m_mode == Modify) {
            f->txtWord->clear();
            f->txtMean->setText({});
            f->txtRei->setText({});
            lock(f->txtInput, false, true);
            f->txtInput->setEnabled(true);
            f->txtInput->setText(word);
        }
        m_mode = Normal;
        selectAllWordsButton();
        if (m_model->rowCount() > 0) {
            const int m = m_book->index().find(trimmedRight(word));
            if (m >= 0) {
                f->txtWord->setText(trimmedRight(word));
                m_currentPosition = m;
                m_currentRecord = m_book->index().at(m).recordNo;
                showRecords(m_currentRecord, /*trimmed=*/true);
                f->txtInput->selectAll();
                focusInput();
                setEditGroup(true);
                selectListItem(m);
            } else {
                showMessage(QStringLiteral("ｷｬﾝｾﾙ処理中に不具合が発生しました\r\nﾃﾞｰﾀがおかしくない"
                                           "か確認してみて下さい"),
                            QStringLiteral("ｷｬﾝｾﾙ処理ｴﾗｰ"));
            }
        } else {
            setEditGroup(false);
        }
        applyNormalControls();
        updateCounters();
        setModeLabel(Normal);
    });
}

void FrmMain::cmdDelClick() {
    guarded(terminating(u"削除処理時", "Error66"), [this] {
        if (!m_book || m_book->index().isEmpty())
            return;
        MainForm* f = m_form;
        m_currentRecord = m_book->index().at(m_currentPosition).recordNo;
        showRecords(m_currentRecord, /*trimmed=*/false);
        if (showMessage(QStringLiteral("現在表示されている単語を削除してもよろしいですか？"),
                        QStringLiteral("削除の確認"), MessageButtons::YesNo,
                        MessageIcon::Question) != Answer::Yes)
            return;
        m_mode = Deleting;
        if (!changeBook(QStringLiteral("削除"),
                        [this] { m_book->deleteWord(m_currentPosition); })) {
            m_mode = Normal;
            m_model->refresh();
            return;
        }
        m_search.reset();
        m_model->showAll(&m_book->index());
        const bool empty = m_book->index().isEmpty();
        if (empty) {
            f->txtWord->clear();
            f->txtMean->setText({});
            f->txtRei->setText({});
            f->IdmTrial->setEnabled(false);
        }
        if (m_currentPosition < 1) {
            m_currentPosition = 0;
            if (!empty)
                selectListItem(0);
        } else {
            m_currentPosition -= 1;
            selectListItem(m_currentPosition);
        }
        f->lblMaxRec->setText(QString::number(m_model->rowCount()));
        m_mode = Normal;
        if (empty)
            setEditGroup(false);
    });
}

// ---- Check marks ---------------------------------------------------------------------------

void FrmMain::cmdCheckedClick() {
    guarded(reportOnly(u"ﾁｪｯｸをつける時", "Error220"), [this] {
        m_model->setAllChecked(true);
        selectListItem(0);
    });
}

void FrmMain::cmdUncheckedClick() {
    guarded(reportOnly(u"ﾁｪｯｸをはずす時", "Error224"), [this] { m_model->setAllChecked(false); });
}

void FrmMain::cmdChkRevClick() {
    guarded(reportOnly(u"ﾁｪｯｸﾏｰｸ反転時", "Error222"), [this] {
        m_model->invertChecks();
        selectListItem(0);
    });
}

void FrmMain::IdmCheckDelClick() {
    if (!m_book)
        return;
    MainForm* f = m_form;
    if (showMessage(QStringLiteral("現在ﾁｪｯｸﾏｰｸが付いている単語をすべて削除します"),
                    QStringLiteral("ﾁｪｯｸ項目の削除確認"), MessageButtons::OkCancel,
                    MessageIcon::None) != Answer::Ok)
        return;
    m_mode = Deleting;
    if (!changeBook(QStringLiteral("ﾁｪｯｸ項目の削除"), [this] { m_book->deleteChecked(); })) {
        m_mode = Normal;
        m_model->refresh();
        return;
    }
    // Positions the search remembers no longer hold once words come or go.
    m_search.reset();
    if (m_book->index().isEmpty()) {
        showMessage(QStringLiteral("ﾃﾞｰﾀがひとつもなくなりました"));
        m_model->showAll(&m_book->index());
        f->txtWord->clear();
        f->txtMean->setText({});
        f->txtRei->setText({});
        f->IdmTrial->setEnabled(false);
        m_mode = Normal;
        m_currentPosition = 0;
        setEditGroup(false);
        f->lblMaxRec->setText(QStringLiteral("0"));
        return;
    }
    m_model->showAll(&m_book->index());
    m_currentPosition = 0;
    selectListItem(0);
    f->lblMaxRec->setText(QString::number(m_model->rowCount()));
    m_mode = Normal;
}

// ---- Closing and handing over --------------------------------------------------------------

bool FrmMain::closeCheck() {
    if (!session().bookInUse || !m_book)
        return true;
    if (m_mode != Normal) {
        showMessage(QStringLiteral("通常ﾓｰﾄﾞに戻してから再度実行して下さい。"));
        return false;
    }
    closeToolWindows();
    if (session().handOver) {
        emit handedOver();
        return true;
    }
    // A write-back the disk refuses before the new files are committed leaves the book open and
    // whole: the window stays so the user can make room and close again. Once committed (the
    // book files are closed) only the next start can finish the job, so the failure ends the
    // program as any unexpected one does.
    const auto writeBack = [this] {
        try {
            m_book->writeBack();
        } catch (const RuntimeFailure& failure) {
            if (!m_book->isOpen() || !isWriteRefusal(failure))
                throw;
            reportWriteRefusal(QStringLiteral("ﾌﾞｯｸの書き戻し"), failure);
            return false;
        }
        return true;
    };
    if (!writeBack())
        return false;
    emit unloaded();
    return true;
}

bool FrmMain::changeBook(const QString& what, const std::function<void()>& change) {
    try {
        change();
    } catch (const RuntimeFailure& failure) {
        if (!isWriteRefusal(failure))
            throw;
        reportWriteRefusal(what, failure);
        return false;
    }
    return true;
}

void FrmMain::cmdGoTransClick() {
    guarded(terminating(u"Dualscribeを開く時", "Error68"), [this] {
        if (!m_book || m_book->index().isEmpty()) {
            showMessage(QStringLiteral("単語が１語も登録されていないので開けません"),
                        QStringLiteral("ﾄﾗﾝｽﾚｰﾀＬを開くｴﾗｰ"));
            return;
        }
        if (m_mode != Normal) {
            showMessage(QStringLiteral("通常ﾓｰﾄﾞに戻してから実行してください"),
                        QStringLiteral("ﾄﾗﾝｽﾚｰﾀLを開くｴﾗｰ"));
            return;
        }
        m_book->writeBack();
        session().handOver = true;
        m_form->hide();
        m_form->close();
    });
}

// ---- Window, clipboard, help ---------------------------------------------------------------

void FrmMain::cmdScaleClick() {
    guarded(reportOnly(u"ｻｲｽﾞ変更ｸﾘｯｸ時", "Error70"), [this] {
        m_large = !m_large;
        m_form->setLarge(m_large);
        m_form->cmdScale->setText(m_large ? QStringLiteral("<<") : QStringLiteral(">>"));
        focusInput();
    });
}

QWidget* FrmMain::activeControl() const {
    QWidget* w = QApplication::focusWidget();
    return w && w->window() == m_form ? w : nullptr;
}

void FrmMain::IdmCopyClick() {
    QWidget* w = activeControl();
    if (auto* line = qobject_cast<QLineEdit*>(w))
        QApplication::clipboard()->setText(line->selectedText());
    else if (auto* text = qobject_cast<QPlainTextEdit*>(w))
        QApplication::clipboard()->setText(
            text->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'));
}

void FrmMain::IdmCutClick() {
    QWidget* w = activeControl();
    IdmCopyClick();
    // A locked box keeps its text: cutting from it only copies.
    if (auto* line = qobject_cast<QLineEdit*>(w);
        line && !line->isReadOnly() && line->hasSelectedText())
        line->del();
    else if (auto* text = qobject_cast<QPlainTextEdit*>(w); text && !text->isReadOnly())
        text->textCursor().removeSelectedText();
}

void FrmMain::IdmPasteClick() {
    QWidget* w = activeControl();
    const QString clip = QApplication::clipboard()->text();
    if (auto* line = qobject_cast<QLineEdit*>(w); line && !line->isReadOnly())
        line->insert(clip);
    else if (auto* limited = qobject_cast<LimitedTextEdit*>(w))
        limited->insertPlainText(clip);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(w); text && !text->isReadOnly())
        text->insertPlainText(clip);
}

void FrmMain::IdmHelpshowClick() {
    showHelp(HelpBook::WordBook, m_form);
}

FrmPrint* FrmMain::printDialog() const {
    return static_cast<FrmPrint*>(m_print.data());
}

FrmTrySetting* FrmMain::quizSettings() const {
    return static_cast<FrmTrySetting*>(m_trySetting.data());
}

FrmQuiz* FrmMain::quizWindow() const {
    return static_cast<FrmQuiz*>(m_quiz.data());
}

void FrmMain::closeToolWindows() {
    if (FrmPrint* print = printDialog())
        print->close();
    if (FrmTrySetting* settings = quizSettings())
        settings->close();
    if (FrmQuiz* quiz = quizWindow())
        quiz->close();
}

void FrmMain::IdmTrialClick() {
    // One quiz at a time: its misses become the list's check marks.
    QWidget* window = nullptr;
    if (FrmTrySetting* settings = quizSettings())
        window = settings->form();
    else if (FrmQuiz* quiz = quizWindow())
        window = quiz->form();
    if (window && window->isVisible()) {
        window->raise();
        window->activateWindow();
        return;
    }
    if (!m_book)
        return;
    QuizSnapshot snapshot;
    const WordIndex& index = m_book->index();
    const int rows = m_model->rowCount();
    snapshot.filtered = m_model->isFiltered();
    snapshot.words.reserve(size_t(rows));
    for (int row = 0; row < rows; ++row) {
        const int position = m_model->indexPosition(row);
        const IndexEntry& e = index.at(position);
        snapshot.words.push_back({e.word, e.recordNo, position, e.checkMark, false});
        snapshot.checkedCount += e.checkMark ? 1 : 0;
    }
    QuizHost host;
    host.book = [this] { return m_book.get(); };
    host.setListedMark = [this](int position, bool checked) {
        const int row = m_model->rowOfPosition(position);
        if (row < 0)
            return false;
        m_model->setChecked(row, checked);
        return true;
    };
    auto* settings = new FrmTrySetting(std::move(snapshot), std::move(host), m_form);
    m_trySetting = settings;
    connect(settings, &FrmTrySetting::quizOpened, this, [this](FrmQuiz* quiz) { m_quiz = quiz; });
    settings->show();
}

void FrmMain::IdmPrintClick() {
    // A dialog that was just closed is on its way out; a new one takes its place.
    if (FrmPrint* print = printDialog(); print && print->form() && print->form()->isVisible()) {
        print->form()->raise();
        print->form()->activateWindow();
        return;
    }
    PrintSnapshot snapshot;
    snapshot.bookName = session().current.bookName;
    if (m_book) {
        const WordIndex& index = m_book->index();
        snapshot.filtered = m_model->isFiltered();
        if (snapshot.filtered) {
            snapshot.listed.reserve(m_model->rowCount());
            for (int row = 0; row < m_model->rowCount(); ++row)
                snapshot.listed.push_back(index.at(m_model->indexPosition(row)));
        }
    }
    auto* print = new FrmPrint(
        std::move(snapshot), [this] { return m_book.get(); }, m_form);
    m_print = print;
    print->show();
}

void FrmMain::IdmCustomizeClick() {
    FrmCustom custom([this] { ApplyDisplaySettings(); }, m_form);
    custom.exec();
}

void FrmMain::IdmVersionClick() {
    FrmVersion version(m_form);
    version.exec();
}
