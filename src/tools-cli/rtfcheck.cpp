// SPDX-License-Identifier: GPL-3.0-or-later
// rtfcheck IN [OUT.rtf]: reads a document as the editor panes do, prints its text (UTF-8, one
// line per paragraph) and, given OUT, writes it back as RTF. A damaged document still prints what
// could be read, says what was wrong on standard error and ends with status 1; a file that cannot
// be read or written ends with status 2.
#include "core/richtext/documentfile.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdio>

namespace {

void printText(const QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString line = block.text();
        line.replace(QChar::LineSeparator, QChar(u'\n'));
        const QByteArray utf8 = line.toUtf8() + '\n';
        std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
    }
}

void complain(const QString& path, const QString& error) {
    std::fprintf(stderr, "rtfcheck: %s: %s\n", qPrintable(path), qPrintable(error));
}

} // namespace

int main(int argc, char** argv) {
    // Documents need fonts, and fonts need a GUI application, but never a screen here.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: rtfcheck IN [OUT.rtf]\n");
        return 2;
    }
    QTextDocument document;
    QString error;
    const richtext::LoadOutcome outcome = richtext::loadDocument(args[1], &document, &error);
    if (outcome == richtext::LoadOutcome::Unreadable) {
        complain(args[1], error);
        return 2;
    }
    printText(document);
    std::fflush(stdout);
    QString saveError;
    if (args.size() == 3 && !richtext::saveDocument(args[2], document, &saveError)) {
        complain(args[2], saveError);
        return 2;
    }
    if (outcome == richtext::LoadOutcome::Damaged) {
        complain(args[1], error);
        return 1;
    }
    return 0;
}
