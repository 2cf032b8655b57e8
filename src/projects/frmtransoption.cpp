// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmtransoption.h"

#include "core/projects/projectstate.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "spellingoptions.h"
#include "translator/editorspelling.h"
#include "translator/frmtranslatorl.h"
#include "translator/panelayout.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "ui/transoptionform.h"

#include <QCheckBox>
#include <QPushButton>

namespace {

void setBox(QCheckBox* box, bool checked) {
    // A box set by the program is not a click.
    const QSignalBlocker quiet(box);
    box->setChecked(checked);
}

} // namespace

FrmTransOption::FrmTransOption(FrmTranslatorL& window)
    : m_window(window), m_form(new TransOptionForm(window.form())) {
    TransOptionForm* f = m_form;
    new SpellingOptions(*window.spelling(), f->SSTab1);
    const auto on = [this](QAbstractButton* button, ErrorContext where,
                           void (FrmTransOption::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, [this, where, handler] {
            guarded(where, [this, handler] { (this->*handler)(); });
        });
    };
    on(f->Check1, reportOnly(u"使用するﾁｪｯｸ時", "Error175"), &FrmTransOption::Check1Click);
    on(f->Check2, reportOnly(u"保存するﾁｪｯｸ時", "Error176"), &FrmTransOption::Check2Click);
    on(f->Check3, reportOnly(u"編集を許可するﾁｪｯｸ時", "Error177"), &FrmTransOption::Check3Click);
    on(f->Check4, reportOnly(u"近似語も検索ﾁｪｯｸ時", "Error178"), &FrmTransOption::Check4Click);
    on(f->Check5, reportOnly(u"ﾌｫｰｶｽの移動ﾁｪｯｸ時", "Error179"), &FrmTransOption::Check5Click);
    on(f->Check6, reportOnly(u"登録ﾓｰﾄﾞ設定ﾁｪｯｸ時", "Error180"), &FrmTransOption::Check6Click);
    on(f->Command1, terminating(u"OK時", "Error181"), &FrmTransOption::Command1Click);
    on(f->Command2, terminating(u"ｷｬﾝｾﾙ時", "Error182"), &FrmTransOption::Command2Click);
}

FrmTransOption::~FrmTransOption() {
    delete m_form;
}

void FrmTransOption::exec() {
    if (guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error183"), [this] { formLoad(); }))
        m_form->exec();
}

void FrmTransOption::formLoad() {
    TransOptionForm* f = m_form;
    const ProjectState& p = m_window.project();
    const bool projectWithoutOriginal = p.projectInUse() && !p.current.useOrgFile;
    if (projectWithoutOriginal) {
        // Such a project has no original file to use: only the quick-search switches and Cancel.
        setBox(f->Check1, false);
        for (QWidget* w : {static_cast<QWidget*>(f->Check1), static_cast<QWidget*>(f->Check2),
                           static_cast<QWidget*>(f->Check3), static_cast<QWidget*>(f->Command1)})
            w->setEnabled(false);
    } else {
        const bool used = p.projectInUse() || p.useOrgFile;
        setBox(f->Check1, used);
        setBox(f->Check2, used && p.saveOrgToo);
        setBox(f->Check3, used && p.allowOrgEdit);
        f->Check2->setEnabled(used);
        f->Check3->setEnabled(used);
    }

    const QuickSearchOptions& q = p.quickSearch;
    setBox(f->Check4, q.approxSearch);
    setBox(f->Check5, q.focusWordPaneAfterSearch);
    const bool registerOffered = q.focusWordPaneAfterSearch && !q.approxSearch;
    f->Check6->setEnabled(registerOffered);
    setBox(f->Check6, registerOffered && q.registerWhenMissing);
}

void FrmTransOption::Check1Click() {
    TransOptionForm* f = m_form;
    if (f->Check1->isChecked()) {
        f->Check2->setEnabled(true);
        f->Check3->setEnabled(true);
        return;
    }
    // Not using the original file also stops saving and editing it, at once.
    setBox(f->Check2, false);
    Check2Click();
    setBox(f->Check3, false);
    Check3Click();
    f->Check2->setEnabled(false);
    f->Check3->setEnabled(false);
}

void FrmTransOption::Check2Click() {
    m_window.project().saveOrgToo = m_form->Check2->isChecked();
}

void FrmTransOption::Check3Click() {
    const bool editable = m_form->Check3->isChecked();
    m_window.form()->Rtxt1->setReadOnly(!editable);
    m_window.project().allowOrgEdit = editable;
}

void FrmTransOption::Check4Click() {
    TransOptionForm* f = m_form;
    QuickSearchOptions& q = m_window.project().quickSearch;
    q.approxSearch = f->Check4->isChecked();
    if (q.approxSearch) {
        // Registering a missing word makes no sense when near words are looked up too.
        f->Check6->setEnabled(false);
        setBox(f->Check6, false);
        q.registerWhenMissing = false;
    } else if (f->Check5->isChecked()) {
        f->Check6->setEnabled(true);
    }
}

void FrmTransOption::Check5Click() {
    TransOptionForm* f = m_form;
    QuickSearchOptions& q = m_window.project().quickSearch;
    q.focusWordPaneAfterSearch = f->Check5->isChecked();
    if (q.focusWordPaneAfterSearch) {
        f->Check6->setEnabled(!f->Check4->isChecked());
    } else {
        f->Check6->setEnabled(false);
        setBox(f->Check6, false);
        q.registerWhenMissing = false;
    }
}

void FrmTransOption::Check6Click() {
    m_window.project().quickSearch.registerWhenMissing = m_form->Check6->isChecked();
}

void FrmTransOption::Command1Click() {
    ProjectState& p = m_window.project();
    const bool use = m_form->Check1->isChecked();
    if (!p.projectInUse()) {
        p.useOrgFile = use;
        p.orgPaneHidden = false;
        showOriginalPane(use);
    } else if (!p.current.useOrgFile) {
        p.useOrgFile = false;
    } else {
        // The project keeps its original file (Save still writes it back when asked to); only
        // the pane goes out of sight, and stays so when the window is resized.
        p.orgPaneHidden = !use;
        showOriginalPane(use);
    }
    // The modified flags stay: the options change no text, and clearing them would let unsaved
    // work go without the question whether to save it.
    m_form->accept();
}

void FrmTransOption::Command2Click() {
    m_form->reject();
}

void FrmTransOption::showOriginalPane(bool shown) {
    TranslatorLForm& f = *m_window.form();
    const int width = panelayout::windowWidth(f);
    const int height = panelayout::windowHeight(f);
    const std::optional<panelayout::Arrangement> a =
        panelayout::arrange(width, height, shown, m_window.project().stackedPanes);
    if (!a) {
        showMessage(QStringLiteral("ｻｲｽﾞを小さくし過ぎです"), QStringLiteral("Error136"));
        return;
    }
    panelayout::apply(f, *a, width, height);
}
