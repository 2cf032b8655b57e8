// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/book.h"
#include "core/text/cp932.h"
#include "support/bookbuilder.h"
#include "support/scripteddialogs.h"
#include "support/tempappfolder.h"
#include "support/terminatorspy.h"
#include "translator/wordpane.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

inline const QString NotRegistered =
    QStringLiteral("この単語はまだ登録されていません。\r\n登録しますか？");

// A word pane over a real book in a temporary application folder. Every word w of the book gets
// the meaning "m:w" and the example "e:w", records numbered in the order given.
struct PaneFixture {
    TempAppFolder app;
    ScriptedDialogs dialogs;
    TerminatorSpy terminator;
    QString folder = app.file(QStringLiteral("book"));
    std::unique_ptr<Book> book;
    std::unique_ptr<WordPane> pane;
    QList<WordPane::Field> focused;
    int expectedTerminations = 0;

    ~PaneFixture() { EXPECT_EQ(terminator.calls(), expectedTerminations); }

    void open(const QStringList& words) {
        BookBuilder builder(folder);
        for (const QString& w : words)
            builder.add(w, QStringLiteral("m:") + w, QStringLiteral("e:") + w);
        builder.write();
        reopen();
    }
    void reopen() {
        pane.reset();
        book = std::make_unique<Book>(folder, WordIndex::Order::Ordinal);
        book->open();
        pane = std::make_unique<WordPane>(*book);
        QObject::connect(pane.get(), &WordPane::focusRequested,
                         [this](WordPane::Field f, bool) { focused << f; });
        pane->start();
    }
    // Types word, which the book does not hold, and presses Enter, answering Yes to registering it.
    void startRegistering(const QString& word) {
        pane->inputChanged(word);
        dialogs.expectMessage(Answer::Yes, NotRegistered);
        pane->enterPressed();
    }
    // Types text into the empty input box one character at a time.
    void type(const QString& text) {
        for (qsizetype n = 1; n <= text.size(); ++n)
            pane->inputChanged(text.left(n));
    }
    QStringList indexWords() const {
        QStringList out;
        for (int p = 0; p < book->index().size(); ++p)
            out << book->index().at(p).word;
        return out;
    }
    QString wordFile() const { return cp932::decode(app.read(QStringLiteral("book/words.vtd"))); }
    QByteArray meaningsFile() const { return app.read(QStringLiteral("book/means.vtd")); }
    QString trimmedMeaning(qint32 recordNo) const {
        QString m = book->meaning(recordNo);
        while (m.endsWith(u' '))
            m.chop(1);
        return m;
    }
    QString lastBoxTitle() const {
        return dialogs.boxes().isEmpty() ? QString() : dialogs.lastBox().title;
    }
};
