// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmindent.h"

#include "core/projects/projectstate.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/indentform.h"
#include "ui/richtextpane.h"
#include "unitentry.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace {
// Six characters: what an indent of "0" and a paragraph without indent stand for.
constexpr int UsualIndent = 720;
} // namespace

FrmIndent::FrmIndent(ProjectState& project, RichTextPane* activePane, QWidget* parent)
    : m_project(project), m_activePane(activePane), m_form(new IndentForm(parent)) {
    connect(m_form->Command1, &QPushButton::clicked, this,
            [this] { guarded(terminating(u"閉じる時", "Error53"), [this] { Command1Click(); }); });
}

FrmIndent::~FrmIndent() {
    delete m_form;
}

void FrmIndent::exec() {
    const qint16 before = m_project.indentWidth;
    if (!guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error54"), [this] { formLoad(); }))
        return;
    // Closed without OK: the width the dialog started from must not replace the one in use, or a
    // look at a paragraph without indent would leave the indent command doing nothing.
    if (m_form->exec() != QDialog::Accepted)
        m_project.indentWidth = before;
}

void FrmIndent::formLoad() {
    // A selection over paragraphs of different indents has no single one; the width stays.
    if (m_activePane)
        if (const std::optional<int> indent = m_activePane->selIndent())
            m_project.indentWidth = qint16(std::clamp(*indent, -32768, 32767));
    m_form->Text1->setText(m_project.indentWidth != 0 ? unitentry::fromTwips(m_project.indentWidth)
                                                      : unitentry::fromTwips(UsualIndent));
}

void FrmIndent::Command1Click() {
    const std::optional<int> twips = unitentry::toTwips(m_form->Text1->text());
    if (!twips) {
        showMessage(unitentry::refusal(QString()), QStringLiteral("ｲﾝﾃﾞﾝﾄ値の設定"),
                    MessageButtons::Ok, MessageIcon::Exclamation);
        m_form->Text1->setFocus();
        m_form->Text1->selectAll();
        return;
    }
    m_project.indentWidth = qint16(*twips != 0 ? *twips : UsualIndent);
    m_form->accept();
}
