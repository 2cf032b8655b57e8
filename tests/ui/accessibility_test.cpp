// SPDX-License-Identifier: GPL-3.0-or-later
// A screen reader names every control of every window: walks each window's accessibility tree as
// an assistive technology would and reports each control it could only call by its kind.
#include "ui/bunkatuform.h"
#include "ui/commentform.h"
#include "ui/customform.h"
#include "ui/findform.h"
#include "ui/getdirform.h"
#include "ui/glossarypanelform.h"
#include "ui/indentform.h"
#include "ui/inportform.h"
#include "ui/langsetform.h"
#include "ui/limitedtextedit.h"
#include "ui/mainform.h"
#include "ui/mergeform.h"
#include "ui/newplanwizardform.h"
#include "ui/plansetform.h"
#include "ui/printform.h"
#include "ui/progressform.h"
#include "ui/quizform.h"
#include "ui/restorebackupform.h"
#include "ui/reviewform.h"
#include "ui/richtextpane.h"
#include "ui/selectfolderform.h"
#include "ui/selectpalettesetform.h"
#include "ui/spelloptionpage.h"
#include "ui/splashform.h"
#include "ui/suggestionpanel.h"
#include "ui/tabsform.h"
#include "ui/translatorlform.h"
#include "ui/transoptionform.h"
#include "ui/trsplashform.h"
#include "ui/trysettingform.h"
#include "ui/versionform.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

bool isInteractive(QAccessible::Role role) {
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::SpinBox:
    case QAccessible::ComboBox:
    case QAccessible::Slider:
    case QAccessible::PageTab:
        return true;
    default:
        return false;
    }
}

// The object names of the interactive controls below iface that have no name to read.
void collectUnnamed(QAccessibleInterface* iface, QStringList& unnamed, int& controls) {
    const QAccessible::Role role = iface->role();
    if (isInteractive(role)) {
        ++controls;
        if (iface->text(QAccessible::Name).trimmed().isEmpty()) {
            const QObject* o = iface->object();
            unnamed << (o ? o->objectName() + u'(' + QLatin1String(o->metaObject()->className()) +
                                u')'
                          : QStringLiteral("?"));
        }
    }
    // A list's items, a combo box's list and a spin box's editor are read through their owner.
    if (role == QAccessible::List || role == QAccessible::Table || role == QAccessible::Tree ||
        role == QAccessible::ComboBox || role == QAccessible::SpinBox)
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface* c = iface->child(i))
            collectUnnamed(c, unnamed, controls);
}

// The editor with its book-words panel docked, as it runs.
QWidget* editorWithPanel() {
    auto* editor = new TranslatorLForm;
    new GlossaryPanelForm(*editor, *editor->mnuTransPart);
    return editor;
}

TEST(ScreenReader, EveryControlOfEveryWindowHasAName) {
    const std::vector<std::function<QWidget*()>> windows = {
        [] { return new BunkatuForm; },
        [] { return new CommentForm; },
        [] { return new CustomForm; },
        [] { return new FindForm; },
        [] { return new GetDirForm; },
        [] { return new IndentForm; },
        [] { return new InportForm; },
        [] { return new LangSetForm; },
        [] { return new MainForm; },
        [] { return new MergeForm; },
        [] { return new NewPlanWizardForm; },
        [] { return new PlanSetForm; },
        [] { return new PrintForm; },
        [] { return new ProgressForm; },
        [] { return new QuizForm(QuizForm::Direction::MeaningToWord); },
        [] { return new QuizForm(QuizForm::Direction::WordToMeaning); },
        [] { return new RestoreBackupForm; },
        [] { return new ReviewForm; },
        [] { return new SelectFolderForm; },
        [] { return new SelectPaletteSetForm; },
        [] { return new SpellOptionPage; },
        [] { return new SplashForm; },
        [] { return new SuggestionPanel; },
        [] { return new TabsForm; },
        [] { return editorWithPanel(); },
        [] { return new TransOptionForm; },
        [] { return new TrSplashForm; },
        [] { return new TrySettingForm; },
        [] { return new VersionForm; },
    };
    int controls = 0;
    for (const auto& make : windows) {
        std::unique_ptr<QWidget> window(make());
        SCOPED_TRACE(window->objectName().toStdString());
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window.get());
        ASSERT_NE(iface, nullptr);
        QStringList unnamed;
        collectUnnamed(iface, unnamed, controls);
        EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u' ').toStdString();
    }
    // The walk reaches the controls: the main window alone has more than forty.
    EXPECT_GT(controls, 200);
}

// The names are the texts a sighted user reads beside or on the control, not invented ones.
TEST(ScreenReader, ControlsAreNamedByTheirLabelOrToolTip) {
    auto name = [](QObject* o) {
        return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
    };
    MainForm main;
    EXPECT_EQ(name(main.txtInput), main.Label3->text());
    EXPECT_EQ(name(main.txtRei), main.Label6->text());
    EXPECT_EQ(name(main.cmdDel), main.cmdDel->toolTip());
    EXPECT_EQ(main.cmdDel->text(), QString()) << "the picture button shows no caption";

    TranslatorLForm editor;
    EXPECT_EQ(name(editor.Rtxt2), QStringLiteral("訳文"));
    QAction* bold = editor.toolButton(QStringLiteral("bold"));
    EXPECT_EQ(name(editor.Toolbar1->widgetForAction(bold)), QStringLiteral("太字"));
    EXPECT_EQ(editor.Label2->text(), QStringLiteral("<訳文>"));
}

} // namespace
