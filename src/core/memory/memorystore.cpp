// SPDX-License-Identifier: GPL-3.0-or-later
#include "memorystore.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace {

constexpr int SchemaVersion = 2;
// Pairs stored between two steps of progress and of indexing.
constexpr int Batch = 1000;
// Candidates the full-text index hands on for scoring; the best ones by its own rank.
constexpr int Candidates = 200;
// Words of the sentence the candidate search asks for: the longest, which are the rarest.
constexpr int SearchTerms = 12;

QString isoTime(const QDateTime& t) {
    return t.toUTC().toString(Qt::ISODate);
}

QDateTime fromIso(const QString& s) {
    QDateTime t = QDateTime::fromString(s, Qt::ISODate);
    t.setTimeSpec(Qt::UTC);
    return t;
}

QString quoted(QStringView term) {
    QString q = term.toString();
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

// The FTS5 query that finds originals sharing something with the sentence: its longest words
// (the trigram index matches words of three characters or more), or, for text without spaces
// such as Japanese, three-character pieces spread over it.
QString candidateQuery(const QString& sentence) {
    std::vector<QStringView> words;
    QSet<QStringView> seen;
    for (QStringView w : fuzzymatch::tokenViews(sentence))
        if (w.size() >= 3 && !seen.contains(w)) {
            seen.insert(w);
            words.push_back(w);
        }
    std::stable_sort(words.begin(), words.end(),
                     [](QStringView a, QStringView b) { return a.size() > b.size(); });
    if (words.size() > size_t(SearchTerms))
        words.resize(SearchTerms);
    QStringList terms;
    for (QStringView w : words)
        terms << quoted(w);
    if (terms.size() < 3) {
        const QString compact = QString(sentence).remove(QChar(u' '));
        const int pieces = int(compact.size()) - 2;
        const int step = std::max(1, pieces / SearchTerms);
        for (int i = 0; i < pieces; i += step)
            terms << quoted(QStringView(compact).mid(i, 3));
    }
    return terms.join(QStringLiteral(" OR "));
}

MemoryEntry entryFrom(const QSqlQuery& q, int first) {
    MemoryEntry e;
    e.source = q.value(first).toString();
    e.target = q.value(first + 1).toString();
    e.origin = q.value(first + 2).toString();
    e.sourceLanguage = q.value(first + 3).toString();
    e.targetLanguage = q.value(first + 4).toString();
    e.changed = fromIso(q.value(first + 5).toString());
    return e;
}

// Originals are keyed by a hash of their text: an index of 64-bit numbers is far smaller and
// quicker to keep up than one of whole sentences. SHA-1 because it never changes between runs or
// Qt versions, as the stored keys require.
qint64 sourceKey(const QString& source) {
    const QByteArray digest =
        QCryptographicHash::hash(source.toUtf8(), QCryptographicHash::Sha1).left(8);
    qint64 key = 0;
    for (char c : digest)
        key = qint64(quint64(key) << 8 | quint8(c));
    return key;
}

const char* const EntryColumns = "source, target, origin, srclang, tgtlang, changed";

} // namespace

MemoryStore::MemoryStore(QString path) : m_path(std::move(path)) {
    static QAtomicInt serial;
    m_connection = QStringLiteral("verbanta-memory-%1").arg(serial.fetchAndAddRelaxed(1));
}

MemoryStore::~MemoryStore() {
    close();
}

void MemoryStore::close() {
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_open = false;
}

QString MemoryStore::languageKey(const QString& tag) {
    return tag.section(u'-', 0, 0).section(u'_', 0, 0).toLower();
}

bool MemoryStore::fail(const QString& what, const QSqlError& error) const {
    m_error = what + QStringLiteral("\n") + error.text();
    return false;
}

MemoryStore::OpenState MemoryStore::open() {
    close();
    m_error.clear();
    m_setAside.clear();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        m_error = QStringLiteral("翻訳メモリのデータベースを扱えません。Debian パッケージ "
                                 "libqt6sql6-sqlite をインストールしてください。");
        return OpenState::Failed;
    }
    const bool existed = QFileInfo::exists(m_path);
    if (openDatabase() && isSound() && createSchema()) {
        m_open = true;
        return existed ? OpenState::Opened : OpenState::Created;
    }
    if (!existed) {
        close();
        return OpenState::Failed;
    }
    // Keep the damaged file, with its journal, for whoever wants to look into it, and start anew.
    close();
    const QString aside = m_path + QStringLiteral(".damaged-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!QFile::rename(m_path, aside)) {
        m_error = QStringLiteral("翻訳メモリが壊れていますが、脇に移せませんでした: ") + m_path;
        return OpenState::Failed;
    }
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::rename(m_path + QLatin1String(suffix), aside + QLatin1String(suffix));
    const QString damage = m_error;
    if (!(openDatabase() && createSchema())) {
        close();
        return OpenState::Failed;
    }
    m_error = damage;
    m_setAside = aside;
    m_open = true;
    return OpenState::SetAside;
}

bool MemoryStore::openDatabase() {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return fail(QStringLiteral("翻訳メモリを開けません: ") + m_path, db.lastError());
    // Room for the index pages a big import or save goes through (64 MB at most).
    QSqlQuery(db).exec(QStringLiteral("PRAGMA cache_size = -65536"));
    return true;
}

bool MemoryStore::isSound() {
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next())
        return fail(QStringLiteral("翻訳メモリが壊れています: ") + m_path, q.lastError());
    if (q.value(0).toString() != u"ok") {
        m_error = QStringLiteral("翻訳メモリが壊れています: ") + m_path;
        return false;
    }
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return fail(QStringLiteral("翻訳メモリが壊れています: ") + m_path, q.lastError());
    const int version = q.value(0).toInt();
    if (version < 0 || version > SchemaVersion) {
        m_error = QStringLiteral("翻訳メモリはこの版では読めない形式です: ") + m_path;
        return false;
    }
    if (version == 0 && q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && q.next() &&
        q.value(0).toInt() != 0) {
        m_error = QStringLiteral("翻訳メモリではないデータベースです: ") + m_path;
        return false;
    }
    return true;
}

bool MemoryStore::createSchema() {
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return fail(QStringLiteral("翻訳メモリを読めません"), q.lastError());
    const int version = q.value(0).toInt();
    if (version == SchemaVersion)
        return true;
    // New originals go into the full-text index from add(), a batch at a time: the same rows
    // indexed by a trigger, one at a time, took more than twice as long, and a large TMX import
    // spent most of its time there. A memory of the first version loses that trigger; its index
    // already holds every pair and stays as it is.
    //
    // FTS5 keeps index entries in memory until this many bytes of them are there (1 MB unless
    // told), and merges the pieces it writes out once this many lie side by side (4 unless
    // told): fewer writes and merges made indexing about a quarter quicker, while a look-up in
    // 100,000 pairs took as long as before.
    const char* const pending =
        "INSERT INTO pairs_fts(pairs_fts, rank) VALUES ('hashsize', 8388608)";
    const char* const merging = "INSERT INTO pairs_fts(pairs_fts, rank) VALUES ('automerge', 16)";
    const std::vector<const char*> created = {
        "CREATE TABLE pairs(id INTEGER PRIMARY KEY, origin TEXT NOT NULL, srclang TEXT NOT NULL,"
        " tgtlang TEXT NOT NULL, srckey INTEGER NOT NULL, source TEXT NOT NULL,"
        " target TEXT NOT NULL, words INTEGER NOT NULL, changed TEXT NOT NULL,"
        " UNIQUE(origin, srclang, tgtlang, srckey))",
        "CREATE INDEX pairs_source ON pairs(srckey)",
        "CREATE VIRTUAL TABLE pairs_fts USING fts5(source, content='pairs', content_rowid='id',"
        " tokenize='trigram')",
        "CREATE TRIGGER pairs_removed AFTER DELETE ON pairs BEGIN"
        " INSERT INTO pairs_fts(pairs_fts, rowid, source) VALUES ('delete', old.id, old.source);"
        " END",
        "CREATE TRIGGER pairs_moved AFTER UPDATE OF source ON pairs BEGIN"
        " INSERT INTO pairs_fts(pairs_fts, rowid, source) VALUES ('delete', old.id, old.source);"
        " INSERT INTO pairs_fts(rowid, source) VALUES (new.id, new.source); END",
        pending,
        merging,
    };
    const std::vector<const char*> fromFirstVersion = {"DROP TRIGGER pairs_added", pending,
                                                       merging};
    // Both in one transaction: a memory is either of the old form or wholly of the new one.
    if (!db.transaction())
        return fail(QStringLiteral("翻訳メモリを作れません"), db.lastError());
    for (const char* s : version == 1 ? fromFirstVersion : created)
        if (!q.exec(QString::fromLatin1(s))) {
            fail(QStringLiteral("翻訳メモリを作れません"), q.lastError());
            db.rollback();
            return false;
        }
    if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion))) {
        fail(QStringLiteral("翻訳メモリを作れません"), q.lastError());
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        fail(QStringLiteral("翻訳メモリを作れません"), db.lastError());
        db.rollback();
        return false;
    }
    return true;
}

int MemoryStore::add(const QString& origin, const QString& sourceLanguage,
                     const QString& targetLanguage, const std::vector<MemoryPair>& pairs,
                     const std::function<bool(int)>& progress) {
    if (!m_open) {
        m_error = QStringLiteral("翻訳メモリが開いていません");
        return -1;
    }
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    if (!db.transaction()) {
        fail(QStringLiteral("翻訳メモリに書き込めません"), db.lastError());
        return -1;
    }
    const auto failed = [&](const QSqlError& error) {
        fail(QStringLiteral("翻訳メモリに書き込めません"), error);
        db.rollback();
        return -1;
    };
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("INSERT INTO pairs(origin, srclang, tgtlang, srckey, source, target, words,"
                       " changed) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"
                       " ON CONFLICT(origin, srclang, tgtlang, srckey) DO UPDATE"
                       " SET target = excluded.target, changed = excluded.changed"
                       " WHERE target <> excluded.target"));
    // A replaced translation keeps its row and original, so only rows new to the table need
    // indexing; SQLite numbers each new row above every row there.
    QSqlQuery last(db);
    last.prepare(QStringLiteral("SELECT coalesce(max(id), 0) FROM pairs"));
    QSqlQuery index(db);
    index.prepare(QStringLiteral(
        "INSERT INTO pairs_fts(rowid, source) SELECT id, source FROM pairs WHERE id > ?"));
    if (!last.exec() || !last.next())
        return failed(last.lastError());
    qint64 indexed = last.value(0).toLongLong();
    last.finish();
    const auto indexNewRows = [&] {
        index.addBindValue(indexed);
        if (!index.exec() || !last.exec() || !last.next())
            return false;
        indexed = last.value(0).toLongLong();
        last.finish();
        return true;
    };

    const QString src = languageKey(sourceLanguage);
    const QString tgt = languageKey(targetLanguage);
    const QString now = isoTime(QDateTime::currentDateTimeUtc());
    int changed = 0;
    int done = 0;
    for (const MemoryPair& p : pairs) {
        q.addBindValue(origin);
        q.addBindValue(src);
        q.addBindValue(tgt);
        q.addBindValue(sourceKey(p.source));
        q.addBindValue(p.source);
        q.addBindValue(p.target);
        q.addBindValue(int(fuzzymatch::tokenize(p.source).size()));
        q.addBindValue(p.changed.isValid() ? isoTime(p.changed) : now);
        if (!q.exec())
            return failed(q.lastError());
        changed += q.numRowsAffected() > 0 ? 1 : 0;
        if (++done % Batch == 0) {
            if (!indexNewRows())
                return failed(index.lastError().isValid() ? index.lastError() : last.lastError());
            if (progress && !progress(done)) {
                db.rollback();
                m_error.clear();
                return -1;
            }
        }
    }
    if (!indexNewRows())
        return failed(index.lastError().isValid() ? index.lastError() : last.lastError());
    if (!db.commit())
        return failed(db.lastError());
    return changed;
}

std::vector<MemoryMatch> MemoryStore::lookup(const QString& sentence, const QString& sourceLanguage,
                                             const QString& targetLanguage, int threshold,
                                             int limit) const {
    std::vector<MemoryMatch> found;
    const QString text = sentence.trimmed();
    if (!m_open || text.isEmpty() || limit <= 0)
        return found;
    threshold = std::clamp(threshold, 1, 100);
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    const QString src = languageKey(sourceLanguage);
    const QString tgt = languageKey(targetLanguage);
    const std::vector<QStringView> tokens = fuzzymatch::tokenViews(text);
    const int n = int(tokens.size());

    struct Candidate {
        MemoryEntry entry;
        int percent;
    };
    std::vector<Candidate> candidates;
    QSet<qint64> seen;
    const auto consider = [&](QSqlQuery& q) {
        while (q.next()) {
            const qint64 id = q.value(0).toLongLong();
            if (seen.contains(id))
                continue;
            seen.insert(id);
            const QString source = q.value(1).toString();
            const int p = source == text ? 100 : fuzzymatch::percent(tokens, source, threshold);
            if (p >= threshold)
                candidates.push_back({entryFrom(q, 1), source == text ? 100 : std::min(p, 99)});
        }
    };

    QSqlQuery exact(db);
    exact.prepare(
        QStringLiteral(
            "SELECT id, %1 FROM pairs WHERE srckey = ? AND source = ? AND srclang = ? AND "
            "tgtlang = ? ORDER BY changed DESC LIMIT ?")
            .arg(QLatin1String(EntryColumns)));
    exact.addBindValue(sourceKey(text));
    exact.addBindValue(text);
    exact.addBindValue(src);
    exact.addBindValue(tgt);
    exact.addBindValue(limit);
    if (exact.exec())
        consider(exact);

    if (threshold < 100 && int(candidates.size()) < limit) {
        // Only originals whose length leaves the threshold reachable can match.
        const int fewest = (threshold * n + 99) / 100;
        const int most = 100 * n / threshold;
        QSqlQuery fuzzy(db);
        fuzzy.prepare(
            QStringLiteral("SELECT p.id, p.source, p.target, p.origin, p.srclang, p.tgtlang,"
                           " p.changed FROM pairs_fts JOIN pairs p ON p.id = pairs_fts.rowid"
                           " WHERE pairs_fts MATCH ? AND p.words BETWEEN ? AND ?"
                           " AND p.srclang = ? AND p.tgtlang = ? ORDER BY pairs_fts.rank LIMIT ?"));
        fuzzy.addBindValue(candidateQuery(text));
        fuzzy.addBindValue(fewest);
        fuzzy.addBindValue(most);
        fuzzy.addBindValue(src);
        fuzzy.addBindValue(tgt);
        fuzzy.addBindValue(Candidates);
        if (fuzzy.exec())
            consider(fuzzy);
    }

    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) {
                         if (a.percent != b.percent)
                             return a.percent > b.percent;
                         return a.entry.changed > b.entry.changed;
                     });
    for (Candidate& c : candidates) {
        if (int(found.size()) == limit)
            break;
        fuzzymatch::Score s = fuzzymatch::score(text, c.entry.source);
        found.push_back({std::move(c.entry), c.percent, std::move(s.differences)});
    }
    return found;
}

int MemoryStore::count(const QString& origin) const {
    if (!m_open)
        return 0;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (origin.isEmpty()) {
        q.exec(QStringLiteral("SELECT count(*) FROM pairs"));
    } else {
        q.prepare(QStringLiteral("SELECT count(*) FROM pairs WHERE origin = ?"));
        q.addBindValue(origin);
        q.exec();
    }
    return q.next() ? q.value(0).toInt() : 0;
}

std::vector<std::pair<QString, int>> MemoryStore::origins() const {
    std::vector<std::pair<QString, int>> out;
    if (!m_open)
        return out;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (q.exec(
            QStringLiteral("SELECT origin, count(*) FROM pairs GROUP BY origin ORDER BY origin")))
        while (q.next())
            out.emplace_back(q.value(0).toString(), q.value(1).toInt());
    return out;
}

int MemoryStore::remove(const QString& origin) {
    if (!m_open)
        return -1;
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM pairs WHERE origin = ?"));
    q.addBindValue(origin);
    if (!q.exec()) {
        fail(QStringLiteral("翻訳メモリから削除できません"), q.lastError());
        return -1;
    }
    return q.numRowsAffected();
}

bool MemoryStore::forEach(const QString& origin,
                          const std::function<void(const MemoryEntry&)>& visit) const {
    if (!m_open)
        return false;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.setForwardOnly(true);
    const QString select =
        QStringLiteral("SELECT id, %1 FROM pairs").arg(QLatin1String(EntryColumns));
    if (origin.isEmpty()) {
        q.prepare(select + QStringLiteral(" ORDER BY id"));
    } else {
        q.prepare(select + QStringLiteral(" WHERE origin = ? ORDER BY id"));
        q.addBindValue(origin);
    }
    if (!q.exec())
        return fail(QStringLiteral("翻訳メモリを読めません"), q.lastError());
    while (q.next())
        visit(entryFrom(q, 1));
    return true;
}
