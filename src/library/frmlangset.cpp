// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmlangset.h"

#include "bookhost.h"
#include "core/settings/booklist.h"
#include "core/settings/session.h"
#include "core/text/cp932.h"
#include "platform/appearance.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/langsetform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace {

// A caption or range end must survive the quoted fields of the set file.
QString refusalForCaption(const QString& text) {
    if (text.contains(u'"'))
        return QStringLiteral("ﾎﾞﾀﾝの文字にダブルクォーテーション（\"）は使えません。");
    const QString bad = cp932::unencodable(text);
    if (!bad.isEmpty())
        return QStringLiteral("ﾎﾞﾀﾝの文字に保存できない文字が含まれています：") + bad;
    return {};
}

} // namespace

FrmLangSet::FrmLangSet(Origin origin, QString setName, BookHost* main, QWidget* parent)
    : m_origin(origin), m_setName(std::move(setName)), m_main(main),
      m_form(new LangSetForm(parent)) {
    connect(m_form->Combo1, &QComboBox::activated, this, [this] { Combo1Click(); });
    connect(m_form->cmdNewSet, &QPushButton::clicked, this, [this] { cmdNewSetClick(); });
    connect(m_form->cmdSave, &QPushButton::clicked, this, [this] { cmdSaveClick(); });
    connect(m_form->cmdFontSet, &QPushButton::clicked, this, [this] { cmdFontSetClick(); });
    connect(m_form->cmdFontDefault, &QPushButton::clicked, this, [this] { cmdFontDefaultClick(); });
    connect(m_form->cmdExit, &QPushButton::clicked, this, [this] { cmdExitClick(); });
    m_form->installEventFilter(this);
}

FrmLangSet::~FrmLangSet() {
    m_form->removeEventFilter(this);
    delete m_form;
}

int FrmLangSet::exec() {
    formLoad();
    return m_form->exec();
}

QString FrmLangSet::setName() const {
    return m_form->Combo1->currentText();
}

bool FrmLangSet::eventFilter(QObject* watched, QEvent* event) {
    // A new set is not left unsaved by the close box or Esc either.
    if (watched != m_form || !m_pending)
        return false;
    if (event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        return true;
    return false;
}

void FrmLangSet::formLoad() {
    guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error64"), [this] {
        Session& s = session();
        m_form->Combo1->clear();
        m_form->Combo1->addItems(s.setList);
        m_form->Combo1->setCurrentIndex(m_form->Combo1->findText(m_setName));
        m_form->Combo1->setEditText(m_setName);
        guarded(reportOnly(u"ｲﾆｼｬﾙﾊﾟﾚｯﾄのﾌｫﾝﾄ情報読み込み時", "Error212"),
                [&] { s.paletteFont = ReadPaletteFont(s.appFolder); });
        ApplyPaletteFontToSetEditor();
        // A set whose file is missing shows empty rows rather than ending the program.
        const bool saved = languageset::fileExists(s.appFolder, m_setName);
        m_rows = saved ? languageset::read(s.appFolder, m_setName) : PaletteRows{};
        if (!saved)
            for (PaletteRow& row : m_rows)
                row.enabled = 0;
        setPending(false);
        rowsToControls();
    });
}

void FrmLangSet::rowsToControls() {
    guarded(reportOnly(u"ﾌﾟﾛﾊﾟﾃｨ取得時", "Error59"), [this] {
        for (int i = 0; i < 26; ++i) {
            m_form->Text1[i]->setText(m_rows[size_t(i)].rangeStart);
            m_form->Text2[i]->setText(m_rows[size_t(i)].rangeEnd);
            m_form->Check1[i]->setChecked(m_rows[size_t(i)].enabled != 0);
        }
    });
}

bool FrmLangSet::controlsToRows() {
    return guarded(reportOnly(u"ﾌﾟﾛﾊﾟﾃｨ設定時", "Error60"), [this] {
        for (int i = 0; i < 26; ++i) {
            m_rows[size_t(i)].rangeStart = m_form->Text1[i]->text();
            m_rows[size_t(i)].rangeEnd = m_form->Text2[i]->text();
            m_rows[size_t(i)].enabled = m_form->Check1[i]->isChecked() ? 1 : 0;
        }
    });
}

void FrmLangSet::setPending(bool pending) {
    m_pending = pending;
    m_form->cmdExit->setEnabled(!pending);
    m_form->Combo1->setEnabled(!pending);
    m_form->cmdNewSet->setEnabled(!pending);
    if (pending) {
        appearance::setBackColor(m_form->cmdSave, appearance::fromColor(QColor(255, 192, 255)));
    } else {
        m_form->cmdSave->setPalette(QPalette());
        m_form->cmdSave->setAutoFillBackground(false);
    }
}

void FrmLangSet::Combo1Click() {
    showMessage(
        QStringLiteral("特定の言語ｾｯﾄを修正したい場合は、「使用ﾌﾞｯｸの選択」ﾀﾞｲｱﾛｸﾞへ戻って\r\n"
                       "特定の言語ｾｯﾄを表示させてから [言語ｾｯﾄの修正]ﾎﾞﾀﾝを押してください。"),
        QStringLiteral("ご面倒おかけします"));
}

void FrmLangSet::cmdNewSetClick() {
    guarded(reportOnly(u"言語ｾｯﾄの新規作成時", "Error62"), [this] {
        const std::optional<QString> answer = dialogs().inputBox(
            QStringLiteral("言語ｾｯﾄの新規作成"),
            QStringLiteral("新しく作成する言語ｾｯﾄ名を入力して下さい\r\n(例:『日本語ｾｯﾄ』)"
                           "\r\n空欄で OK を押すとｷｬﾝｾﾙとなります"),
            QString());
        if (!answer || answer->isEmpty())
            return;
        const QString refusal = names::refusalForNew(*answer, names::Kind::Set);
        if (!refusal.isEmpty()) {
            showMessage(refusal, QStringLiteral("言語ｾｯﾄの新規作成"));
            return;
        }
        // The set joins the set list only once it is saved, so an unsaved set is never offered
        // or listed in Langset.vtd.
        const QString name = names::stored(*answer);
        if (m_form->Combo1->findText(name) < 0)
            m_form->Combo1->addItem(name);
        m_form->Combo1->setCurrentIndex(m_form->Combo1->findText(name));
        m_rows = PaletteRows{};
        for (PaletteRow& row : m_rows)
            row.enabled = 0;
        rowsToControls();
        showMessage(QStringLiteral("次にｲﾆｼｬﾙﾊﾟﾚｯﾄの内容を設定します。\r\n設定が完了したら保存する"
                                   "のを忘れないで下さい！"),
                    AppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
        setPending(true);
        m_form->Text1[0]->setFocus();
    });
}

void FrmLangSet::cmdSaveClick() {
    guarded(reportOnly(u"設定内容保存時", "Error63"), [this] {
        if (showMessage(
                QStringLiteral("選択されている言語ｾｯﾄ名で設定内容を保存します。\r\n既にある言語ｾｯﾄ"
                               "名は新しい内容で上書きされます。\r\nよろしいですか？"),
                QStringLiteral("設定内容の保存"), MessageButtons::YesNo,
                MessageIcon::Exclamation) != Answer::Yes)
            return;
        const QString typed = m_form->Combo1->currentText();
        // A set already listed keeps its name; a new one must fit.
        QString refusal = session().setList.contains(typed)
                              ? names::refusal(typed, names::Kind::Set)
                              : names::refusalForNew(typed, names::Kind::Set);
        for (int i = 0; i < 26 && refusal.isEmpty(); ++i) {
            refusal = refusalForCaption(m_form->Text1[i]->text());
            if (refusal.isEmpty())
                refusal = refusalForCaption(m_form->Text2[i]->text());
        }
        if (!refusal.isEmpty()) {
            showMessage(refusal + QStringLiteral("\r\n保存しませんでした。"),
                        QStringLiteral("設定内容の保存"));
            return;
        }
        if (!controlsToRows())
            return;
        Session& s = session();
        const QString name = names::stored(typed);
        m_form->Combo1->setEditText(name);
        m_setName = name;
        languageset::write(s.appFolder, name, m_rows);
        if (!s.setList.contains(name))
            s.setList.append(name);
        languageset::writeList(s.appFolder, s.setList);
        setPending(false);
        showMessage(QStringLiteral("現在の言語ｾｯﾄ名の設定内容を保存しました"),
                    QStringLiteral("設定内容保存確認"));
    });
}

void FrmLangSet::applyPaletteFontEverywhere() {
    ApplyPaletteFontToSetEditor();
    if (m_main)
        m_main->ApplyPaletteFont();
}

void FrmLangSet::cmdFontSetClick() {
    guarded(reportOnly(u"ﾌｫﾝﾄ変更時", "Error209"), [this] {
        PaletteFont& p = session().paletteFont;
        QFont current(p.name);
        current.setPointSize(p.size);
        current.setBold(p.bold);
        current.setItalic(p.italic);
        // The dialog lists installed fonts only, so it is preset to the font that stands in for
        // the stored one; left as it was, the stored (Windows) name is kept.
        const QString shown = QFontInfo(current).family();
        current.setFamily(shown);
        const std::optional<QFont> chosen = dialogs().font(current);
        if (!chosen)
            return;
        if (chosen->family() != shown) {
            if (!appearance::acceptChosenFont(chosen->family()))
                return;
            p.name = chosen->family();
        }
        p.size = qint16(std::nearbyint(chosen->pointSizeF()));
        p.bold = chosen->bold();
        p.italic = chosen->italic();
        // The font dialog has no colour: the palette's colour is chosen right after it, and
        // cancelling that keeps the colour.
        if (const std::optional<QColor> color = dialogs().color(appearance::toColor(p.color)))
            p.color = appearance::fromColor(*color);
        WritePaletteFont(session().appFolder, p);
        applyPaletteFontEverywhere();
    });
}

void FrmLangSet::cmdFontDefaultClick() {
    guarded(reportOnly(u"ﾌｫﾝﾄ初期化時", "Error208"), [this] {
        session().paletteFont = SetDefaultPaletteFont();
        WritePaletteFont(session().appFolder, session().paletteFont);
        applyPaletteFontEverywhere();
    });
}

void FrmLangSet::cmdExitClick() {
    guarded(terminating(u"閉じる時", "Error61"), [this] { m_form->accept(); });
}

void FrmLangSet::ApplyPaletteFontToSetEditor() {
    guarded(reportOnly(u"言語ｾｯﾄﾀﾞｲｱﾛｸﾞのﾌｫﾝﾄ設定時", "Error211"), [this] {
        const PaletteFont& p = session().paletteFont;
        for (int i = 0; i < 26; ++i)
            for (QLineEdit* box : {m_form->Text1[i], m_form->Text2[i]}) {
                appearance::setFittingFont(box, p.name, p.size, p.bold, p.italic);
                appearance::setTextColor(box, p.color);
            }
    });
}
