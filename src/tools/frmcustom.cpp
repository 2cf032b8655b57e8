// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/frmcustom.h"

#include "core/settings/session.h"
#include "core/settings/settings.h"
#include "platform/appearance.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/customform.h"

#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>

namespace {
// The four box groups, in the order of the dialog's rows.
enum Group { Word, Meaning, Input, List };
} // namespace

FrmCustom::FrmCustom(std::function<void()> apply, QWidget* parent)
    : m_apply(std::move(apply)), m_form(new CustomForm(parent)) {
    CustomForm* f = m_form;
    const struct {
        QPushButton* font;
        const char16_t* fontContext;
        const char* fontCode;
        QPushButton* color;
        const char* colorCode;
        QComboBox* combo;
        const char* comboCode;
    } rows[] = {
        {f->cmdText1, u"ﾌｫﾝﾄ設定時", "Error38", f->cmdT1Color, "Error35", f->cboT1, "Error22"},
        {f->cmdText2, u"ﾌｫﾝﾄ設定時", "Error39", f->cmdT2Color, "Error36", f->cboT2, "Error23"},
        {f->cmdText3, u"ﾌｫﾝﾄ設定時", "Error40", f->cmdT3Color, "Error37", f->cboT3, "Error24"},
        {f->cmdList1, u"ﾌｫﾝﾄ設定時", "Error33", f->cmdL1Color, "Error32", f->cboL1, "Error21"}};
    for (int g = 0; g < 4; ++g) {
        const auto& r = rows[g];
        const ErrorContext font = terminating(r.fontContext, r.fontCode);
        const ErrorContext color = terminating(u"ｶﾗｰ選択時", r.colorCode);
        const ErrorContext combo = reportOnly(u"ｺﾝﾎﾞﾎﾞｯｸｽｸﾘｯｸ時", r.comboCode);
        connect(r.font, &QPushButton::clicked, this,
                [this, g, font] { guarded(font, [&] { fontClick(g); }); });
        connect(r.color, &QPushButton::clicked, this,
                [this, g, color] { guarded(color, [&] { colorClick(g); }); });
        connect(r.combo, &QComboBox::activated, this,
                [this, g, combo] { guarded(combo, [&] { comboClick(g); }); });
    }
    const struct {
        QPushButton* button;
        const char16_t* context;
        const char* code;
        qint32 DisplaySettings::*setting;
    } windows[] = {
        {f->cmdBColor, u"背景色選択時", "Error25", &DisplaySettings::mainBackColor},
        {f->cmdFColor, u"色選択時", "Error29", &DisplaySettings::mainTextColor},
        {f->cmdJEBColor, u"背景色選択時", "Error30", &DisplaySettings::meaningToWordQuizBackColor},
        {f->cmdJEFColor, u"色選択時", "Error31", &DisplaySettings::meaningToWordQuizTextColor},
        {f->cmdEJBColor, u"背景色選択時", "Error27", &DisplaySettings::wordToMeaningQuizBackColor},
        {f->cmdEJFColor, u"背景色選択時", "Error28", &DisplaySettings::wordToMeaningQuizTextColor},
    };
    for (const auto& w : windows) {
        const ErrorContext where = terminating(w.context, w.code);
        const auto setting = w.setting;
        connect(w.button, &QPushButton::clicked, this,
                [this, where, setting] { guarded(where, [&] { windowColorClick(setting); }); });
    }
    connect(f->cmdOK, &QPushButton::clicked, this,
            [this] { guarded(terminating(u"OKｸﾘｯｸ時", "Error34"), [this] { cmdOKClick(); }); });
    connect(f->cmdCancel, &QPushButton::clicked, this,
            [this] { guarded(terminating(u"ｷｬﾝｾﾙ時", "Error26"), [this] { cmdCancelClick(); }); });
    connect(f->Command1, &QPushButton::clicked, this, [this] {
        guarded(reportOnly(u"ｺﾝﾎﾞﾎﾞｯｸｽｸﾘｯｸ時", "Error41"), [this] { Command1Click(); });
    });
}

FrmCustom::~FrmCustom() {
    delete m_form;
}

int FrmCustom::exec() {
    guarded(terminating(u"ｺﾝﾎﾞﾎﾞｯｸｽｸﾘｯｸ時", "Error42"), [this] { formLoad(); });
    return m_form->exec();
}

FontGroup& FrmCustom::group(int index) {
    switch (index) {
    case Word:
        return m_values.word;
    case Meaning:
        return m_values.meaning;
    case Input:
        return m_values.input;
    default:
        return m_values.list;
    }
}

QLabel* FrmCustom::sampleOf(int group) const {
    QLabel* samples[] = {m_form->lblT1, m_form->lblT2, m_form->lblT3, m_form->lblL1};
    return samples[std::clamp(group, 0, 3)];
}

QComboBox* FrmCustom::comboOf(int group) const {
    QComboBox* combos[] = {m_form->cboT1, m_form->cboT2, m_form->cboT3, m_form->cboL1};
    return combos[std::clamp(group, 0, 3)];
}

void FrmCustom::formLoad() {
    m_values = session().display;
    paintSamples();
    for (int g = 0; g < 4; ++g) {
        QComboBox* combo = comboOf(g);
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(std::clamp<int>(group(g).imeMode, 0, combo->count() - 1));
    }
}

void FrmCustom::paintSamples() {
    for (int g = 0; g < 4; ++g) {
        const FontGroup& values = group(g);
        QLabel* sample = sampleOf(g);
        appearance::setFont(sample, values.name, values.size, values.bold, values.italic);
        appearance::setTextColor(sample, values.textColor);
        appearance::setBackColor(sample, values.backColor);
    }
    const struct {
        QLabel* sample;
        qint32 back;
        qint32 text;
    } windows[] = {
        {m_form->lblSample, m_values.mainBackColor, m_values.mainTextColor},
        {m_form->lblSampleJE, m_values.meaningToWordQuizBackColor,
         m_values.meaningToWordQuizTextColor},
        {m_form->lblSampleEJ, m_values.wordToMeaningQuizBackColor,
         m_values.wordToMeaningQuizTextColor},
    };
    for (const auto& w : windows) {
        appearance::setBackColor(w.sample, w.back);
        appearance::setTextColor(w.sample, w.text);
    }
}

void FrmCustom::fontClick(int index) {
    FontGroup& g = group(index);
    QFont preset(g.name);
    preset.setPointSize(std::max<int>(1, g.size));
    preset.setBold(g.bold);
    preset.setItalic(g.italic);
    // The dialog lists installed fonts only, so it is preset to the font that stands in for the
    // stored one; left as it was, the stored (Windows) name is kept.
    const QString shown = QFontInfo(preset).family();
    preset.setFamily(shown);
    const std::optional<QFont> font = dialogs().font(preset);
    if (!font)
        return;
    if (font->family() != shown) {
        if (!appearance::acceptChosenFont(font->family()))
            return;
        g.name = font->family();
    }
    g.size = qint16(qRound(font->pointSizeF()));
    g.bold = font->bold();
    g.italic = font->italic();
    // The font dialog has no colour: the text colour is chosen right after it, and cancelling
    // that keeps the colour.
    if (const std::optional<QColor> color = dialogs().color(appearance::toColor(g.textColor)))
        g.textColor = appearance::fromColor(*color);
    paintSamples();
}

void FrmCustom::colorClick(int index) {
    FontGroup& g = group(index);
    if (const std::optional<QColor> color = dialogs().color(appearance::toColor(g.backColor))) {
        g.backColor = appearance::fromColor(*color);
        paintSamples();
    }
}

void FrmCustom::windowColorClick(qint32 DisplaySettings::*setting) {
    if (const std::optional<QColor> color =
            dialogs().color(appearance::toColor(m_values.*setting))) {
        m_values.*setting = appearance::fromColor(*color);
        paintSamples();
    }
}

void FrmCustom::comboClick(int index) {
    group(index).imeMode = qint16(comboOf(index)->currentIndex());
}

void FrmCustom::cmdOKClick() {
    session().display = m_values;
    if (m_apply)
        m_apply();
    WriteDisplaySettings(session().appFolder, m_values);
    m_form->accept();
}

void FrmCustom::cmdCancelClick() {
    session().display = ReadDisplaySettings(session().appFolder);
    m_form->reject();
}

void FrmCustom::Command1Click() {
    // The samples keep their look; the main window takes the defaults on OK or at the next start.
    m_values = SetDefaultDisplaySettings();
    session().display = m_values;
    WriteDisplaySettings(session().appFolder, m_values);
}
