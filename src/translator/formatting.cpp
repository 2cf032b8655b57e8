// SPDX-License-Identifier: GPL-3.0-or-later
#include "formatting.h"

#include "core/projects/projectstate.h"
#include "core/richtext/charstyle.h"
#include "frmtranslatorl.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "selectionformat.h"
#include "selectiontracking.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QToolBar>

namespace {

template <class Body> auto guard(ErrorContext where, Body body) {
    return [where = std::move(where), body = std::move(body)] { guarded(where, body); };
}

} // namespace

Formatting::Formatting(FrmTranslatorL& window) : QObject(&window), m_window(window) {
    connectCommands();
}

void Formatting::connectCommands() {
    TranslatorLForm* f = m_window.form();
    // The size box takes typed sizes on Enter; they are not added to its list.
    f->cboFsize->setInsertPolicy(QComboBox::NoInsert);
    connect(f->cboFname, &QComboBox::textActivated, this, [this](const QString& name) {
        guarded(reportOnly(u"FontName", "Error127"), [&] { fontName(name); });
    });
    connect(f->cboFsize, &QComboBox::textActivated, this, [this, f](const QString& text) {
        // The box also reports its text as chosen when the focus leaves it; that is the user
        // moving on, not choosing a size, and must neither apply it nor pull the focus back.
        const QWidget* focus = QApplication::focusWidget();
        if (focus && focus->window() == f && focus != f->cboFsize &&
            !f->cboFsize->isAncestorOf(focus))
            return;
        guarded(reportOnly(u"FontSize", "Error128"), [&] { fontSize(text); });
    });
    connect(f->cboFsize->lineEdit(), &QLineEdit::returnPressed, this, [this, f] {
        guarded(reportOnly(u"FontSize", "Error129"), [&] { fontSize(f->cboFsize->currentText()); });
    });
    connect(f->ImcboFcolor, &QComboBox::activated, this, [this](int item) {
        guarded(terminating(u"FontColor", "Error137"), [&] { color(item); });
    });

    const auto on = [this](QAction* action, ErrorContext where, auto body) {
        connect(action, &QAction::triggered, this, guard(std::move(where), body));
    };
    on(f->mnuFontSetting, terminating(u"ﾌｫﾝﾄ設定時", "Error148"), [this] { fontDialog(); });
    on(f->popFont, reportOnly(u"POPUPﾌｫﾝﾄ設定選択時", "Error278"), [this] { fontDialog(); });
    on(f->mnuBulletDo, reportOnly(u"ﾌﾞﾚｯﾄ適用時", "Error138"), [this] { bullet(true); });
    on(f->mnuBulletRelease, reportOnly(u"ﾌﾞﾚｯﾄ解除時", "Error139"), [this] { bullet(false); });
    on(f->mnuCenterAlignment, reportOnly(u"中央揃え時", "Error140"), [this] { align(2); });
    on(f->mnuLeftAlignment, reportOnly(u"左揃え時", "Error155"), [this] { align(0); });
    on(f->mnuRightAlignment, reportOnly(u"右揃え時", "Error162"), [this] { align(1); });
    on(f->mnuIndentDo, reportOnly(u"ｲﾝﾃﾞﾝﾄ適用時", "Error151"), [this] { indent(true); });
    on(f->mnuIndentRelease, reportOnly(u"ｲﾝﾃﾞﾝﾄ解除時", "Error152"), [this] { indent(false); });
    on(f->mnuSelectAll, reportOnly(u"すべて選択時", "Error164"), [this] { selectAll(); });
    on(f->mnuCopy, reportOnly(u"ｺﾋﾟｰ時", "Error143"), [this] { copy(); });
    on(f->mnuCut, reportOnly(u"ｶｯﾄ時", "Error144"), [this] { cut(); });
    on(f->mnuPaste, reportOnly(u"貼付け時", "Error159"), [this] { paste(); });
    on(f->popCopy, reportOnly(u"POPUPｺﾋﾟｰ選択時", "Error276"), [this] { copy(); });
    on(f->popCut, reportOnly(u"POPUPｶｯﾄ選択時", "Error277"), [this] { cut(); });
    on(f->popPaste, reportOnly(u"POPUP貼り付け選択時", "Error279"), [this] { paste(); });
    on(f->popSelectAll, reportOnly(u"POPUP全て選択時", "Error281"), [this] { selectAll(); });

    // "save" and "Qsearch" are served by the saving and quick-search commands themselves; the
    // other project buttons run their menu items, so whoever serves an item serves its button.
    for (QAction* button : f->Toolbar1->actions()) {
        const QString key = button->data().toString();
        if (key.isEmpty() || key == u"save" || key == u"Qsearch")
            continue;
        on(button, terminating(u"ﾂｰﾙﾊﾞｰｸﾘｯｸ時", "Error170"), [this, key] { toolbarClick(key); });
    }
}

RichTextPane* Formatting::strictTarget() const {
    const QString& active = m_window.activePane();
    if (active == u"Rtxt1")
        return m_window.form()->Rtxt1;
    if (active == u"Rtxt2")
        return m_window.form()->Rtxt2;
    return nullptr;
}

RichTextPane* Formatting::defaultTarget() const {
    return m_window.activePane() == u"Rtxt1" ? m_window.form()->Rtxt1 : m_window.form()->Rtxt2;
}

void Formatting::focusPane(RichTextPane* pane) {
    // While the find dialog is open the user works there; the focus stays where it is.
    if (m_window.form()->isVisible() && !m_window.project().findDialogOpen)
        pane->setFocus();
}

void Formatting::fontName(const QString& name) {
    RichTextPane* pane = strictTarget();
    if (!pane)
        return;
    if (!name.isEmpty() && pane->selFontName() != name)
        pane->setSelFontName(name);
    focusPane(pane);
}

void Formatting::fontSize(const QString& text) {
    RichTextPane* pane = strictTarget();
    if (!pane)
        return;
    bool ok = false;
    const double points = text.trimmed().toDouble(&ok);
    const std::optional<double> now = pane->selFontSize();
    // Choosing from the list after typing the same size would otherwise apply it twice, as two
    // undo steps.
    const bool applied = ok && (now == points || pane->setSelFontSize(points));
    // A refused size must not stay in the box as if the text had it.
    if (!applied)
        m_window.form()->cboFsize->setCurrentText(now ? QString::number(*now) : QString());
    focusPane(pane);
}

void Formatting::color(int item) {
    RichTextPane* pane = strictTarget();
    if (!pane)
        return;
    QComboBox* list = m_window.form()->ImcboFcolor;
    if (item == list->count() - 1) {
        const std::optional<QColor> chosen =
            dialogs().color(pane->selColor().value_or(QColor(0, 0, 0)));
        if (chosen && chosen->isValid())
            pane->setSelColor(*chosen);
        // The list never rests on "その他": it shows the colour the selection, or the caret, has.
        list->setCurrentIndex(SelectionTracking::colorItem(pane->selColor()));
        return;
    }
    const QColor colour = list->itemData(item).value<QColor>();
    if (colour.isValid())
        pane->setSelColor(colour);
}

void Formatting::fontDialog() {
    RichTextPane* pane = strictTarget();
    const std::optional<QFont> font = dialogs().font(QFont());
    if (!font || !pane)
        return;
    // The font dialog has no colour: it is chosen right after the font, starting from the
    // selection's, and cancelling it keeps the colour while the font still applies.
    const std::optional<QColor> colour =
        dialogs().color(pane->selColor().value_or(QColor(0, 0, 0)));
    // Everything merged at once is one undo step. Merging each part on its own, even inside one
    // edit block, made undo put the caret the sum of their lengths past the selection's start,
    // beyond the end of a short text.
    QTextCharFormat format;
    if (!font->families().isEmpty())
        format.setFontFamilies({font->families().constFirst()});
    if (font->pointSizeF() > 0)
        format.setFontPointSize(font->pointSizeF());
    format.setFontWeight(font->bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font->italic());
    format.setFontStrikeOut(font->strikeOut());
    richtext::setUnderline(format, font->underline() ? richtext::Underline::Single
                                                     : richtext::Underline::None);
    if (colour && colour->isValid())
        format.setForeground(*colour);
    // Through the pane, so that a large selection is laid out afresh like the bar's formats.
    pane->mergeSelFormat(format);
}

void Formatting::toggle(Attribute attribute) {
    RichTextPane* pane = strictTarget();
    const char* key = attribute == Attribute::Bold     ? "bold"
                      : attribute == Attribute::Italic ? "italic"
                                                       : "underline";
    QAction* button = m_window.form()->toolButton(QLatin1String(key));
    if (!pane) {
        // The button shows the selection, not the click.
        button->setChecked(!button->isChecked());
        return;
    }
    // The whole selection gets the attribute, so the button shows the new value without reading
    // the selection again.
    const SelectionFormat now = SelectionFormat::of(*pane);
    bool on = false;
    switch (attribute) {
    case Attribute::Bold:
        on = !now.bold.value_or(false);
        pane->setSelBold(on);
        break;
    case Attribute::Italic:
        on = !now.italic.value_or(false);
        pane->setSelItalic(on);
        break;
    case Attribute::Underline:
        on = !now.underline.value_or(false);
        pane->setSelUnderline(on);
        break;
    }
    button->setChecked(on);
}

void Formatting::bullet(bool on) {
    RichTextPane* pane = strictTarget();
    if (!pane)
        return;
    pane->setBulletIndent(on ? 480 : 0);
    pane->setSelBullet(on);
}

void Formatting::align(int alignment) {
    defaultTarget()->setSelAlignment(RichTextPane::Alignment(alignment));
}

void Formatting::indent(bool on) {
    defaultTarget()->setSelIndent(on ? m_window.project().indentWidth : 0);
}

void Formatting::selectAll() {
    RichTextPane* pane = defaultTarget();
    pane->setSelStart(0);
    pane->setSelLength(int(pane->toPlainText().size()));
}

void Formatting::copy() {
    QWidget* w = QApplication::focusWidget();
    QString text;
    if (auto* line = qobject_cast<QLineEdit*>(w))
        text = line->selectedText();
    else if (auto* edit = qobject_cast<QTextEdit*>(w))
        text = RichTextPane::selectedPlainText(edit->textCursor());
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        text = RichTextPane::selectedPlainText(plain->textCursor());
    else
        return;
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void Formatting::cut() {
    QWidget* w = QApplication::focusWidget();
    copy();
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        // Without a selection del() would take the character behind the caret.
        if (!line->isReadOnly() && line->hasSelectedText())
            line->del();
    } else if (auto* edit = qobject_cast<QTextEdit*>(w)) {
        if (!edit->isReadOnly())
            edit->textCursor().removeSelectedText();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        if (!plain->isReadOnly())
            plain->textCursor().removeSelectedText();
    }
}

void Formatting::paste() {
    QWidget* w = QApplication::focusWidget();
    // The controls' own paste inserts plain text and keeps their length limits.
    if (auto* line = qobject_cast<QLineEdit*>(w))
        line->paste();
    else if (auto* edit = qobject_cast<QTextEdit*>(w))
        edit->paste();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        plain->paste();
}

void Formatting::toolbarClick(const QString& key) {
    TranslatorLForm* f = m_window.form();
    if (key == u"new")
        f->mnuNew->trigger();
    else if (key == u"open")
        f->mnuOpen->trigger();
    else if (key == u"print")
        f->mnuPrint->trigger();
    else if (key == u"cut")
        cut();
    else if (key == u"copy")
        copy();
    else if (key == u"paste")
        paste();
    else if (key == u"find")
        f->mnuFind->trigger();
    else if (key == u"bold")
        toggle(Attribute::Bold);
    else if (key == u"italic")
        toggle(Attribute::Italic);
    else if (key == u"underline")
        toggle(Attribute::Underline);
    else if (key == u"IndentDo")
        indent(true);
    else if (key == u"ReIndent")
        indent(false);
    else if (key == u"CmntOpen")
        f->mnuComment->trigger();
    else if (key == u"help")
        f->mnuHelpOpen->trigger();
}
