// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookfollower.h"

#include "core/store/book.h"
#include "core/store/booksession.h"
#include "dialogservice.h"
#include "errorguard.h"

#include <QFileSystemWatcher>
#include <QTimer>

namespace {

// A sync tool replaces the files one after another; the book is read once they have settled.
constexpr int SettleMs = 300;
constexpr int PollMs = 1000;

QString describe(const SessionWord& w) {
    return QStringLiteral("単語：%1\n意味：%2\n用例：%3").arg(w.word, w.meaning, w.example);
}

} // namespace

BookFollower::BookFollower(Book& book, QObject* parent)
    : QObject(parent), m_book(book), m_watcher(new QFileSystemWatcher(this)),
      m_settle(new QTimer(this)), m_poll(new QTimer(this)) {
    m_book.session().setResolver(&BookFollower::askKeepMine);
    m_listenerKey = m_book.session().addReloadListener(
        [this](const BookSession::ReloadReport& r) { emit reloaded(reloadMessage(r.reapplied)); });
    m_settle->setSingleShot(true);
    m_settle->setInterval(SettleMs);
    connect(m_settle, &QTimer::timeout, this, [this] { check(); });
    const auto changed = [this] { m_settle->start(); };
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
    m_poll->setInterval(PollMs);
    connect(m_poll, &QTimer::timeout, this, [this] {
        if (!m_settle->isActive())
            check();
    });
    m_poll->start();
    watch();
}

BookFollower::~BookFollower() {
    m_book.session().removeReloadListener(m_listenerKey);
    m_book.session().setResolver({});
}

void BookFollower::watch() {
    // A file renamed over a watched one drops out of the watch: the paths are added again.
    const QStringList paths = {m_book.folder(), m_book.filePath(bookfile::Words),
                               m_book.filePath(bookfile::Meanings),
                               m_book.filePath(bookfile::Examples)};
    for (const QString& path : paths)
        if (!m_watcher->files().contains(path) && !m_watcher->directories().contains(path))
            m_watcher->addPath(path);
}

void BookFollower::check() {
    watch();
    if (!m_book.isOpen() || !m_book.session().changedOnDisk())
        return;
    guarded(reportOnly(u"ブックの読み込み直し時", "Error303"),
            [this] { m_book.session().reloadIfChanged(); });
}

QString BookFollower::reloadMessage(int reapplied) {
    QString text = QStringLiteral("ブックが別の場所で変更されたため読み込み直しました");
    if (reapplied > 0)
        text += QStringLiteral("（この画面での変更 %1 件を反映）").arg(reapplied);
    return text;
}

bool BookFollower::askKeepMine(const EditConflict& conflict) {
    const QString mine =
        conflict.mineDeletes ? QStringLiteral("（削除）") : describe(conflict.mine);
    const QString other =
        conflict.onDiskExists ? describe(conflict.onDisk) : QStringLiteral("（削除）");
    const QString text =
        QStringLiteral("「%1」は別の場所でも変更されています。\n\n"
                       "この画面での内容：\n%2\n\n別の場所での内容：\n%3\n\n"
                       "この画面での内容を残しますか？\n（［いいえ］で別の場所での内容を残します）")
            .arg(conflict.mine.word, mine, other);
    return showMessage(text, QStringLiteral("単語の競合"), MessageButtons::YesNo,
                       MessageIcon::Question) == Answer::Yes;
}
