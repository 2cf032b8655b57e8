// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmtranslatorl.h"

#include "core/projects/projectstate.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "documentimport.h"
#include "core/store/bookmanifest.h"
#include "editorexit.h"
#include "editorspelling.h"
#include "fontlist.h"
#include "formatting.h"
#include "glossarypanel.h"
#include "memorypanel.h"
#include "panelayout.h"
#include "panepopup.h"
#include "platform/appearance.h"
#include "platform/appfolder.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "quicksearch.h"
#include "selectiontracking.h"
#include "sentencekeys.h"
#include "tools/conflictmergeoffer.h"
#include "tools/frmbackupview.h"
#include "ui/limitedtextedit.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "windowkeys.h"
#include "wordpanebinding.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

namespace {

// The colour list's swatches, standing in for the images of the original image list.
QIcon swatch(const QColor& color) {
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(0, 0, 15, 11);
    return QIcon(pixmap);
}

} // namespace

FrmTranslatorL::FrmTranslatorL(QObject* parent)
    : QObject(parent), m_form(new TranslatorLForm), m_project(std::make_unique<ProjectState>()) {
    m_wordPane = std::make_unique<WordPaneBinding>(*this);
    m_exit = std::make_unique<EditorExit>(*this);
    m_tracking = std::make_unique<SelectionTracking>(*m_form, *m_project);
    m_formatting = new Formatting(*this);
    new SentenceKeys(*this);
    m_popup = new PanePopup(*this);
    m_spelling = new EditorSpelling(*this);
    m_keys = new WindowKeys(*this);
    m_glossary = std::make_unique<GlossaryPanel>(*this);
    m_memory = std::make_unique<MemoryPanel>(*this);
    connectEvents();
}

FrmTranslatorL::~FrmTranslatorL() {
    qApp->removeEventFilter(this);
    m_memory.reset();
    m_glossary.reset();
    m_tracking.reset();
    m_wordPane.reset();
    delete m_form;
}

void FrmTranslatorL::connectEvents() {
    TranslatorLForm* f = m_form;
    connect(f->mnuLayout, &QAction::triggered, this, [this] { mnuLayoutClick(); });
    connect(f->mnuQuickSearch, &QAction::triggered, this, [this] { mnuQuickSearchClick(); });
    connect(f->toolButton(QStringLiteral("Qsearch")), &QAction::triggered, this,
            [this] { mnuQuickSearchClick(); });
    connect(f->Rtxt1, &RichTextPane::gotFocus, this, [this] { Rtxt1GotFocus(); });
    connect(f->Rtxt2, &RichTextPane::gotFocus, this, [this] { Rtxt2GotFocus(); });
    // The window sees every key before its controls do.
    qApp->installEventFilter(this);
}

// ---- Start-up -------------------------------------------------------------------------------

bool FrmTranslatorL::formLoad(QProgressBar* fontProgress) {
    bool bookRead = true;
    const bool loaded = guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error135"), [&] {
        TranslatorLForm* f = m_form;
        const Session& s = session();
        ProjectState& p = *m_project;
        // Tab stops and the project in use are read before anything is shown, so that a damaged
        // project file stops the start before the book is opened.
        p = ProjectState();
        QList<projectfiles::FileDamage> damages;
        const bool projectFileFound = p.startEditor(s.appFolder, &damages);
        for (const projectfiles::FileDamage& damage : damages)
            showMessage(damage.message(), projectfiles::DamageTitle, MessageButtons::Ok,
                        MessageIcon::Exclamation);

        const DisplaySettings& d = s.display;
        f->txtWord->clear();
        f->txtMean->setText({});
        f->txtRei->setText({});
        f->txtInput->clear();
        appearance::applyFontGroup(f->txtWord, d.word);
        appearance::applyFontGroup(f->txtMean, d.meaning);
        appearance::applyFontGroup(f->txtRei, d.meaning);
        appearance::applyFontGroup(f->txtInput, d.input);

        f->mnuSave->setEnabled(true);
        f->toolButton(QStringLiteral("save"))->setEnabled(true);
        m_activePane.clear();

        m_glossary->stop();
        offerConflictMerges(appfolder::bookFolder(s.current.bookName), s.current.bookName);
        m_book = std::make_unique<Book>(appfolder::bookFolder(s.current.bookName),
                                        WordIndex::Order::Ordinal);
        // A set of files from two versions (a sync under way) is not an error of this program: the
        // editor says so, offers the last whole version to look at, and does not start.
        try {
            m_book->open();
        } catch (const BookMixed& mixed) {
            m_book.reset();
            bookRead = false;
            showMessage(mixed.reason(), QStringLiteral("ブックエラー"), MessageButtons::Ok,
                        MessageIcon::None);
            offerNewestBackup(s.current.bookName, m_form);
            return;
        }
        m_wordPane->start(*m_book);
        m_glossary->start(*m_book);
        m_memory->start();
        m_spelling->watchBook();

        fillFormatBar(fontProgress);
        loadCurrentProject(projectFileFound);
        applyTabStops();
        // Emptying the panes and setting their tab stops is part of loading, not a change.
        p.orgModified = false;
        p.transModified = false;
        m_loaded = true;
        layoutRule(panelayout::windowWidth(*f), panelayout::windowHeight(*f));
    });
    return loaded && bookRead;
}

void FrmTranslatorL::fillFormatBar(QProgressBar* fontProgress) {
    TranslatorLForm* f = m_form;
    fontlist::fill(f->cboFname, fontProgress);
    f->cboFsize->clear();
    for (int size : {6, 8, 9, 10, 11})
        f->cboFsize->addItem(QString::number(size));
    for (int size = 12; size <= 48; size += 2)
        f->cboFsize->addItem(QString::number(size));
    f->cboFsize->setCurrentText(QStringLiteral("11"));

    const struct {
        const char16_t* caption;
        QColor color; // invalid: no image
    } colours[] = {
        {u"自動", Qt::black},           {u"黒", Qt::black},         {u"青", QColor(0, 0, 255)},
        {u"水色", QColor(0, 255, 255)}, {u"緑", QColor(0, 128, 0)}, {u"明緑", QColor(0, 255, 0)},
        {u"ﾋﾟﾝｸ", QColor(255, 0, 255)}, {u"赤", QColor(255, 0, 0)}, {u"その他", QColor()},
    };
    f->ImcboFcolor->clear();
    for (const auto& c : colours) {
        if (c.color.isValid())
            f->ImcboFcolor->addItem(swatch(c.color), QString::fromUtf16(c.caption), c.color);
        else
            f->ImcboFcolor->addItem(QString::fromUtf16(c.caption));
    }
    f->ImcboFcolor->setCurrentIndex(0);
}

void FrmTranslatorL::applyTabStops() {
    const TabStops& tabs = m_project->tabStops;
    const QList<int> stops(tabs.begin(), tabs.end());
    // An empty pane types with the tab stops; a loaded document keeps its own.
    for (RichTextPane* pane : {m_form->Rtxt1, m_form->Rtxt2})
        if (pane->document()->isEmpty())
            pane->setSelTabs(stops);
}

void FrmTranslatorL::loadCurrentProject(bool projectFileFound) {
    TranslatorLForm* f = m_form;
    ProjectState& p = *m_project;
    if (!projectFileFound) {
        p.cmntLoaded = false;
        for (QAction* a :
             {f->mnuComment, f->popShowCmnt, f->toolButton(QStringLiteral("CmntOpen"))})
            a->setEnabled(false);
        f->Rtxt1->clear();
        f->Rtxt2->clear();
        for (int panel = 1; panel <= 3; ++panel)
            f->setPanelText(panel, {});
        return;
    }
    // The comment window is loaded with the project by the commands above the editor.
    const PlanInfo& plan = p.current;
    f->Rtxt1->setKeepSelectionVisible(false);
    f->Rtxt2->setKeepSelectionVisible(false);
    p.newPlanMadeCurrent = false;
    projectfiles::removeDocumentLeftovers(plan);
    p.orgFileNotRead = !loadPane(f->Rtxt1, plan.orgFilePath);
    p.transFileNotRead = !loadPane(f->Rtxt2, plan.transFilePath);
    f->setPanelText(1, plan.planName);
    f->setPanelText(2, plan.orgFilePath);
    f->setPanelText(3, plan.transFileName);
}

bool FrmTranslatorL::loadPane(RichTextPane* pane, const QString& path) {
    // No file (a project without an original, the fresh record New leaves): an empty pane.
    if (path.isEmpty()) {
        pane->clear();
        return true;
    }
    // A document that has gone or cannot be read must not keep the editor from opening: the
    // user is told, and what could be read stays in the pane. One that has gone leaves nothing
    // to keep: Save may make it again.
    if (!QFileInfo::exists(path)) {
        pane->clear();
        showMessage(QStringLiteral("ﾌｧｲﾙが見つかりません。\r\n") + path,
                    QStringLiteral("読み込みｴﾗｰ"), MessageButtons::Ok, MessageIcon::Exclamation);
        return true;
    }
    QString error;
    const documentimport::Read read = documentimport::loadDocument(pane, path, &error);
    if (read == documentimport::Read::Loaded)
        return true;
    // A cancelled conversion is the user's own choice; the pane stays empty and nothing is
    // overwritten by a save.
    if (read == documentimport::Read::Cancelled)
        return false;
    showMessage(QStringLiteral("ﾌｧｲﾙを読み込めませんでした。\r\n") + path + QStringLiteral("\r\n") +
                    error,
                QStringLiteral("読み込みｴﾗｰ"), MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
}

// ---- Layout ---------------------------------------------------------------------------------

void FrmTranslatorL::formResize() {
    if (m_loaded)
        layoutRule(panelayout::windowWidth(*m_form), panelayout::windowHeight(*m_form));
}

void FrmTranslatorL::layoutRule(int width, int height) {
    const std::optional<panelayout::Arrangement> a =
        panelayout::arrange(width, height, m_project->orgPaneShown(), m_project->stackedPanes);
    if (!a) {
        showMessage(QStringLiteral("ｻｲｽﾞを小さくし過ぎです"), QStringLiteral("Error136"));
        return;
    }
    panelayout::apply(*m_form, *a, width, height);
}

void FrmTranslatorL::mnuLayoutClick() {
    guarded(reportOnly(u"ﾚｲｱｳﾄ変更時", "Error154"), [this] {
        ProjectState& p = *m_project;
        if (!p.orgPaneShown())
            return;
        const int width = panelayout::windowWidth(*m_form);
        const int height = panelayout::windowHeight(*m_form);
        const std::optional<panelayout::Arrangement> a =
            panelayout::arrange(width, height, true, !p.stackedPanes);
        if (!a)
            throw RuntimeFailure(failure::InvalidCall);
        panelayout::apply(*m_form, *a, width, height);
        p.stackedPanes = !p.stackedPanes;
    });
}

// ---- Quick search ---------------------------------------------------------------------------

void FrmTranslatorL::mnuQuickSearchClick() {
    WordPane* pane = m_wordPane->pane();
    if (!pane)
        return;
    RichTextPane* textPane = m_activePane == u"Rtxt1"   ? m_form->Rtxt1
                             : m_activePane == u"Rtxt2" ? m_form->Rtxt2
                                                        : nullptr;
    QuickSearch::run(*pane, m_project->quickSearch, textPane != nullptr,
                     textPane ? textPane->selText() : QString());
}

// ---- Focus ----------------------------------------------------------------------------------

void FrmTranslatorL::Rtxt1GotFocus() {
    guarded(reportOnly(u"原文GotFocus時", "Error166"), [this] {
        m_activePane = QStringLiteral("Rtxt1");
        m_form->Rtxt2->setKeepSelectionVisible(false);
        m_form->Rtxt1->setKeepSelectionVisible(true);
        m_popup->paneGotFocus();
    });
}

void FrmTranslatorL::Rtxt2GotFocus() {
    guarded(reportOnly(u"訳文GotFocus時", "Error168"), [this] {
        m_activePane = QStringLiteral("Rtxt2");
        m_form->Rtxt1->setKeepSelectionVisible(false);
        m_form->Rtxt2->setKeepSelectionVisible(true);
        m_popup->paneGotFocus();
    });
}

void FrmTranslatorL::txtInputGotFocus() {
    guarded(reportOnly(u"入力欄GotFocus時", "Error172"), [this] {
        m_form->Rtxt1->setKeepSelectionVisible(false);
        m_form->Rtxt2->setKeepSelectionVisible(false);
        m_activePane = QStringLiteral("txtInput");
    });
}

void FrmTranslatorL::focusOriginalOrTranslation() {
    if (m_project->orgPaneShown())
        m_form->Rtxt1->setFocus();
    else
        m_form->Rtxt2->setFocus();
}

void FrmTranslatorL::keyF2() {
    if (m_activePane == u"Rtxt1") {
        m_form->Rtxt2->setFocus();
    } else if (m_activePane == u"Rtxt2") {
        if (!m_wordPane->focusByMode()) {
            showMessage(QStringLiteral("「単語部」の現在のモードが認識出来ませんでした｡通常モードに"
                                       "設定して下さい｡ "));
            m_form->Rtxt2->setFocus();
        }
    } else {
        focusOriginalOrTranslation();
    }
}

// ---- Events ---------------------------------------------------------------------------------

bool FrmTranslatorL::handleKey(QKeyEvent* event) {
    return m_keys->handle(*event) || m_wordPane->handleKey(event);
}

bool FrmTranslatorL::eventFilter(QObject* watched, QEvent* event) {
    TranslatorLForm* f = m_form;
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != f || !f->isVisible())
            return false;
        bool handled = false;
        guarded(reportOnly(u"KeyDown時", "Error134"),
                [&] { handled = handleKey(static_cast<QKeyEvent*>(event)); });
        return handled;
    }
    if (type == QEvent::FocusIn) {
        if (watched == f->txtInput)
            txtInputGotFocus();
        else if (watched == f->txtWord || watched == f->txtMean)
            m_wordPane->displayFieldGotFocus(static_cast<QWidget*>(watched));
        return false;
    }
    if (watched == f->client() && type == QEvent::Resize) {
        formResize();
        return false;
    }
    if (watched == f && type == QEvent::Close) {
        // Closing the window by its frame is End: the book goes back to disk and the work is
        // offered for saving; a cancelled question keeps the window open.
        if (!m_exit->closingByFrame()) {
            event->ignore();
            return true;
        }
        return false;
    }
    return false;
}
