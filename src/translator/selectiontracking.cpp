// SPDX-License-Identifier: GPL-3.0-or-later
#include "selectiontracking.h"

#include "core/projects/projectstate.h"
#include "platform/errorguard.h"
#include "selectionformat.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAction>
#include <QComboBox>

SelectionTracking::SelectionTracking(TranslatorLForm& form, ProjectState& project)
    : m_form(form), m_project(project) {
    watch(form.Rtxt1, true);
    watch(form.Rtxt2, false);
}

void SelectionTracking::watch(RichTextPane* pane, bool original) {
    m_documents[original ? 0 : 1] = pane->document();
    const auto context = original ? terminating(u"原文ﾁｪﾝｼﾞ時", "Error167")
                                  : terminating(u"訳文ﾁｪﾝｼﾞ時", "Error169");
    connect(pane, &QTextEdit::selectionChanged, this,
            [this, pane, context] { guarded(context, [&] { showSelection(pane); }); });
    // textChanged follows the pane to a newly loaded document and covers format changes too.
    connect(pane, &QTextEdit::textChanged, this, [this, pane, original, context] {
        guarded(context, [&] { contentsChanged(pane, original); });
    });
}

void SelectionTracking::contentsChanged(RichTextPane* pane, bool original) {
    const QTextDocument*& known = m_documents[original ? 0 : 1];
    if (known != pane->document()) {
        known = pane->document();
        return;
    }
    // Text being composed is shown in the pane but not yet in it; a composition given up
    // changed nothing.
    if (pane->isComposing())
        return;
    // A format applied to the selection changes no selection, yet the bar must show it.
    showSelection(pane);
    bool& modified = original ? m_project.orgModified : m_project.transModified;
    if (modified)
        return;
    modified = true;
    m_form.mnuSave->setEnabled(true);
    m_form.toolButton(QStringLiteral("save"))->setEnabled(true);
}

int SelectionTracking::colorItem(const std::optional<QColor>& color) {
    if (!color)
        return 0;
    // Tried in this order; the first equal one is shown.
    static const struct {
        int item;
        QRgb rgb;
    } table[] = {
        {2, qRgb(0, 0, 255)},   {3, qRgb(0, 255, 255)}, {4, qRgb(0, 128, 0)}, {5, qRgb(0, 255, 0)},
        {6, qRgb(255, 0, 255)}, {7, qRgb(255, 0, 0)},   {1, qRgb(0, 0, 0)},
    };
    const QRgb rgb = color->rgb();
    for (const auto& entry : table)
        if (entry.rgb == rgb)
            return entry.item;
    return 0;
}

void SelectionTracking::showSelection(RichTextPane* pane) {
    if (pane->selLength() < 1)
        return;
    const SelectionFormat format = SelectionFormat::of(*pane);
    if (format.fontName) {
        // A document may use a font this system lacks; the bar must still name it rather than
        // keep showing the previous selection's.
        if (m_form.cboFname->findText(*format.fontName) < 0)
            m_form.cboFname->addItem(*format.fontName);
        m_form.cboFname->setCurrentText(*format.fontName);
    }
    if (format.fontSize)
        m_form.cboFsize->setCurrentText(QString::number(*format.fontSize));
    const auto press = [&](const char* key, const std::optional<bool>& on) {
        m_form.toolButton(QLatin1String(key))->setChecked(on.value_or(false));
    };
    press("bold", format.bold);
    press("italic", format.italic);
    press("underline", format.underline);
    m_form.ImcboFcolor->setCurrentIndex(colorItem(format.color));
}
