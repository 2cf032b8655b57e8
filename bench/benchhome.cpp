// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchhome.h"

#include "bookgen.h"
#include "core/book.h"
#include "core/languageset.h"
#include "core/session.h"
#include "core/settings.h"

#include <QDir>
#include <QFile>

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
    if (copy) {
        QDir().mkpath(target);
        for (const QString& name : {bookfile::Words, bookfile::Meanings, bookfile::Examples})
            QFile::copy(source + u'/' + name, target + u'/' + name);
    } else {
        QFile::link(source, target);
    }
    writeCurrentBook(dir.path(), {QStringLiteral("bench"), languageset::DefaultSetName});
    languageset::write(dir.path(), languageset::DefaultSetName, SetDefaultLanguageSet());
}
