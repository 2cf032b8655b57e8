// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/memory/memorysettings.h"
#include "core/memory/memorystore.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class FrmTranslatorL;
class MemoryPanelForm;
class MemoryThread;
namespace tmx {
struct Document;
}

// The panel of earlier translations: for the original's sentence that holds the caret it lists
// up to five earlier translations of similar originals from the translation memory, best first,
// and puts the chosen one into the translation as one undo step. Saving a project adds its
// pairs to the memory; the "翻訳メモリ" menu imports and exports TMX, removes a project's pairs,
// counts them and rebuilds the memory from the projects. The memory lives on a thread of its own;
// a memory that cannot be opened is reported once and the editor goes on without it. With the
// memory switched off in its settings file nothing of it is created.
class MemoryPanel : public QObject {
    Q_OBJECT
public:
    explicit MemoryPanel(FrmTranslatorL& window);
    ~MemoryPanel() override;

    // Reads the settings and, when the memory is on, opens it and sets the panel up.
    void start();
    void stop();
    // Null while the memory is switched off.
    MemoryPanelForm* form() const { return m_form; }
    // No look-up or other work is waiting for the memory's thread.
    bool isIdle() const { return m_pending == 0; }
    // The matches the list shows, best first.
    const std::vector<MemoryMatch>& matches() const { return m_matches; }

    void setPanelVisible(bool visible);
    // The chosen match's translation at the translation pane's caret, as one undo step.
    void insertChosen();
    // Takes the pairs of the project in use into the memory (after Save).
    void harvestProject();

    void importTmx();
    void exportTmx();
    void removeProject();
    void showCount();
    void rebuild();

private:
    void createForm();
    void makeRoom();
    void post(std::function<void(MemoryStore&)> job, std::function<void()> done = {});
    void refresh(bool force = false);
    QString caretSentence() const;
    void show(std::vector<MemoryMatch> matches);
    void showChosenSource();
    void say(const QString& text);
    void saveSettings();
    void reportOpening(MemoryStore::OpenState state, const QString& error, const QString& aside);
    // The origins of the memory with their counts, then `then` on the interface thread.
    void withOrigins(std::function<void(std::vector<std::pair<QString, int>>)> then);
    void chooseLanguagesAndImport(const QString& path, std::shared_ptr<tmx::Document> document);
    void addPairs(const QString& origin, const QString& source, const QString& target,
                  std::vector<MemoryPair> pairs, std::function<void(int)> then);

    FrmTranslatorL& m_window;
    MemoryPanelForm* m_form = nullptr;
    MemorySettings m_settings;
    std::unique_ptr<MemoryThread> m_thread;
    int m_pending = 0;
    QString m_sentence; // the sentence the list shows
    std::vector<MemoryMatch> m_matches;
    QHash<QString, QString> m_refusals; // the last refusal said, by project
    bool m_failureSaid = false;
};
