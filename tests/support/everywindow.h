// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/bunkatuform.h"
#include "ui/commentform.h"
#include "ui/customform.h"
#include "ui/findform.h"
#include "ui/getdirform.h"
#include "ui/glossarypanelform.h"
#include "ui/indentform.h"
#include "ui/inportform.h"
#include "ui/langsetform.h"
#include "ui/mainform.h"
#include "ui/mergeform.h"
#include "ui/newplanwizardform.h"
#include "ui/plansetform.h"
#include "ui/printform.h"
#include "ui/progressform.h"
#include "ui/quizform.h"
#include "ui/restorebackupform.h"
#include "ui/reviewform.h"
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

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// Builds every window of the program in turn, the editor with its book-words panel docked as it
// runs, and hands each to check with its object name in the trace of any failure.
inline void forEveryWindow(const std::function<void(QWidget*)>& check) {
    const auto editorWithPanel = [] {
        auto* editor = new TranslatorLForm;
        new GlossaryPanelForm(*editor, *editor->mnuTransPart);
        return editor;
    };
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
        editorWithPanel,
        [] { return new TransOptionForm; },
        [] { return new TrSplashForm; },
        [] { return new TrySettingForm; },
        [] { return new VersionForm; },
    };
    for (const auto& make : windows) {
        std::unique_ptr<QWidget> window(make());
        SCOPED_TRACE(window->objectName().toStdString());
        check(window.get());
    }
}
