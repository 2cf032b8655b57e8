// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmversion.h"

#include "platform/errorguard.h"
#include "ui/versionform.h"

#include <QPushButton>

FrmVersion::FrmVersion(QWidget* parent) : m_form(new VersionForm(parent)) {
    QObject::connect(m_form->Command1, &QPushButton::clicked, m_form, [this] { Command1Click(); });
}

FrmVersion::~FrmVersion() {
    delete m_form;
}

int FrmVersion::exec() {
    return m_form->exec();
}

void FrmVersion::Command1Click() {
    guarded({QStringLiteral("OK時"), QStringLiteral("Error185"), GuardKind::Terminating},
            [this] { m_form->accept(); });
}
