// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchhome.h"

#include "bookgen.h"
#include "core/settings/languageset.h"
#include "core/settings/session.h"
#include "core/settings/settings.h"
#include "core/store/book.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

Answer AnsweringDialogs::message(const MessageRequest& request) {
    const bool question =
        request.buttons == MessageButtons::YesNo || request.buttons == MessageButtons::YesNoCancel;
    return question ? m_toQuestions : Answer::Ok;
}

void BenchHome::becomeSession() const {
    Session& s = session();
    s = Session();
    s.appFolder = dir.path();
    s.display = SetDefaultDisplaySettings();
    s.current = readCurrentBook(dir.path());
    s.bookInUse = true;
}

BenchHome::BenchHome(int n, bool copy) {
    qputenv("VERBANTA_HOME", dir.path().toLocal8Bit());
    const QString source = bookgen::book(n);
    const QString target = dir.path() + QStringLiteral("/bench");
    // A real folder inside the application folder, as a user's book is: the program refuses a
    // book folder that is a link leading out of it. A benchmark that only reads shares the
    // generated files through hard links (the program replaces files by renaming, which leaves
    // the cache untouched); one that writes gets copies.
    QDir().mkpath(target);
    for (const QString& name : {bookfile::Words, bookfile::Meanings, bookfile::Examples}) {
        const QString from = source + u'/' + name;
        const QString to = target + u'/' + name;
        const bool linked = !copy && ::link(QFile::encodeName(from).constData(),
                                            QFile::encodeName(to).constData()) == 0;
        if (!linked && !QFile::copy(from, to))
            qFatal("cannot lay out the benchmark book: %s", qPrintable(to));
    }
    writeCurrentBook(dir.path(), {QStringLiteral("bench"), languageset::DefaultSetName});
    languageset::write(dir.path(), languageset::DefaultSetName, SetDefaultLanguageSet());
}
