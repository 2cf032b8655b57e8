// SPDX-License-Identifier: GPL-3.0-or-later
#include "meaningsuggestions.h"

#include "core/dictionary/dictionaryindex.h"
#include "core/dictionary/meaningfit.h"
#include "core/dictionary/suggestionsettings.h"
#include "core/files/failure.h"
#include "core/settings/session.h"
#include "core/glossary/foldedtext.h"
#include "core/glossary/morphanalyser.h"
#include "limitedtextedit.h"
#include "platform/dialogservice.h"
#include "platform/mecabanalyser.h"
#include "suggestionpanel.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QThread>
#include <optional>

namespace {

// What has been read stays for the rest of the run, so the main window coming back from the
// editor finds it at once. It belongs to the dictionaries and cache file it was read from.
struct LoadedDictionaries {
    QString source;
    std::shared_ptr<const DictionaryIndex> index;
    bool missing = false;
};
LoadedDictionaries& loadedDictionaries() {
    static LoadedDictionaries loaded;
    return loaded;
}

// Which dictionaries and which cache: a change of either means reading again.
QString sourceKey() {
    return DictionaryFiles::defaultRoot() + u'\n' + defaultDictionaryCacheFile();
}

// Said once a run: that no dictionary is installed, or what could not be read.
bool& missingNoticeShown() {
    static bool shown = false;
    return shown;
}
bool& damageNoticeShown() {
    static bool shown = false;
    return shown;
}

// A choice the settings file could not take holds for the rest of the run, in both windows.
std::optional<bool>& unsavedChoice() {
    static std::optional<bool> choice;
    return choice;
}

bool chosenSetting() {
    return unsavedChoice().value_or(suggestionsettings::read(session().appFolder));
}

QString missingText() {
    return QStringLiteral("辞書が見つかりません。\n"
                          "英和辞書 EDICT と英英辞書 WordNet を入れると、ここに意味の候補が"
                          "出ます（sudo apt install edict wordnet-base）。");
}

QString sourceLabel(const Suggestion& s) {
    return s.source == Suggestion::Source::Edict
               ? QStringLiteral("EDICT")
               : QStringLiteral("WordNet %1.").arg(s.partOfSpeech);
}

} // namespace

void MeaningSuggestions::resetRun() {
    loadedDictionaries() = {};
    missingNoticeShown() = false;
    damageNoticeShown() = false;
    unsavedChoice().reset();
}

MeaningSuggestions::MeaningSuggestions(Host host, QObject* parent)
    : QObject(parent), m_host(std::move(host)) {
    m_enabled = chosenSetting();
    m_panel = new SuggestionPanel(m_host.parent);
    m_panel->hide();
    m_host.menu->addSeparator()->setObjectName(m_host.separatorName);
    m_menuItem = m_host.menu->addAction(QStringLiteral("辞書の候補を表示(&J)"));
    m_menuItem->setObjectName(m_host.itemName);
    m_menuItem->setCheckable(true);
    m_menuItem->setChecked(m_enabled);
    connect(m_menuItem, &QAction::toggled, this, [this](bool on) { toggle(on); });
    connect(m_panel->lstDictSuggest, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { choose(m_panel->lstDictSuggest->row(item)); });
}

void MeaningSuggestions::wordChanged() {
    if (m_registering && m_enabled && m_state == State::Ready && m_wanted &&
        m_host.word() != m_filledFor)
        fillList();
}

void MeaningSuggestions::placeChanged() {
    if (m_panel && m_panel->isVisible())
        m_panel->setGeometry(m_host.placement());
}

void MeaningSuggestions::setAside(bool aside) {
    if (aside == m_aside)
        return;
    m_aside = aside;
    if (aside) {
        m_panel->hide();
    } else if (m_wanted) {
        m_panel->setGeometry(m_host.placement());
        m_panel->show();
        m_panel->raise();
    }
}

MeaningSuggestions::~MeaningSuggestions() {
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
    }
}

void MeaningSuggestions::toggle(bool on) {
    if (on == m_enabled)
        return;
    m_enabled = on;
    try {
        suggestionsettings::write(session().appFolder, on);
        unsavedChoice().reset();
    } catch (const RuntimeFailure& failure) {
        unsavedChoice() = on;
        showMessage(QStringLiteral("辞書の候補の設定を保存できませんでした。この設定は"
                                   "プログラムを終了するまで有効です。\n\n") +
                        failure.description(),
                    QStringLiteral("辞書の候補"), MessageButtons::Ok, MessageIcon::Exclamation);
    }
    refresh();
}

void MeaningSuggestions::setRegistering(bool registering) {
    if (registering == m_registering)
        return;
    m_registering = registering;
    m_lastFilled.clear();
    if (registering) {
        // The other window may have turned the list on or off since this one last looked.
        const bool enabled = chosenSetting();
        if (enabled != m_enabled) {
            m_enabled = enabled;
            const QSignalBlocker quiet(m_menuItem);
            m_menuItem->setChecked(enabled);
        }
    }
    refresh();
}

void MeaningSuggestions::refresh() {
    if (!m_panel)
        return;
    m_wanted = false;
    if (!m_enabled || !m_registering) {
        m_panel->hide();
        return;
    }
    if (m_state == State::Idle)
        startLoading();
    m_panel->setGeometry(m_host.placement());
    m_panel->lblDictNote->hide();
    m_panel->barDictProgress->setVisible(m_state == State::Loading);
    m_panel->lstDictSuggest->clear();
    if (m_state == State::Missing) {
        if (missingNoticeShown()) {
            m_panel->hide();
            return;
        }
        missingNoticeShown() = true;
        m_panel->lblDictNote->setText(missingText());
        m_panel->lblDictNote->show();
        m_panel->lstDictSuggest->hide();
    } else {
        m_panel->lstDictSuggest->show();
        if (m_state == State::Ready) {
            showNotes();
            fillList();
        }
    }
    m_wanted = true;
    if (m_aside)
        return;
    m_panel->show();
    m_panel->raise();
}

void MeaningSuggestions::startLoading() {
    LoadedDictionaries& cached = loadedDictionaries();
    const QString source = sourceKey();
    if (cached.source == source && (cached.index || cached.missing)) {
        m_index = cached.index;
        m_state = cached.missing ? State::Missing : State::Ready;
        return;
    }
    const DictionaryFiles files = DictionaryFiles::locate(DictionaryFiles::defaultRoot());
    if (files.isEmpty()) {
        cached = {source, nullptr, true};
        m_state = State::Missing;
        return;
    }
    m_state = State::Loading;
    m_progress = -1;
    auto result = std::make_shared<DictionaryIndex::Loaded>();
    const QString cacheFile = defaultDictionaryCacheFile();
    m_thread = QThread::create([this, files, cacheFile, result] {
        auto progress = [this](int percent) {
            if (percent == m_progress)
                return;
            m_progress = percent;
            QMetaObject::invokeMethod(
                this,
                [this, percent] {
                    if (m_panel)
                        m_panel->barDictProgress->setValue(percent);
                },
                Qt::QueuedConnection);
        };
        *result = DictionaryIndex::openOrBuild(files, cacheFile, progress, &m_cancel);
    });
    connect(m_thread, &QThread::finished, this, [this, result, source] {
        m_thread->deleteLater();
        m_thread = nullptr;
        auto index = std::make_shared<const DictionaryIndex>(std::move(result->index));
        loadedDictionaries() = {source, index, false};
        m_index = index;
        m_state = State::Ready;
        loaded();
    });
    m_thread->start(QThread::LowPriority);
}

void MeaningSuggestions::loaded() {
    if (m_registering && m_enabled)
        refresh();
}

void MeaningSuggestions::showNotes() {
    if (!m_index || m_index->notes().isEmpty() || damageNoticeShown())
        return;
    damageNoticeShown() = true;
    m_panel->lblDictNote->setText(m_index->notes().join(u'\n'));
    m_panel->lblDictNote->show();
}

void MeaningSuggestions::fillList() {
    QListWidget* list = m_panel->lstDictSuggest;
    list->clear();
    m_filledFor = m_host.word();
    if (!m_index)
        return;
    QList<Suggestion> suggestions = m_index->lookup(m_filledFor);
    // A conjugated Japanese word is offered its dictionary form's meanings (学びます -> 学ぶ).
    if (suggestions.isEmpty() &&
        std::any_of(m_filledFor.begin(), m_filledFor.end(), glossarychars::isUnspaced))
        if (const auto analyser = japaneseanalyser::shared())
            if (const QString form = morphology::dictionaryForm(*analyser, m_filledFor);
                !form.isEmpty())
                suggestions = m_index->lookup(form);
    for (const Suggestion& s : suggestions) {
        auto* item = new QListWidgetItem(sourceLabel(s) + QStringLiteral("  ") + s.text, list);
        item->setData(Qt::UserRole, s.text);
    }
    list->setCurrentRow(-1);
}

// The list is browsed from the meaning box only while the box holds nothing of the user's own.
bool MeaningSuggestions::browsing() const {
    const QString text = m_host.meaningBox->text();
    return text.isEmpty() || text == m_lastFilled;
}

void MeaningSuggestions::moveSelection(int step) {
    QListWidget* list = m_panel->lstDictSuggest;
    const int row = std::clamp(list->currentRow() + step, -1, list->count() - 1);
    list->setCurrentRow(row);
}

void MeaningSuggestions::choose(int row) {
    QListWidget* list = m_panel->lstDictSuggest;
    if (row < 0 || row >= list->count())
        return;
    LimitedTextEdit* box = m_host.meaningBox;
    const FittedMeaning fitted =
        fitMeaning(list->item(row)->data(Qt::UserRole).toString(), box->maxLength());
    box->setText(fitted.text);
    m_lastFilled = box->text();
    box->moveCursor(QTextCursor::End);
    box->setFocus();
}

bool MeaningSuggestions::takeKey(QObject* watched, QKeyEvent* key) {
    if (!m_panel || !m_panel->isVisible() || m_panel->lstDictSuggest->count() == 0)
        return false;
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    QListWidget* list = m_panel->lstDictSuggest;
    const int k = key->key();
    const bool enter = k == Qt::Key_Return || k == Qt::Key_Enter;
    const bool fromList = watched == list || watched == list->viewport();
    if (fromList) {
        if (enter) {
            choose(list->currentRow());
            return true;
        }
        if (k == Qt::Key_Escape) {
            list->setCurrentRow(-1);
            m_host.meaningBox->setFocus();
            return true;
        }
        return false;
    }
    if (watched != m_host.meaningBox || !browsing())
        return false;
    const bool chosen = list->currentRow() >= 0;
    if (k == Qt::Key_Down || (k == Qt::Key_Up && chosen)) {
        moveSelection(k == Qt::Key_Down ? 1 : -1);
        return true;
    }
    if (enter && chosen) {
        choose(list->currentRow());
        return true;
    }
    if (k == Qt::Key_Escape && chosen) {
        list->setCurrentRow(-1);
        return true;
    }
    return false;
}
