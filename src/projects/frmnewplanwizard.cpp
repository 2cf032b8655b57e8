// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmnewplanwizard.h"

#include "core/projects/projectstate.h"
#include "core/settings/session.h"
#include "core/wordprocessor/documentsettings.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "translator/editorexit.h"
#include "ui/newplanwizardform.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

const QString NameErrorTitle = QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ名ｴﾗｰ");

// A fresh pending record: no name, no files, original and comment files wanted.
PlanInfo startValues() {
    return PlanInfo();
}

} // namespace

FrmNewPlanWizard::FrmNewPlanWizard(ProjectState& project, Purpose purpose, QWidget* parent,
                                   std::function<void()> madeCurrent,
                                   std::function<bool(const PlanInfo&)> saveWork)
    : m_project(project), m_purpose(purpose), m_madeCurrent(std::move(madeCurrent)),
      m_saveWork(std::move(saveWork)), m_form(new NewPlanWizardForm(parent)) {
    NewPlanWizardForm* f = m_form;
    connect(f->txtNewPlanName, &QLineEdit::textChanged, this, [this] { txtNewPlanNameChange(); });
    connect(f->cmdNext, &QPushButton::clicked, this, [this] { cmdNextClick(); });
    connect(f->cmdBack, &QPushButton::clicked, this, [this] { cmdBackClick(); });
    for (int i = 0; i < f->Option1.size(); ++i)
        connect(f->Option1[i], &QRadioButton::clicked, this, [this, i] { Option1Click(i); });
    connect(f->cmdSelectOrgFile, &QPushButton::clicked, this, [this] { cmdSelectOrgFileClick(); });
    connect(f->cmdSaveTransFile, &QPushButton::clicked, this, [this] { cmdSaveTransFileClick(); });
    connect(f->Check1, &QCheckBox::clicked, this, [this] { Check1Click(); });
    connect(f->cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    connect(f->cmdCancel, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
    f->txtNewPlanName->installEventFilter(this);
    f->List1->installEventFilter(this);
}

FrmNewPlanWizard::~FrmNewPlanWizard() {
    delete m_form;
}

// Enter in the name box or the list of page 1 moves on as Next does; the buttons keep their own
// keys, so Enter on a focused Cancel never moves on.
bool FrmNewPlanWizard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && m_form->page() == 1) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (m_form->cmdNext->isEnabled())
                cmdNextClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool FrmNewPlanWizard::exec() {
    formLoad();
    QTimer::singleShot(0, m_form, [this] { formActivate(); });
    m_form->exec();
    if (!m_finished)
        m_project.wizardForSave = false; // closed by its frame or Esc: a cancel
    return m_finished;
}

void FrmNewPlanWizard::formLoad() {
    guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error99"), [this] {
        NewPlanWizardForm* f = m_form;
        f->cmdBack->setEnabled(false);
        f->cmdOK->setEnabled(false);
        f->cmdNext->setEnabled(false);
        f->showPage(1);
        std::optional<projectfiles::FileDamage> damage;
        m_project.plans = projectfiles::loadPlanList(session().appFolder, &damage);
        if (damage)
            showMessage(damage->message(), projectfiles::DamageTitle, MessageButtons::Ok,
                        MessageIcon::Exclamation);
        f->List1->clear();
        for (const PlanInfo& plan : m_project.plans)
            f->List1->addItem(plan.planName);
        if (m_project.plans.empty())
            f->List1->addItem(QStringLiteral("現在未登録です"));
        m_pending = startValues();
        m_useOrgFile = m_project.useOrgFile;
        m_finished = false;
    });
}

void FrmNewPlanWizard::formActivate() {
    guarded(terminating(u"ﾌｫｰﾑｱｸﾃｨﾌﾞ時", "Error98"),
            [this] { m_form->txtNewPlanName->setFocus(); });
}

void FrmNewPlanWizard::txtNewPlanNameChange() {
    guarded(reportOnly(u"新規ﾌﾟﾛｼﾞｪｸﾄ名設定", "Error101"),
            [this] { m_form->cmdNext->setEnabled(!m_form->txtNewPlanName->text().isEmpty()); });
}

bool FrmNewPlanWizard::nameAccepted(const QString& name) {
    if (name.isEmpty()) {
        showMessage(QStringLiteral("新規ﾌﾟﾛｼﾞｪｸﾄ名が入力されていません。"),
                    QStringLiteral("入力ｴﾗｰ"));
        return false;
    }
    // "###" marks a deleted project in the list: a project of that name would vanish on the next
    // rewrite of the list.
    if (name == projectfiles::DeletedMarker) {
        showMessage(QStringLiteral("「###」はﾌﾟﾛｼﾞｪｸﾄ名に使えません。"), NameErrorTitle);
        return false;
    }
    PlanInfo named;
    named.planName = name;
    const QString refusal = projectfiles::refusalFor(named);
    if (!refusal.isEmpty()) {
        showMessage(refusal, NameErrorTitle);
        return false;
    }
    for (const PlanInfo& plan : m_project.plans) {
        if (plan.planName == name) {
            showMessage(
                QStringLiteral("すでに同じ名前のﾌﾟﾛｼﾞｪｸﾄ名が存在します。\r\n別の名前に変える"
                               "か、既存のﾌﾟﾛｼﾞｪｸﾄを削除する必要があります。"),
                NameErrorTitle);
            return false;
        }
    }
    return true;
}

void FrmNewPlanWizard::cmdNextClick() {
    guarded(reportOnly(u"次へﾎﾞﾀﾝｸﾘｯｸ時", "Error94"), [this] {
        NewPlanWizardForm* f = m_form;
        if (f->page() == 1) {
            const QString name = f->txtNewPlanName->text();
            if (!nameAccepted(name)) {
                f->txtNewPlanName->setFocus();
                return;
            }
            m_pending.planName = name;
            f->Option1[m_useOrgFile ? 0 : 1]->setChecked(true);
            Option1Click(m_useOrgFile ? 0 : 1);
            f->showPage(2);
            f->cmdBack->setEnabled(true);
        } else if (f->page() == 2) {
            if (f->Option1[0]->isChecked()) {
                if (f->lblOrgFileName->text().isEmpty()) {
                    showMessage(QStringLiteral("取込む<原文>ﾌｧｲﾙを選択して下さい。"));
                    return;
                }
                m_useOrgFile = true;
                m_pending.orgFilePath = m_project.pickedOrgPath;
                m_pending.orgFileName = m_project.pickedOrgName;
                m_pending.useOrgFile = true;
            } else {
                m_useOrgFile = false;
                m_pending.orgFilePath.clear();
                m_pending.orgFileName.clear();
                m_pending.useOrgFile = false;
            }
            f->Check1->setChecked(true);
            showCommentFile();
            f->showPage(3);
            f->cmdNext->setEnabled(false);
        }
    });
}

void FrmNewPlanWizard::cmdBackClick() {
    guarded(reportOnly(u"戻るﾎﾞﾀﾝｸﾘｯｸ時", "Error92"), [this] {
        NewPlanWizardForm* f = m_form;
        if (f->page() == 2) {
            f->showPage(1);
            f->cmdBack->setEnabled(false);
            f->cmdNext->setEnabled(true);
            if (!f->txtNewPlanName->text().isEmpty())
                f->txtNewPlanName->selectAll();
            f->txtNewPlanName->setFocus();
        } else if (f->page() == 3) {
            f->showPage(2);
            f->cmdNext->setEnabled(true);
            f->cmdOK->setEnabled(false);
        }
    });
}

void FrmNewPlanWizard::Option1Click(int index) {
    guarded(reportOnly(u"ｵﾌﾟｼｮﾝ選択時", "Error100"), [this, index] {
        NewPlanWizardForm* f = m_form;
        if (index == 0) {
            f->cmdSelectOrgFile->setEnabled(true);
            if (!m_project.pickedOrgPath.isEmpty()) {
                f->lblOrgFileName->setText(m_project.pickedOrgName);
                m_pending.orgFilePath = m_project.pickedOrgPath;
                m_pending.orgFileName = m_project.pickedOrgName;
                m_pending.useOrgFile = true;
            } else {
                f->lblOrgFileName->clear();
            }
        } else {
            f->cmdSelectOrgFile->setEnabled(false);
            f->lblOrgFileName->clear();
            m_pending.orgFilePath.clear();
            m_pending.orgFileName.clear();
            m_pending.useOrgFile = false;
        }
    });
}

void FrmNewPlanWizard::cmdSelectOrgFileClick() {
    guarded(terminating(u"原文ﾌｧｲﾙ選択時", "Error97"), [this] {
        m_project.pickedOrgPath.clear();
        m_project.pickedOrgName.clear();
        m_form->lblOrgFileName->clear();
        FileRequest request;
        request.title = QStringLiteral("<原文>ﾌｧｲﾙを選択して下さい");
        request.folder = session().appFolder;
        request.filter =
            QStringLiteral("ﾘｯﾁﾃｷｽﾄ(*.rtf);;ﾃｷｽﾄ(*.txt);;") +
            (DocumentSettings::read(session().appFolder).enabled ? DocumentSettings::OpenFilters
                                                                 : QString()) +
            QStringLiteral("すべて (*)");
        request.selectedFilter = QStringLiteral("すべて (*)");
        const std::optional<QString> path = dialogs().openFile(request);
        if (!path)
            return;
        PlanInfo picked;
        picked.orgFilePath = *path;
        picked.orgFileName = QFileInfo(*path).fileName();
        const QString refusal = projectfiles::refusalFor(picked);
        if (!refusal.isEmpty()) {
            showMessage(refusal);
            return;
        }
        m_project.pickedOrgPath = picked.orgFilePath;
        m_project.pickedOrgName = picked.orgFileName;
        m_form->lblOrgFileName->setText(m_project.pickedOrgName);
    });
}

void FrmNewPlanWizard::cmdSaveTransFileClick() {
    guarded(terminating(u"訳文ﾌｧｲﾙ保存時", "Error96"), [this] {
        NewPlanWizardForm* f = m_form;
        FileRequest request;
        request.title = QStringLiteral("<訳文>ﾌｧｲﾙを名前を付けて保存します");
        request.folder = session().appFolder;
        request.filter = QStringLiteral("ﾘｯﾁﾃｷｽﾄ(*.rtf);;ﾃｷｽﾄ(*.txt)");
        request.selectedFilter = QStringLiteral("ﾘｯﾁﾃｷｽﾄ(*.rtf)");
        request.defaultSuffix = QStringLiteral("rtf");
        std::optional<QString> path = dialogs().saveFile(request);
        if (!path)
            return;
        if (QFileInfo(*path).suffix().isEmpty())
            *path += QStringLiteral(".rtf");
        PlanInfo chosen = m_pending;
        chosen.transFilePath = *path;
        chosen.transFileName = QFileInfo(*path).fileName();
        chosen.cmntFilePath =
            projectfiles::commentFilePath(chosen.transFilePath, chosen.transFileName);
        // A path the project files cannot hold would name another file when read back.
        const QString refusal = projectfiles::refusalFor(chosen);
        if (!refusal.isEmpty()) {
            showMessage(refusal);
            return;
        }
        m_pending.transFilePath = chosen.transFilePath;
        m_pending.transFileName = chosen.transFileName;
        f->lblTransFileName->setText(m_pending.transFileName);
        showCommentFile();
        if (!f->lblTransFileName->text().isEmpty())
            f->cmdOK->setEnabled(true);
        else
            showMessage(QStringLiteral("新規保存するﾌｧｲﾙ名がありません。もう一度「新規保存」ﾎﾞﾀﾝを"
                                       "押して設定して下さい。"));
    });
}

// The comment file follows the translation file while Check1 is checked.
void FrmNewPlanWizard::showCommentFile() {
    NewPlanWizardForm* f = m_form;
    if (f->Check1->isChecked() && !m_pending.transFilePath.isEmpty()) {
        m_pending.useCmnt = true;
        m_pending.cmntFilePath =
            projectfiles::commentFilePath(m_pending.transFilePath, m_pending.transFileName);
        f->lblCmntFileName->setText(QStringLiteral("Cm_") + m_pending.transFileName);
    } else {
        m_pending.useCmnt = f->Check1->isChecked();
        m_pending.cmntFilePath.clear();
        f->lblCmntFileName->clear();
    }
}

void FrmNewPlanWizard::Check1Click() {
    guarded(reportOnly(u"ﾁｪｯｸﾎﾞｯｸｽ１ｸﾘｯｸ時", "Error91"), [this] { showCommentFile(); });
}

void FrmNewPlanWizard::cmdOKClick() {
    guarded(terminating(u"完了ﾎﾞﾀﾝｸﾘｯｸ時", "Error95"), [this] {
        NewPlanWizardForm* f = m_form;
        if (f->lblTransFileName->text().isEmpty()) {
            showMessage(QStringLiteral("<訳文>ﾌｧｲﾙが設定されていないようです。"));
            return;
        }
        // A comment file is made only when one has been named.
        if (m_pending.cmntFilePath.isEmpty())
            m_pending.useCmnt = false;
        m_pending.stackedPanes = true;
        const QString refusal = projectfiles::refusalFor(m_pending);
        if (!refusal.isEmpty()) {
            showMessage(refusal);
            return;
        }
        // The documents come first and the project files last: those make the project.
        const bool documentIsNew = !QFileInfo::exists(m_pending.transFilePath);
        if (m_purpose == Purpose::Save && m_saveWork && !m_saveWork(m_pending))
            return;
        // A document made for a project that then could not be recorded is not left behind.
        const auto dropNewDocument = [&] {
            if (m_purpose == Purpose::Save && documentIsNew)
                QFile::remove(m_pending.transFilePath);
        };
        const QString& appFolder = session().appFolder;
        PlanList plans = m_project.plans;
        plans.push_back(m_pending);
        QString writing = projectfiles::PlanListFile;
        try {
            projectfiles::savePlanList(appFolder, plans);
            if (m_purpose == Purpose::Save) {
                writing = projectfiles::CurrentPlanFile;
                projectfiles::saveCurrentPlan(appFolder, m_pending);
            }
        } catch (const PlanRefused& refused) {
            dropNewDocument();
            showMessage(refused.reason());
            return;
        } catch (const RuntimeFailure& failed) {
            // A full disk or a folder that cannot be written must not end the program with the
            // work in it: the list is put back, and the wizard stays to be finished or
            // cancelled.
            if (writing == projectfiles::CurrentPlanFile) {
                try {
                    projectfiles::savePlanList(appFolder, m_project.plans);
                } catch (const RuntimeFailure&) {
                }
            }
            dropNewDocument();
            EditorExit::reportUnsaved(appFolder + u'/' + writing, failed.description());
            return;
        }
        m_project.plans = std::move(plans);
        m_project.pickedOrgPath.clear();
        m_project.pickedOrgName.clear();
        f->lblOrgFileName->clear();
        m_finished = true;
        if (m_purpose == Purpose::Save) {
            m_project.newPlanMadeCurrent = true;
            m_project.makeCurrent(m_pending);
            m_project.wizardForSave = false;
            m_project.untitledWork = false;
            if (m_madeCurrent)
                m_madeCurrent();
        }
        f->accept();
    });
}

void FrmNewPlanWizard::cmdCancelClick() {
    guarded(reportOnly(u"ｷｬﾝｾﾙﾎﾞﾀﾝｸﾘｯｸ時", "Error93"), [this] {
        // The work in the panes is still unsaved: its modified flags stay as they are.
        m_pending = startValues();
        m_project.wizardForSave = false;
        m_form->reject();
    });
}
