// SPDX-License-Identifier: GPL-3.0-or-later
#include "memorypanel.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/glossary/sentence.h"
#include "core/memory/harvest.h"
#include "core/memory/memorythread.h"
#include "core/memory/tmx.h"
#include "core/projects/projectstate.h"
#include "core/richtext/documentfile.h"
#include "core/settings/session.h"
#include "frmtranslatorl.h"
#include "glossarydock.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/memorypanelform.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAbstractUndoItem>
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QScreen>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>

namespace {

// An undo step that changes nothing. Put last into an insertion's edit block it keeps the typing
// that follows from being merged into the insertion.
class UndoBoundary : public QAbstractUndoItem {
public:
    void undo() override {}
    void redo() override {}
};

const QString AllOrigins = QStringLiteral("（すべて）");

QString originLine(const MemoryEntry& e) {
    return e.origin + QStringLiteral("  ") +
           QLocale(QLocale::Japanese)
               .toString(e.changed.toLocalTime().date(), QLocale::ShortFormat);
}

// The earlier original with its differences from the current sentence on a coloured ground.
QString markedHtml(const MemoryMatch& m) {
    const QString& s = m.entry.source;
    QString html;
    int at = 0;
    for (const fuzzymatch::Span& d : m.differences) {
        html += s.mid(at, d.start - at).toHtmlEscaped();
        html += QStringLiteral("<span style=\"background-color:#ffd27f\">") +
                s.mid(d.start, d.length).toHtmlEscaped() + QStringLiteral("</span>");
        at = d.start + d.length;
    }
    html += s.mid(at).toHtmlEscaped();
    html.replace(u'\n', QStringLiteral("<br>"));
    return html + QStringLiteral("<br><small>") + originLine(m.entry).toHtmlEscaped() +
           QStringLiteral("</small>");
}

harvest::Numbering numberingOf(const ProjectState& p) {
    return {p.split.beforeNumber, p.split.afterNumber};
}

} // namespace

MemoryPanel::MemoryPanel(FrmTranslatorL& window) : m_window(window) {}

MemoryPanel::~MemoryPanel() {
    stop();
}

void MemoryPanel::stop() {
    m_thread.reset();
    m_pending = 0;
    m_matches.clear();
    m_sentence.clear();
}

void MemoryPanel::start() {
    stop();
    m_settings = MemorySettings::read(session().appFolder);
    if (!m_settings.enabled)
        return;
    m_thread = std::make_unique<MemoryThread>(session().appFolder + u'/' + MemoryStore::FileName);
    if (!m_form)
        createForm();
    m_form->lstMemory->clear();
    m_form->txtMemorySource->clear();
    m_form->spnMemoryThreshold->setValue(m_settings.threshold);
    m_form->mnuMemory->setChecked(m_settings.visible);
    m_form->setVisible(m_settings.visible);
    if (m_settings.visible)
        makeRoom();
    MemoryThread* thread = m_thread.get();
    post([this, thread](MemoryStore& store) {
        const MemoryStore::OpenState state = thread->openState();
        const QString error = store.errorString();
        const QString aside = store.setAsidePath();
        QMetaObject::invokeMethod(this, [=, this] { reportOpening(state, error, aside); });
    });
    refresh(true);
}

void MemoryPanel::createForm() {
    TranslatorLForm* f = m_window.form();
    m_form = new MemoryPanelForm(*f, *f->mnuTransPart);
    connect(m_form->mnuMemory, &QAction::toggled, this, [this](bool on) { setPanelVisible(on); });
    connect(m_form->mnuMemoryInsert, &QAction::triggered, this, [this] { insertChosen(); });
    connect(m_form, &MemoryPanelForm::itemChosen, this, [this] { insertChosen(); });
    connect(m_form->lstMemory, &QTreeWidget::currentItemChanged, this,
            [this] { showChosenSource(); });
    connect(m_form->spnMemoryThreshold, &QSpinBox::valueChanged, this, [this](int value) {
        if (value == m_settings.threshold)
            return;
        m_settings.threshold = value;
        saveSettings();
        refresh(true);
    });
    connect(m_form->mnuMemoryImport, &QAction::triggered, this, [this] { importTmx(); });
    connect(m_form->mnuMemoryExport, &QAction::triggered, this, [this] { exportTmx(); });
    connect(m_form->mnuMemoryRemove, &QAction::triggered, this, [this] { removeProject(); });
    connect(m_form->mnuMemoryCount, &QAction::triggered, this, [this] { showCount(); });
    connect(m_form->mnuMemoryRebuild, &QAction::triggered, this, [this] { rebuild(); });
    connect(f->Rtxt1, &QTextEdit::cursorPositionChanged, this, [this] { refresh(); });
    connect(f->Rtxt1, &QTextEdit::textChanged, this, [this] { refresh(); });
    connect(&m_window, &FrmTranslatorL::projectSaved, this, [this] { harvestProject(); });
}

void MemoryPanel::makeRoom() {
    TranslatorLForm* f = m_window.form();
    const QScreen* screen = f->screen();
    f->resizeDocks({m_form}, {m_form->sizeHint().width()}, Qt::Horizontal);
    if (screen && f->dockWidgetArea(m_form) == Qt::NoDockWidgetArea)
        f->addDockWidget(Qt::RightDockWidgetArea, m_form);
}

void MemoryPanel::post(std::function<void(MemoryStore&)> job, std::function<void()> done) {
    if (!m_thread)
        return;
    ++m_pending;
    m_thread->post([this, job = std::move(job), done = std::move(done)](MemoryStore& store) {
        job(store);
        QMetaObject::invokeMethod(this, [this, done] {
            --m_pending;
            if (done)
                done();
        });
    });
}

void MemoryPanel::reportOpening(MemoryStore::OpenState state, const QString& error,
                                const QString& aside) {
    if (state == MemoryStore::OpenState::SetAside) {
        showMessage(QStringLiteral("翻訳メモリが壊れていたため、脇に移して新しく作りました。\r\n") +
                        aside +
                        QStringLiteral("\r\n「翻訳メモリ」の「ﾌﾟﾛｼﾞｪｸﾄから作り直す」で"
                                       "保存済みのﾌﾟﾛｼﾞｪｸﾄから作り直せます。"),
                    QStringLiteral("翻訳メモリ"), MessageButtons::Ok, MessageIcon::Exclamation);
    } else if (state == MemoryStore::OpenState::Failed && !m_failureSaid) {
        m_failureSaid = true;
        say(error);
        showMessage(error + QStringLiteral("\r\n過去の訳は使えませんが、編集は続けられます。"),
                    QStringLiteral("翻訳メモリ"), MessageButtons::Ok, MessageIcon::Exclamation);
    }
}

void MemoryPanel::say(const QString& text) {
    if (m_form)
        m_form->lblMemoryState->setText(text);
}

void MemoryPanel::saveSettings() {
    // The memory's own file: when it cannot be written the choice lasts for this run only.
    try {
        m_settings.write(session().appFolder);
    } catch (const RuntimeFailure&) {
    }
}

void MemoryPanel::setPanelVisible(bool visible) {
    if (!m_form)
        return;
    m_form->mnuMemory->setChecked(visible);
    m_form->setVisible(visible);
    if (visible) {
        makeRoom();
        refresh(true);
    }
    if (m_settings.visible != visible) {
        m_settings.visible = visible;
        saveSettings();
    }
}

// ---- The list -------------------------------------------------------------------------------

QString MemoryPanel::caretSentence() const {
    const QTextCursor caret = m_window.form()->Rtxt1->textCursor();
    const harvest::Numbering numbering = numberingOf(m_window.project());
    QTextBlock block = caret.block();
    bool heading = false;
    const QString stripped = harvest::withoutHeading(block.text(), numbering, &heading);
    if (heading) {
        // On a heading the block's sentence is meant: the heading's own line, or the next one.
        if (!stripped.isEmpty())
            return stripped;
        for (block = block.next(); block.isValid() && block.text().trimmed().isEmpty();)
            block = block.next();
        if (!block.isValid())
            return {};
        const QString first = block.text();
        const SentenceSpan span = sentenceAround(first, 0);
        return first.mid(span.start, span.end - span.start).trimmed();
    }
    const QString paragraph = block.text();
    const SentenceSpan span = sentenceAround(paragraph, caret.positionInBlock());
    return paragraph.mid(span.start, span.end - span.start).trimmed();
}

void MemoryPanel::refresh(bool force) {
    if (!m_thread || !m_form || m_form->isHidden())
        return;
    const QString sentence = caretSentence();
    if (!force && sentence == m_sentence)
        return;
    m_sentence = sentence;
    MemoryThread* thread = m_thread.get();
    const unsigned ticket = thread->nextTicket();
    const MemorySettings s = m_settings;
    auto found = std::make_shared<std::vector<MemoryMatch>>();
    // Only the latest sentence is looked up; requests the caret left behind are skipped.
    post(
        [thread, ticket, sentence, s, found](MemoryStore& store) {
            if (thread->isLatest(ticket))
                *found = store.lookup(sentence, s.sourceLanguage, s.targetLanguage, s.threshold);
        },
        [this, thread, ticket, found] {
            if (m_thread.get() == thread && thread->isLatest(ticket))
                show(std::move(*found));
        });
}

void MemoryPanel::show(std::vector<MemoryMatch> matches) {
    m_matches = std::move(matches);
    QTreeWidget* list = m_form->lstMemory;
    list->clear();
    for (const MemoryMatch& m : m_matches) {
        QString target = m.entry.target;
        auto* item = new QTreeWidgetItem({QStringLiteral("%1 %").arg(m.percent),
                                          target.replace(u'\n', u' '), originLine(m.entry)});
        item->setToolTip(1, m.entry.target);
        list->addTopLevelItem(item);
    }
    if (list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
    showChosenSource();
}

void MemoryPanel::showChosenSource() {
    const int row = m_form->lstMemory->indexOfTopLevelItem(m_form->lstMemory->currentItem());
    if (row < 0 || row >= int(m_matches.size())) {
        m_form->txtMemorySource->clear();
        return;
    }
    m_form->txtMemorySource->setHtml(markedHtml(m_matches[size_t(row)]));
}

void MemoryPanel::insertChosen() {
    if (!m_form || m_form->isHidden())
        return;
    const int row = m_form->lstMemory->indexOfTopLevelItem(m_form->lstMemory->currentItem());
    RichTextPane* translation = m_window.form()->Rtxt2;
    if (row < 0 || row >= int(m_matches.size()) || translation->isReadOnly())
        return;
    // One step of the pane's undo, apart from the typing before and after it.
    QTextCursor cursor = translation->textCursor();
    cursor.beginEditBlock();
    cursor.insertText(m_matches[size_t(row)].entry.target);
    translation->document()->appendUndoItem(new UndoBoundary);
    cursor.endEditBlock();
    translation->setTextCursor(cursor);
    translation->setFocus();
}

// ---- Filling the memory ---------------------------------------------------------------------

void MemoryPanel::addPairs(const QString& origin, const QString& source, const QString& target,
                           std::vector<MemoryPair> pairs, std::function<void(int)> then) {
    auto result = std::make_shared<std::pair<int, QString>>(0, QString());
    post(
        // The panel waits for a running job before it goes, so it is there for the progress.
        [=, this, pairs = std::move(pairs)](MemoryStore& store) {
            const qint64 total = std::max<qint64>(qint64(pairs.size()), 1);
            result->first = store.add(origin, source, target, pairs, [this, total](int done) {
                const int percent = int(done * 100 / total);
                QMetaObject::invokeMethod(this, [this, percent] {
                    say(QStringLiteral("翻訳メモリに加えています... %1 %").arg(percent));
                });
                return true;
            });
            result->second = store.errorString();
        },
        [this, result, then] {
            if (result->first < 0)
                say(result->second);
            else if (then)
                then(result->first);
        });
}

void MemoryPanel::harvestProject() {
    const ProjectState& p = m_window.project();
    if (!m_thread || p.current.planName.isEmpty() || !p.current.useOrgFile)
        return;
    const QString project = p.current.planName;
    const QString original = m_window.form()->Rtxt1->toPlainText();
    const QString translation = m_window.form()->Rtxt2->toPlainText();
    const harvest::Numbering numbering = numberingOf(p);
    const MemorySettings s = m_settings;
    auto refusal = std::make_shared<QString>();
    auto failure = std::make_shared<QString>();
    // Pairing the texts is part of the job: a big project is not gone through on this thread.
    post(
        [=](MemoryStore& store) {
            const harvest::Result r = harvest::pairs(original, translation, numbering);
            *refusal = r.refusal;
            if (!r.pairs.empty() &&
                store.add(project, s.sourceLanguage, s.targetLanguage, r.pairs) < 0)
                *failure = store.errorString();
        },
        [this, project, refusal, failure] {
            if (!failure->isEmpty()) {
                say(*failure);
                return;
            }
            // Why nothing was taken is said once, not at every save.
            if (!refusal->isEmpty() && m_refusals.value(project) != *refusal)
                say(*refusal);
            m_refusals[project] = *refusal;
            refresh(true);
        });
}

void MemoryPanel::importTmx() {
    guarded(reportOnly(u"TMXﾌｧｲﾙの取込み時", "Error301"), [this] {
        if (!m_thread)
            return;
        FileRequest request;
        request.title = QStringLiteral("TMXﾌｧｲﾙの取込み");
        request.filter = QStringLiteral("TMX (*.tmx);;すべてのﾌｧｲﾙ (*)");
        const std::optional<QString> path = dialogs().openFile(request);
        if (!path)
            return;
        auto document = std::make_shared<tmx::Document>();
        say(QStringLiteral("TMXﾌｧｲﾙを読み込んでいます..."));
        post(
            // The panel waits for a running job before it goes, so it is there for the progress.
            [this, path = *path, document](MemoryStore&) {
                *document = tmx::read(path, [this](qint64 done, qint64 total) {
                    const int percent = int(done * 100 / std::max<qint64>(total, 1));
                    QMetaObject::invokeMethod(this, [this, percent] {
                        say(QStringLiteral("TMXﾌｧｲﾙを読み込んでいます... %1 %").arg(percent));
                    });
                    return true;
                });
            },
            [this, path = *path, document] { chooseLanguagesAndImport(path, document); });
    });
}

void MemoryPanel::chooseLanguagesAndImport(const QString& path,
                                           std::shared_ptr<tmx::Document> document) {
    say({});
    if (!document->error.isEmpty()) {
        showMessage(document->error, QStringLiteral("TMXﾌｧｲﾙの取込み"), MessageButtons::Ok,
                    MessageIcon::Exclamation);
        return;
    }
    const QStringList languages = document->languages;
    if (languages.size() < 2) {
        showMessage(QStringLiteral("このTMXﾌｧｲﾙには二つ以上の言語の訳がありません。\r\n") + path,
                    QStringLiteral("TMXﾌｧｲﾙの取込み"), MessageButtons::Ok,
                    MessageIcon::Exclamation);
        return;
    }
    const auto indexOf = [&](const QString& wanted, int otherwise) {
        for (int i = 0; i < languages.size(); ++i)
            if (MemoryStore::languageKey(languages[i]) == MemoryStore::languageKey(wanted))
                return i;
        return otherwise;
    };
    const int source = indexOf(document->sourceLanguage, indexOf(m_settings.sourceLanguage, 0));
    const int target = indexOf(m_settings.targetLanguage, source == 0 ? 1 : 0);
    MemoryChoiceForm box(QStringLiteral("TMXﾌｧｲﾙの取込み"), m_window.form());
    QComboBox* from = box.addChoice(QStringLiteral("原文の言語(&S):"), languages, source);
    QComboBox* to = box.addChoice(QStringLiteral("訳文の言語(&T):"), languages, target);
    if (box.exec() != QDialog::Accepted)
        return;
    if (MemoryStore::languageKey(from->currentText()) ==
        MemoryStore::languageKey(to->currentText())) {
        showMessage(QStringLiteral("原文と訳文には違う言語を選んでください。"),
                    QStringLiteral("TMXﾌｧｲﾙの取込み"));
        return;
    }
    std::vector<MemoryPair> pairs = tmx::pairsOf(*document, from->currentText(), to->currentText());
    const int units = int(pairs.size());
    say(QStringLiteral("TMXﾌｧｲﾙの訳を翻訳メモリに加えています..."));
    addPairs(QFileInfo(path).fileName(), from->currentText(), to->currentText(), std::move(pairs),
             [this, units](int changed) {
                 say({});
                 showMessage(QStringLiteral("%1 組の訳を読み込み、%2 組を翻訳メモリに加えました。")
                                 .arg(units)
                                 .arg(changed),
                             QStringLiteral("TMXﾌｧｲﾙの取込み"));
                 refresh(true);
             });
}

void MemoryPanel::withOrigins(std::function<void(std::vector<std::pair<QString, int>>)> then) {
    auto origins = std::make_shared<std::vector<std::pair<QString, int>>>();
    post([origins](MemoryStore& store) { *origins = store.origins(); },
         [origins, then] { then(std::move(*origins)); });
}

void MemoryPanel::exportTmx() {
    withOrigins([this](std::vector<std::pair<QString, int>> origins) {
        guarded(reportOnly(u"TMXﾌｧｲﾙへの書出し時", "Error302"), [&] {
            QStringList names{AllOrigins};
            for (const auto& [origin, count] : origins)
                names << origin;
            MemoryChoiceForm box(QStringLiteral("TMXﾌｧｲﾙへの書出し"), m_window.form());
            QComboBox* which = box.addChoice(QStringLiteral("書き出す訳(&P):"), names, 0);
            if (box.exec() != QDialog::Accepted)
                return;
            const QString origin = which->currentIndex() == 0 ? QString() : which->currentText();
            FileRequest request;
            request.title = QStringLiteral("TMXﾌｧｲﾙへの書出し");
            request.filter = QStringLiteral("TMX (*.tmx)");
            request.defaultSuffix = QStringLiteral("tmx");
            request.fileName =
                (origin.isEmpty() ? QStringLiteral("memory") : origin) + QStringLiteral(".tmx");
            const std::optional<QString> path = dialogs().saveFile(request);
            if (!path)
                return;
            auto result = std::make_shared<std::pair<int, QString>>(0, QString());
            const QString sourceLanguage = m_settings.sourceLanguage;
            post(
                [origin, path = *path, result, sourceLanguage](MemoryStore& store) {
                    std::vector<MemoryEntry> entries;
                    if (!store.forEach(origin,
                                       [&](const MemoryEntry& e) { entries.push_back(e); })) {
                        result->second = store.errorString();
                        return;
                    }
                    try {
                        writeFileAtomically(path, tmx::write(entries, sourceLanguage));
                        result->first = int(entries.size());
                    } catch (const RuntimeFailure& f) {
                        result->second = f.description();
                    }
                },
                [this, result, path = *path] {
                    if (!result->second.isEmpty())
                        showMessage(result->second, QStringLiteral("TMXﾌｧｲﾙへの書出し"),
                                    MessageButtons::Ok, MessageIcon::Exclamation);
                    else
                        showMessage(
                            QStringLiteral("%1 組の訳を書き出しました。\r\n").arg(result->first) +
                                path,
                            QStringLiteral("TMXﾌｧｲﾙへの書出し"));
                });
        });
    });
}

void MemoryPanel::removeProject() {
    withOrigins([this](std::vector<std::pair<QString, int>> origins) {
        if (origins.empty()) {
            showMessage(QStringLiteral("翻訳メモリは空です。"), QStringLiteral("翻訳メモリ"));
            return;
        }
        QStringList names;
        for (const auto& [origin, count] : origins)
            names << origin;
        MemoryChoiceForm box(QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄの訳を削除"), m_window.form());
        QComboBox* which = box.addChoice(QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ(&P):"), names, 0);
        if (box.exec() != QDialog::Accepted)
            return;
        const QString origin = which->currentText();
        const int count = origins[size_t(which->currentIndex())].second;
        if (showMessage(QStringLiteral("「%1」の %2 組の訳を翻訳メモリから削除しますか？")
                            .arg(origin)
                            .arg(count),
                        QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄの訳を削除"), MessageButtons::YesNo,
                        MessageIcon::Question) != Answer::Yes)
            return;
        auto removed = std::make_shared<int>(0);
        post([origin, removed](MemoryStore& store) { *removed = store.remove(origin); },
             [this, removed] {
                 say(*removed < 0 ? QStringLiteral("削除できませんでした。")
                                  : QStringLiteral("%1 組の訳を削除しました。").arg(*removed));
                 refresh(true);
             });
    });
}

void MemoryPanel::showCount() {
    withOrigins([](std::vector<std::pair<QString, int>> origins) {
        int total = 0;
        QString lines;
        for (const auto& [origin, count] : origins) {
            total += count;
            lines += QStringLiteral("\r\n%1: %2 組").arg(origin).arg(count);
        }
        showMessage(QStringLiteral("翻訳メモリには %1 組の訳があります。").arg(total) + lines,
                    QStringLiteral("翻訳メモリ"));
    });
}

void MemoryPanel::rebuild() {
    guarded(reportOnly(u"翻訳メモリの作り直し時", "Error303"), [this] {
        const ProjectState& p = m_window.project();
        if (showMessage(QStringLiteral("保存済みのﾌﾟﾛｼﾞｪｸﾄの原文と訳文から、翻訳メモリに訳を"
                                       "加え直しますか？"),
                        QStringLiteral("翻訳メモリ"), MessageButtons::YesNo,
                        MessageIcon::Question) != Answer::Yes)
            return;
        int projects = 0;
        QStringList skipped;
        for (const PlanInfo& plan : p.plans) {
            QTextDocument original;
            QTextDocument translation;
            if (!plan.useOrgFile || plan.orgFilePath.isEmpty() ||
                richtext::loadDocument(plan.orgFilePath, &original) !=
                    richtext::LoadOutcome::Loaded ||
                richtext::loadDocument(plan.transFilePath, &translation) !=
                    richtext::LoadOutcome::Loaded) {
                skipped << plan.planName;
                continue;
            }
            const harvest::Result r =
                harvest::pairs(original.toPlainText(), translation.toPlainText(), numberingOf(p));
            if (r.pairs.empty()) {
                skipped << plan.planName;
                continue;
            }
            ++projects;
            addPairs(plan.planName, m_settings.sourceLanguage, m_settings.targetLanguage, r.pairs,
                     {});
        }
        post([](MemoryStore&) {},
             [this, projects, skipped] {
                 showMessage(QStringLiteral("%1 件のﾌﾟﾛｼﾞｪｸﾄから訳を加えました。").arg(projects) +
                                 (skipped.isEmpty()
                                      ? QString()
                                      : QStringLiteral("\r\n加えられなかったﾌﾟﾛｼﾞｪｸﾄ: ") +
                                            skipped.join(QStringLiteral("、"))),
                             QStringLiteral("翻訳メモリ"));
                 refresh(true);
             });
    });
}
