// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmbunkatu.h"

#include "core/projects/projectstate.h"
#include "platform/errorguard.h"
#include "ui/bunkatuform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FrmBunkatu::FrmBunkatu(SplitSettings& settings, QWidget* parent)
    : m_settings(settings), m_form(new BunkatuForm(parent)) {
    connect(m_form->Check1, &QCheckBox::clicked, this, [this] { Check1Click(); });
    connect(m_form->cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    connect(m_form->cmdCancel, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
}

FrmBunkatu::~FrmBunkatu() {
    delete m_form;
}

int FrmBunkatu::exec() {
    formLoad();
    return m_form->exec();
}

void FrmBunkatu::enableDecorations(bool on) {
    BunkatuForm* f = m_form;
    for (QWidget* w : {static_cast<QWidget*>(f->Frame1), static_cast<QWidget*>(f->Text1),
                       static_cast<QWidget*>(f->Text2), static_cast<QWidget*>(f->Label2),
                       static_cast<QWidget*>(f->Label3)})
        w->setEnabled(on);
}

void FrmBunkatu::formLoad() {
    guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error202"), [this] {
        BunkatuForm* f = m_form;
        f->Check1->setChecked(m_settings.numbering);
        enableDecorations(m_settings.numbering);
        f->Text1->setText(m_settings.beforeNumber);
        f->Text2->setText(m_settings.afterNumber);
        f->Text3->setText(m_settings.terminators);
        f->Combo1->setCurrentIndex(std::clamp<int>(m_settings.blockSpacing, 0, 2));
    });
}

void FrmBunkatu::Check1Click() {
    guarded(reportOnly(u"ﾁｪｯｸﾎﾞｯｸｽ選択時", "Error199"),
            [this] { enableDecorations(m_form->Check1->isChecked()); });
}

void FrmBunkatu::cmdOKClick() {
    guarded(terminating(u"OK時", "Error201"), [this] {
        BunkatuForm* f = m_form;
        m_settings.numbering = f->Check1->isChecked();
        // Decorations switched off keep the values they had, ready for when they come back.
        if (m_settings.numbering) {
            m_settings.beforeNumber = f->Text1->text();
            m_settings.afterNumber = f->Text2->text();
        }
        m_settings.terminators = f->Text3->text();
        if (f->Combo1->currentIndex() >= 0)
            m_settings.blockSpacing = qint16(f->Combo1->currentIndex());
        f->accept();
    });
}

void FrmBunkatu::cmdCancelClick() {
    guarded(terminating(u"閉じる時", "Error200"), [this] { m_form->reject(); });
}
