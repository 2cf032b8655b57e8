// SPDX-License-Identifier: GPL-3.0-or-later
// synctrial: the program's side of the two-machine trial in run.sh. Each command does what the
// windows do to a book, through the same store and session code, so that two real sync-tool
// instances can be set against it:
//   gen FOLDER N              a generated book of N words, written once by the store (manifest)
//   dump FOLDER               its words as "word<TAB>meaning<TAB>example", sorted; exit 3 when
//                             the files are refused as belonging to two versions
//   hold FOLDER [--follow] [--versions FILE]
//                             opens the book as a window does and runs edits read from stdin
//                             (reg/mod/del/compact/poll/close, tab separated) until "close";
//                             --follow looks at the files every second as the windows do;
//                             --versions appends the hashes of each whole set it leaves
//   lock APPFOLDER            takes the application folder's lock as the start does; prints
//                             acquired, held, other-host HOST or failed; holds it until stdin ends
//   merge FOLDER ASIDE [WANTED]
//                             merges the conflict copies found in the book folder as the main
//                             window does at open; a word it asks about keeps the side whose
//                             line is in WANTED (a dump of what the user wants), else the book's
//   watch FOLDER NEWFOLDER SECONDS [VERSIONS]
//                             polls FOLDER while NEWFOLDER's version arrives: every distinct set
//                             of files seen is opened as every reader opens a book, and is whole
//                             when it is the old, the new or one of the sender's VERSIONS (from
//                             hold --versions), mixed otherwise; one line per state, a summary
#include "bookgen.h"
#include "core/files/failure.h"
#include "core/store/book.h"
#include "core/store/bookmanifest.h"
#include "core/store/booksession.h"
#include "core/store/conflictcopies.h"
#include "core/store/splitversions.h"
#include "platform/singleinstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <iostream>
#include <map>
#include <poll.h>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

QString trimmedRight(QString s) {
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

QString oneLine(QString s) {
    s = trimmedRight(s);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    s.replace(u'\n', QStringLiteral("\\n"));
    s.replace(u'\t', QStringLiteral("\\t"));
    return s;
}

QStringList dumpLines(const Book& book) {
    QStringList lines;
    lines.reserve(book.index().size());
    for (int p = 0; p < book.index().size(); ++p) {
        const IndexEntry& e = book.index().at(p);
        lines << e.word + u'\t' + oneLine(book.meaning(e.recordNo)) + u'\t' +
                     oneLine(book.example(e.recordNo));
    }
    lines.sort();
    return lines;
}

int gen(const QString& folder, int n) {
    const QString source = bookgen::book(n);
    QDir().mkpath(folder);
    for (const QString& name : {bookfile::Words, bookfile::Meanings, bookfile::Examples}) {
        QFile::remove(folder + u'/' + name);
        if (!QFile::copy(source + u'/' + name, folder + u'/' + name))
            return 2;
    }
    Book book(folder);
    book.open();
    book.writeBack(); // the store's own write gives the book its manifest
    out() << "generated " << n << " words in " << folder << Qt::endl;
    return 0;
}

int dump(const QString& folder) {
    bookmanifest::setWait(nullptr);
    Book book(folder);
    try {
        book.open(/*readOnly=*/true);
    } catch (const BookMixed& mixed) {
        std::cerr << "mixed: " << mixed.files().join(u' ').toStdString() << '\n';
        return 3;
    }
    for (const QString& line : dumpLines(book))
        out() << line << '\n';
    out().flush();
    return 0;
}

int positionOf(const Book& book, const QString& word) {
    for (int p = 0; p < book.index().size(); ++p)
        if (book.index().at(p).word == word)
            return p;
    return -1;
}

// One edit line of the hold command; false at "close".
bool runEdit(Book& book, const QString& line) {
    const QStringList f = line.split(u'\t');
    const QString& op = f[0];
    QString result = QStringLiteral("ok");
    if (op == QStringLiteral("reg") && f.size() >= 4) {
        book.registerWord(f[1], f[2], f[3]);
    } else if (op == QStringLiteral("mod") && f.size() >= 4) {
        const int p = positionOf(book, f[1]);
        if (p < 0)
            result = QStringLiteral("missing ") + f[1];
        else
            book.modifyWord(p, f[1], f[2], f[3]);
    } else if (op == QStringLiteral("del") && f.size() >= 2) {
        const int p = positionOf(book, f[1]);
        if (p < 0)
            result = QStringLiteral("missing ") + f[1];
        else
            book.deleteWord(p);
    } else if (op == QStringLiteral("compact")) {
        book.compact();
        book.open();
    } else if (op == QStringLiteral("poll")) {
        book.session().reloadIfChanged();
    } else if (op == QStringLiteral("close")) {
        book.writeBack();
        out() << "closed" << Qt::endl;
        return false;
    } else {
        result = QStringLiteral("unknown ") + op;
    }
    out() << result << " words=" << book.index().size() << Qt::endl;
    return true;
}

// The hashes of the three files, one line: a whole version of the book as the program left it.
QByteArray versionLine(const QString& folder);

int hold(const QString& folder, bool follow, const QString& versionsFile) {
    Book book(folder);
    book.open();
    // Every set of files this program leaves between its edits is a whole book; the watcher on
    // the other machine tells a mixed set from one of these.
    QFile versions(versionsFile);
    if (!versionsFile.isEmpty() && !versions.open(QIODevice::Append))
        return 2;
    const auto noteVersion = [&] {
        if (versions.isOpen()) {
            versions.write(versionLine(folder));
            versions.flush();
        }
    };
    noteVersion();
    int reloads = 0;
    int reapplied = 0;
    int conflicts = 0;
    book.session().addReloadListener([&](const BookSession::ReloadReport& r) {
        ++reloads;
        reapplied += r.reapplied;
        conflicts += r.conflicts;
        out() << "reloaded reapplied=" << r.reapplied << " conflicts=" << r.conflicts << Qt::endl;
    });
    out() << "open words=" << book.index().size() << Qt::endl;
    QTimer poll;
    if (follow) {
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (book.session().changedOnDisk())
                book.session().reloadIfChanged();
        });
        poll.start(1000);
    }
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    int code = 0;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            QCoreApplication::exit(code);
            return;
        }
        pending.append(buffer, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            try {
                const bool more = runEdit(book, line);
                noteVersion();
                if (!more) {
                    out() << "summary reloads=" << reloads << " reapplied=" << reapplied
                          << " conflicts=" << conflicts << Qt::endl;
                    QCoreApplication::exit(code);
                    return;
                }
            } catch (const BookMixed& mixed) {
                out() << "refused-mixed " << mixed.files().join(u' ') << Qt::endl;
                code = 3;
            } catch (const std::exception& e) {
                out() << "error " << e.what() << Qt::endl;
                code = 4;
            }
        }
    });
    return QCoreApplication::exec();
}

int lock(const QString& appFolder) {
    SingleInstance instance(appFolder);
    switch (instance.acquire()) {
    case SingleInstance::Result::Acquired:
        out() << "acquired " << bookmanifest::thisHost() << Qt::endl;
        {
            std::string line;
            while (std::getline(std::cin, line)) {
            }
        }
        return 0;
    case SingleInstance::Result::HeldByAnother:
        out() << "held" << Qt::endl;
        return 1;
    case SingleInstance::Result::HeldOnAnotherHost:
        out() << "other-host " << instance.otherHost() << Qt::endl;
        return 1;
    case SingleInstance::Result::Failed:
        out() << "failed " << instance.errorString() << Qt::endl;
        return 2;
    }
    return 2;
}

int merge(const QString& folder, const QString& aside, const QString& wantedFile) {
    bookmanifest::setWait(nullptr);
    QSet<QString> wanted;
    QFile wantedLines(wantedFile);
    if (!wantedFile.isEmpty() && wantedLines.open(QIODevice::ReadOnly))
        for (const QByteArray& line : wantedLines.readAll().split('\n'))
            wanted.insert(QString::fromUtf8(line));
    int merged = 0;
    try {
        // As the program does before it opens a book.
        if (splitversions::reassemble(folder) == splitversions::Outcome::Reassembled)
            out() << "reassembled" << Qt::endl;
        for (const conflictcopies::Version& version : conflictcopies::find(folder)) {
            out() << "version " << version.version << " files " << version.files().join(u' ')
                  << Qt::endl;
            if (!version.usable()) {
                out() << "not-usable" << Qt::endl;
                continue;
            }
            int asked = 0;
            const auto keepBook = [&](const BookMerge::Duplicate& d) {
                ++asked;
                const QString a =
                    d.wordA + u'\t' + oneLine(d.meaningA) + u'\t' + oneLine(d.exampleA);
                const QString b =
                    d.wordB + u'\t' + oneLine(d.meaningB) + u'\t' + oneLine(d.exampleB);
                const bool takeCopy = !wanted.contains(a) && wanted.contains(b);
                out() << "asked " << d.wordA << " book-wanted=" << wanted.contains(a)
                      << " copy-wanted=" << wanted.contains(b) << Qt::endl;
                return takeCopy ? BookMerge::Side::B : BookMerge::Side::A;
            };
            const conflictcopies::MergeReport r =
                conflictcopies::merge(folder, version, aside, keepBook);
            out() << "merged added=" << r.added << " changed=" << r.changed
                  << " deleted=" << r.deleted << " asked=" << r.asked << " written=" << r.written
                  << Qt::endl;
            ++merged;
        }
    } catch (const BookMixed& mixed) {
        out() << "refused-mixed " << mixed.files().join(u' ') << Qt::endl;
        return 3;
    } catch (const RuntimeFailure& f) {
        out() << "failure " << f.number() << ' ' << f.description() << Qt::endl;
        return 4;
    }
    out() << "versions-merged " << merged << Qt::endl;
    return 0;
}

// ---- watching a transfer -----------------------------------------------------------------

const std::array<QString, 4> WatchedNames = {bookfile::Words, bookfile::Meanings,
                                             bookfile::Examples, bookmanifest::FileName};

struct Stamp {
    bool exists = false;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    auto operator<=>(const Stamp&) const = default;
};

Stamp stampOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

using State = std::array<Stamp, 4>;

State stateOf(const QString& folder) {
    State s;
    for (size_t i = 0; i < 4; ++i)
        s[i] = stampOf(folder + u'/' + WatchedNames[i]);
    return s;
}

// Every file version seen, kept open: a file a sync tool renamed over is gone from the folder
// but still readable through its descriptor, so what each state held can be read afterwards.
class Versions {
public:
    void keep(const QString& path, const Stamp& stamp) {
        if (!stamp.exists || m_files.count(stamp))
            return;
        auto file = std::make_shared<QFile>(path);
        if (!file->open(QIODevice::ReadOnly))
            return;
        struct stat st {};
        if (::fstat(file->handle(), &st) != 0 || quint64(st.st_ino) != stamp.inode)
            return; // replaced between the look and the open: that state stays unread
        m_files[stamp] = std::move(file);
    }
    QByteArray bytes(const Stamp& stamp) {
        if (!stamp.exists)
            return {};
        auto it = m_files.find(stamp);
        if (it == m_files.end())
            return QByteArrayLiteral("unreadable");
        it->second->seek(0);
        return it->second->readAll();
    }
    QByteArray hash(const Stamp& stamp) {
        if (!stamp.exists)
            return QByteArrayLiteral("absent");
        return QCryptographicHash::hash(bytes(stamp), QCryptographicHash::Md5);
    }

private:
    std::map<Stamp, std::shared_ptr<QFile>> m_files;
};

QByteArray hashOfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("absent");
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5);
}

QByteArray versionLine(const QString& folder) {
    QByteArray line;
    for (size_t i = 0; i < 3; ++i)
        line += hashOfFile(folder + u'/' + WatchedNames[i]).toHex() + (i < 2 ? ' ' : '\n');
    return line;
}

// Which versions a file's content belongs to: bit 1 the old, bit 2 the new.
int versionsOf(const QByteArray& hash, const QByteArray& oldHash, const QByteArray& newHash) {
    return (hash == oldHash ? 1 : 0) | (hash == newHash ? 2 : 0);
}

QString label(int versions) {
    switch (versions) {
    case 1:
        return QStringLiteral("old");
    case 2:
        return QStringLiteral("new");
    case 3:
        return QStringLiteral("same");
    default:
        return QStringLiteral("other");
    }
}

// Words of a set of files read without any check, as a program without the manifest read them,
// that are in neither version: another word's meaning, or a record past the end.
int garbledWords(Versions& versions, const State& state, const QSet<QString>& oldLines,
                 const QSet<QString>& newLines, const QString& scratch) {
    QDir(scratch).removeRecursively();
    QDir().mkpath(scratch);
    for (size_t i = 0; i < 3; ++i) {
        if (!state[i].exists)
            continue;
        QFile copy(scratch + u'/' + WatchedNames[i]);
        if (copy.open(QIODevice::WriteOnly))
            copy.write(versions.bytes(state[i]));
    }
    Book book(scratch);
    book.open(true);
    int garbled = 0;
    for (const QString& line : dumpLines(book))
        if (!oldLines.contains(line) && !newLines.contains(line))
            ++garbled;
    return garbled;
}

QSet<QString> linesOf(const QString& folder) {
    Book book(folder);
    try {
        book.open(true);
    } catch (const BookMixed& mixed) {
        out() << "not-whole " << folder << ' ' << mixed.files().join(u' ') << Qt::endl;
        return {};
    }
    const QStringList lines = dumpLines(book);
    return {lines.begin(), lines.end()};
}

int watch(const QString& folder, const QString& newFolder, int seconds,
          const QString& versionsFile) {
    bookmanifest::setWait(nullptr);
    const QString work = QDir::tempPath() + QStringLiteral("/synctrial-watch-%1").arg(getpid());
    const QString oldCopy = work + QStringLiteral("/old");
    QDir(work).removeRecursively();
    QDir().mkpath(oldCopy);
    std::array<QByteArray, 4> oldHash;
    for (size_t i = 0; i < 4; ++i) {
        const QString path = folder + u'/' + WatchedNames[i];
        oldHash[i] = hashOfFile(path);
        QFile::copy(path, oldCopy + u'/' + WatchedNames[i]);
        QFile copy(oldCopy + u'/' + WatchedNames[i]);
        if (copy.open(QIODevice::ReadWrite))
            copy.setFileTime(QFileInfo(path).lastModified(), QFileDevice::FileModificationTime);
    }
    const QSet<QString> oldLines = linesOf(oldCopy);
    out() << "ready" << Qt::endl;

    struct Seen {
        State state;
        qint64 at = 0;
        QString verdict; // refused, opened, or an error; "(changed)" when the set moved meanwhile
    };
    Versions versions;
    std::vector<Seen> seen;
    State previous = stateOf(folder);
    QElapsedTimer clock;
    clock.start();
    // Until the sender's program says on stdin that it is done and the folder then stayed as it
    // is for five seconds, or the time is up.
    qint64 lastChange = 0;
    qint64 senderDone = -1;
    while (clock.elapsed() < seconds * 1000LL &&
           !(senderDone >= 0 && clock.elapsed() - std::max(lastChange, senderDone) > 5000)) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (senderDone < 0 && ::poll(&input, 1, 0) > 0)
            senderDone = clock.elapsed();
        const State now = stateOf(folder);
        if (now != previous) {
            lastChange = clock.elapsed();
            previous = now;
            for (size_t i = 0; i < 4; ++i)
                versions.keep(folder + u'/' + WatchedNames[i], now[i]);
            Seen s{now, clock.elapsed(), {}};
            Book reader(folder);
            try {
                reader.open(/*readOnly=*/true);
                s.verdict = QStringLiteral("opened");
            } catch (const BookMixed&) {
                s.verdict = QStringLiteral("refused");
            } catch (const std::exception& e) {
                s.verdict = QStringLiteral("error:") + QString::fromUtf8(e.what());
            }
            if (stateOf(folder) != now)
                s.verdict += QStringLiteral("(changed)");
            seen.push_back(s);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    std::array<QByteArray, 4> newHash;
    for (size_t i = 0; i < 4; ++i)
        newHash[i] = hashOfFile(newFolder + u'/' + WatchedNames[i]);
    const QSet<QString> newLines = linesOf(newFolder);
    // The whole versions: the old and the new one, and every one the sender's program left on
    // the way, which the tool may pick up between two of its edits.
    QSet<QByteArray> whole;
    whole.insert(versionLine(oldCopy));
    whole.insert(versionLine(newFolder));
    QFile versionsList(versionsFile);
    if (!versionsFile.isEmpty() && versionsList.open(QIODevice::ReadOnly))
        for (const QByteArray& line : versionsList.readAll().split('\n'))
            if (!line.isEmpty())
                whole.insert(line + '\n');
    int mixed = 0, mixedRefused = 0, mixedOpened = 0, wholeRefused = 0, maxGarbled = 0;
    int unread = 0, changedWhileChecked = 0, maxGarbledOpened = 0;
    bool arrived = false;
    for (const Seen& s : seen) {
        std::array<int, 4> v{};
        QByteArray line;
        bool read = true;
        for (size_t i = 0; i < 4; ++i) {
            const QByteArray hash = versions.hash(s.state[i]);
            read = read && hash != QCryptographicHash::hash("unreadable", QCryptographicHash::Md5);
            v[i] = versionsOf(hash, oldHash[i], newHash[i]);
            if (i < 3)
                line += hash.toHex() + (i < 2 ? ' ' : '\n');
        }
        const bool refused = s.verdict.startsWith(QStringLiteral("refused"));
        const bool moved = s.verdict.endsWith(QStringLiteral("(changed)"));
        changedWhileChecked += moved;
        QString kind;
        int garbled = -1;
        if (!read) {
            kind = QStringLiteral("unread");
            ++unread;
        } else if (whole.contains(line)) {
            kind = QStringLiteral("whole");
            wholeRefused += refused;
        } else {
            kind = QStringLiteral("MIXED");
            ++mixed;
            ++(refused ? mixedRefused : mixedOpened);
            // Words that read as in neither the old nor the new version: another word's meaning,
            // a deletion mark, a record past the end. Where a file is one of the sender's own
            // versions on the way, a word it registered and changed again also counts, so the
            // figure is then an upper bound.
            garbled = garbledWords(versions, s.state, oldLines, newLines, work + "/scratch");
            if (refused)
                maxGarbled = std::max(maxGarbled, garbled);
            else
                maxGarbledOpened = std::max(maxGarbledOpened, garbled);
        }
        arrived = std::all_of(v.begin(), v.end(), [](int x) { return (x & 2) != 0; });
        out() << "state t=" << s.at << "ms";
        for (size_t i = 0; i < 4; ++i)
            out() << ' ' << WatchedNames[i] << '=' << label(v[i]);
        out() << ' ' << kind << " garbled=" << garbled << ' ' << s.verdict << Qt::endl;
    }
    out() << "summary states=" << seen.size() << " mixed=" << mixed
          << " mixed-refused=" << mixedRefused << " mixed-opened=" << mixedOpened
          << " whole-refused=" << wholeRefused << " unread=" << unread
          << " changed-while-checked=" << changedWhileChecked << " known-versions=" << whole.size()
          << " max-garbled-words=" << maxGarbled << " max-garbled-opened=" << maxGarbledOpened
          << " arrived=" << (arrived ? "yes" : "no") << Qt::endl;
    QDir(work).removeRecursively();
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList a = QCoreApplication::arguments();
    const QString command = a.value(1);
    try {
        if (command == QStringLiteral("gen") && a.size() == 4)
            return gen(a[2], a[3].toInt());
        if (command == QStringLiteral("dump") && a.size() == 3)
            return dump(a[2]);
        if (command == QStringLiteral("hold") && a.size() >= 3)
            return hold(a[2], a.contains(QStringLiteral("--follow")),
                        a.indexOf(QStringLiteral("--versions")) > 0
                            ? a.value(a.indexOf(QStringLiteral("--versions")) + 1)
                            : QString());
        if (command == QStringLiteral("lock") && a.size() == 3)
            return lock(a[2]);
        if (command == QStringLiteral("merge") && (a.size() == 4 || a.size() == 5))
            return merge(a[2], a[3], a.value(4));
        if (command == QStringLiteral("watch") && (a.size() == 5 || a.size() == 6))
            return watch(a[2], a[3], a[4].toInt(), a.value(5));
    } catch (const BookMixed& mixed) {
        std::cerr << "mixed: " << mixed.files().join(u' ').toStdString() << '\n';
        return 3;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << '\n';
        return 4;
    }
    std::cerr << "usage: synctrial gen|dump|hold|lock|merge|watch ...\n";
    return 2;
}
